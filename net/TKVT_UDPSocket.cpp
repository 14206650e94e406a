// The non-blocking UDP endpoint: discovery and commands sent while no TCP
// connection is up. Receive runs on the owner's thread; sends may come from
// any thread (the socket handle is the only state they share).
#include "net/UKVTSocket.h"

namespace velkor {

using sockplat::kNoSocket;

namespace {
constexpr uint16_t kInitialBufferSize = 15;
} // namespace

TKVT_UDPSocket::TKVT_UDPSocket() {
    KVT_StartSocketLibrary();
    SetBufferSize(kInitialBufferSize);
}

TKVT_UDPSocket::~TKVT_UDPSocket() {
    Close();
}

void TKVT_UDPSocket::SetBufferSize(uint16_t size) {
    if (size == buffer_size_) {
        return;
    }
    buffer_.reset();
    if (size > 0) {
        buffer_ = std::make_unique_for_overwrite<char[]>(size);
    }
    buffer_size_ = size;
}

bool TKVT_UDPSocket::Open() {
    Close();
    uint32_t ip = 0; // any local address
    if (!LocalAddress.empty()) {
        const std::optional<uint32_t> parsed = KVT_ParseIPv4NetworkOrder(LocalAddress);
        if (!parsed) {
            return false;
        }
        ip = *parsed;
    }
    const sockplat::SocketHandle socket = sockplat::OpenDatagram();
    if (socket == kNoSocket) {
        return false;
    }
    // Non-blocking before anything else: a receive must never wait, even on
    // a socket whose bind failed.
    if (!sockplat::SetNonBlocking(socket)) {
        sockplat::CloseSocket(socket);
        return false;
    }
    socket_ = socket;
    sockplat::SetBroadcast(socket);
    if (ReuseAddress) {
        sockplat::SetReuseAddress(socket);
    }
    if (SystemReceiveBuffer > 0) {
        sockplat::SetReceiveBufferSize(socket, SystemReceiveBuffer);
    }
    return sockplat::Bind(socket, ip, LocalPort);
}

void TKVT_UDPSocket::Close() {
    const sockplat::SocketHandle socket = socket_.exchange(kNoSocket);
    if (socket != kNoSocket) {
        sockplat::CloseSocket(socket);
    }
}

uint16_t TKVT_UDPSocket::BoundPort() const {
    const sockplat::SocketHandle socket = socket_;
    return socket == kNoSocket ? 0 : sockplat::BoundPort(socket);
}

int TKVT_UDPSocket::SendTo(std::string_view bytes, const SocketAddress& to) {
    const sockplat::SocketHandle socket = socket_;
    if (socket == kNoSocket) {
        return -1;
    }
    return sockplat::SendTo(socket, bytes.data(), bytes.size(), to.IP, to.Port);
}

int TKVT_UDPSocket::SendToHost(std::string_view bytes, std::string_view host, uint16_t port) {
    // Only a real dotted address is a target: a mistyped one must not turn
    // into a broadcast that reaches every controller in range.
    const std::optional<uint32_t> ip = KVT_ParseIPv4NetworkOrder(host);
    if (!ip) {
        return -1;
    }
    return SendTo(bytes, SocketAddress{*ip, port});
}

int TKVT_UDPSocket::Receive() {
    const sockplat::SocketHandle socket = socket_;
    if (socket == kNoSocket) {
        return 0;
    }
    uint32_t from_ip = 0;
    uint16_t from_port = 0;
    // Nothing waiting, an error and a datagram too long for the buffer all end here.
    const int received =
        sockplat::ReceiveFrom(socket, buffer_.get(), buffer_size_, from_ip, from_port);
    if (received <= 0) {
        return 0;
    }
    if (OnRead) {
        OnRead(std::string(buffer_.get(), static_cast<std::size_t>(received)),
               KVT_IPv4TextFromNetworkOrder(from_ip), from_port);
    }
    return received;
}

} // namespace velkor
