// The polled non-blocking TCP client: Open issues the connect, Poll checks the
// socket once without waiting and reports through the four events.
#include "net/UKVTSocket.h"

namespace velkor {

using sockplat::kNoSocket;

namespace {

// What OnError carries when the peer ends the connection in order.
constexpr const char* kPeerClosedText = "read: connection closed by the peer";

// The system's last socket error of this thread, reset to 0 once taken.
int TakeLastError() {
    const int code = sockplat::LastError();
    if (code != 0) {
        sockplat::ClearLastError();
    }
    return code;
}

std::string FormatSocketError(int code) {
    return "ecode[" + std::to_string(code) + "], estr[" + sockplat::ErrorText(code) + "]";
}

} // namespace

TKVT_TCPSocket::TKVT_TCPSocket(std::string host_name, int port)
    : HostName(std::move(host_name)), Port(port),
      receive_buffer_(std::make_unique_for_overwrite<char[]>(kReceiveBufferSize)) {
    KVT_StartSocketLibrary();
}

TKVT_TCPSocket::~TKVT_TCPSocket() {
    Close();
}

bool TKVT_TCPSocket::Open() {
    Close();
    uint32_t ip = 0;
    if (!sockplat::ResolveIPv4(HostName, ip)) {
        return false;
    }
    const sockplat::SocketHandle socket = sockplat::OpenStream();
    if (socket == kNoSocket) {
        return false;
    }
    // A connect that fails at once (no route, bad address) leaves nothing behind.
    if (!sockplat::SetNonBlocking(socket) ||
        !sockplat::Connect(socket, ip, static_cast<uint16_t>(Port))) {
        sockplat::CloseSocket(socket);
        return false;
    }
    std::lock_guard lock(queue_mutex_);
    socket_ = socket;
    return true;
}

void TKVT_TCPSocket::Close() {
    sockplat::SocketHandle socket;
    {
        std::lock_guard lock(queue_mutex_);
        socket = socket_.exchange(kNoSocket);
        send_queue_.clear();
    }
    if (socket == kNoSocket) {
        return;
    }
    connected_ = false;
    sockplat::CloseSocket(socket);
}

int TKVT_TCPSocket::Write(std::string_view bytes) {
    std::lock_guard lock(queue_mutex_);
    if (socket_ == kNoSocket) {
        return 0;
    }
    send_queue_.append(bytes);
    return static_cast<int>(bytes.size());
}

std::size_t TKVT_TCPSocket::PendingBytes() const {
    std::lock_guard lock(queue_mutex_);
    return send_queue_.size();
}

int TKVT_TCPSocket::Poll() {
    const sockplat::SocketHandle socket = socket_;
    if (socket == kNoSocket) {
        return 0;
    }
    const bool want_write = !connected_ || PendingBytes() > 0;
    const sockplat::SelectResult ready = sockplat::SelectNow(socket, want_write);
    if (ready.rv > 0) {
        // A connect that failed shows as an error held by the socket.
        const int pending = connected_ ? 0 : sockplat::TakePendingError(socket);
        if (ready.failed || pending != 0) {
            ReportError("e_set", pending);
            return 0;
        }
        if (ready.writable) {
            if (!connected_) {
                connected_ = true;
                Raise(OnConnect, std::string());
            }
            SendQueued();
        }
        return ready.readable ? ReceiveAll() : 0;
    }
    if (ready.rv == -1) {
        ReportError("select SOCKET_ERROR", TakeLastError());
    } else if (ready.rv < 0) {
        ReportError("select rv<0", TakeLastError());
    }
    return 0;
}

void TKVT_TCPSocket::SendQueued() {
    int sent = 0;
    int code = 0;
    {
        std::lock_guard lock(queue_mutex_);
        if (socket_ == kNoSocket || send_queue_.empty()) {
            return;
        }
        sent = sockplat::Send(socket_, send_queue_.data(), send_queue_.size());
        if (sent > 0) {
            last_chunk_.assign(send_queue_, 0, static_cast<std::size_t>(sent));
            send_queue_.erase(0, static_cast<std::size_t>(sent));
        } else if (sent < 0) {
            code = TakeLastError();
        }
    }
    if (sent > 0) {
        Raise(OnWrite, last_chunk_);
        last_chunk_.clear();
    } else if (sent < 0) {
        ReportError("write", code);
    }
}

int TKVT_TCPSocket::ReceiveAll() {
    int total = 0;
    // An event handler may close the socket; the loop ends with it. One
    // buffer's worth a round at most: a peer that sends faster than it is
    // read must not keep the owner's loop from sending and from its requests.
    while (IsOpen() && total < static_cast<int>(kReceiveBufferSize)) {
        const int received = sockplat::Receive(socket_, receive_buffer_.get(), kReceiveBufferSize);
        if (received > 0) {
            total += received;
            last_chunk_.assign(receive_buffer_.get(), static_cast<std::size_t>(received));
            Raise(OnRead, last_chunk_);
            last_chunk_.clear();
            continue;
        }
        if (received == 0) {
            ReportError(kPeerClosedText, 0);
        } else if (const int code = TakeLastError(); !sockplat::IsWouldBlock(code)) {
            ReportError("read", code);
        }
        break;
    }
    return total;
}

void TKVT_TCPSocket::ReportError(std::string label, int code) {
    if (code != 0) {
        if (!label.empty()) {
            label += ": ";
        }
        label += FormatSocketError(code);
    }
    Close();
    Raise(OnError, label);
}

void TKVT_TCPSocket::Raise(const TextEvent& event, const std::string& text) {
    if (event) {
        event(text);
    }
}

} // namespace velkor
