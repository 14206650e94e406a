// Winsock behind the platform layer.
#include "net/SocketPlatform.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <windows.h>

#include <iphlpapi.h>

#include <climits>
#include <map>
#include <memory>

namespace velkor {

namespace sockplat {
namespace {

SOCKET Sock(SocketHandle socket) {
    return static_cast<SOCKET>(socket);
}

SocketHandle Handle(SOCKET socket) {
    return socket == INVALID_SOCKET ? kNoSocket : static_cast<SocketHandle>(socket);
}

sockaddr_in MakeAddress(uint32_t ip, uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = ip;
    address.sin_port = htons(port);
    return address;
}

bool SetIntOption(SocketHandle socket, int level, int name, int value) {
    return ::setsockopt(Sock(socket), level, name, reinterpret_cast<const char*>(&value),
                        sizeof value) == 0;
}

int ClampCount(std::size_t count) {
    return count > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(count);
}

// Texts for the Winsock codes that the system's message table often lacks.
const char* FallbackText(int code) {
    switch (code) {
    case WSAEWOULDBLOCK:
        return "A non-blocking socket operation could not be completed immediately.";
    case WSAEADDRINUSE:
        return "Only one usage of each socket address is normally permitted.";
    case WSAENETUNREACH:
        return "A socket operation was attempted to an unreachable network.";
    case WSAECONNABORTED:
        return "An established connection was aborted by the software in your host machine.";
    case WSAECONNRESET:
        return "An existing connection was forcibly closed by the remote host.";
    case WSAETIMEDOUT:
        return "A connection attempt failed because the connected party did not respond.";
    case WSAECONNREFUSED:
        return "No connection could be made because the target machine actively refused it.";
    case WSAEHOSTUNREACH:
        return "A socket operation was attempted to an unreachable host.";
    default:
        return nullptr;
    }
}

// The library is started by the first call and cleaned up at program exit.
struct Library {
    Library() {
        WSADATA data;
        ::WSAStartup(MAKEWORD(2, 0), &data);
    }
    ~Library() { ::WSACleanup(); }
};

// Room for this many interface records at the first attempt; the buffer
// grows until the system's list fits.
constexpr DWORD kFirstInterfaceCount = 13;
constexpr DWORD kMaxInterfaceBuffer = 1 << 20;

} // namespace

void StartLibrary() {
    static Library library;
}

SocketHandle OpenStream() {
    return Handle(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
}

SocketHandle OpenDatagram() {
    return Handle(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
}

void CloseSocket(SocketHandle socket) {
    ::closesocket(Sock(socket));
}

bool SetNonBlocking(SocketHandle socket) {
    u_long on = 1;
    return ::ioctlsocket(Sock(socket), FIONBIO, &on) == 0;
}

bool SetBroadcast(SocketHandle socket) {
    return SetIntOption(socket, SOL_SOCKET, SO_BROADCAST, 1);
}

bool SetReuseAddress(SocketHandle socket) {
    return SetIntOption(socket, SOL_SOCKET, SO_REUSEADDR, 1);
}

bool SetReceiveBufferSize(SocketHandle socket, int bytes) {
    return SetIntOption(socket, SOL_SOCKET, SO_RCVBUF, bytes);
}

bool SetAbortiveClose(SocketHandle socket) {
    const linger option{1, 0};
    return ::setsockopt(Sock(socket), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&option),
                        sizeof option) == 0;
}

bool Bind(SocketHandle socket, uint32_t ip, uint16_t port) {
    const sockaddr_in address = MakeAddress(ip, port);
    return ::bind(Sock(socket), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
}

namespace {

sockaddr_in LocalName(SocketHandle socket) {
    sockaddr_in address{};
    int size = sizeof address;
    if (::getsockname(Sock(socket), reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        return {};
    }
    return address;
}

} // namespace

uint16_t BoundPort(SocketHandle socket) {
    return ntohs(LocalName(socket).sin_port);
}

uint32_t BoundAddress(SocketHandle socket) {
    return LocalName(socket).sin_addr.s_addr;
}

bool Listen(SocketHandle socket) {
    return ::listen(Sock(socket), SOMAXCONN) == 0;
}

SocketHandle Accept(SocketHandle listener) {
    return Handle(::accept(Sock(listener), nullptr, nullptr));
}

bool ResolveIPv4(const std::string& host, uint32_t& ip) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* answer = nullptr;
    if (::getaddrinfo(host.c_str(), nullptr, &hints, &answer) != 0 || answer == nullptr) {
        return false;
    }
    ip = reinterpret_cast<const sockaddr_in*>(answer->ai_addr)->sin_addr.s_addr;
    ::freeaddrinfo(answer);
    return true;
}

bool Connect(SocketHandle socket, uint32_t ip, uint16_t port) {
    const sockaddr_in address = MakeAddress(ip, port);
    return ::connect(Sock(socket), reinterpret_cast<const sockaddr*>(&address), sizeof address) ==
               0 ||
           ::WSAGetLastError() == WSAEWOULDBLOCK;
}

SelectResult SelectNow(SocketHandle socket, bool want_write) {
    fd_set read_set;
    fd_set write_set;
    fd_set error_set;
    FD_ZERO(&read_set);
    FD_ZERO(&write_set);
    FD_ZERO(&error_set);
    FD_SET(Sock(socket), &read_set);
    FD_SET(Sock(socket), &error_set);
    if (want_write) {
        FD_SET(Sock(socket), &write_set);
    }
    timeval no_wait{0, 0};
    SelectResult result;
    result.rv = ::select(0, &read_set, want_write ? &write_set : nullptr, &error_set, &no_wait);
    if (result.rv > 0) {
        result.readable = FD_ISSET(Sock(socket), &read_set) != 0;
        result.writable = want_write && FD_ISSET(Sock(socket), &write_set) != 0;
        result.failed = FD_ISSET(Sock(socket), &error_set) != 0;
    }
    return result;
}

int Send(SocketHandle socket, const char* bytes, std::size_t count) {
    return ::send(Sock(socket), bytes, ClampCount(count), 0);
}

int Receive(SocketHandle socket, char* buffer, std::size_t size) {
    return ::recv(Sock(socket), buffer, ClampCount(size), 0);
}

int SendTo(SocketHandle socket, const char* bytes, std::size_t count, uint32_t ip, uint16_t port) {
    const sockaddr_in address = MakeAddress(ip, port);
    return ::sendto(Sock(socket), bytes, ClampCount(count), 0,
                    reinterpret_cast<const sockaddr*>(&address), sizeof address);
}

int ReceiveFrom(SocketHandle socket, char* buffer, std::size_t size, uint32_t& ip, uint16_t& port) {
    sockaddr_in address{};
    int address_size = sizeof address;
    // A datagram longer than the buffer fails with WSAEMSGSIZE and is lost.
    const int received = ::recvfrom(Sock(socket), buffer, ClampCount(size), 0,
                                    reinterpret_cast<sockaddr*>(&address), &address_size);
    if (received < 0) {
        return -1;
    }
    ip = address.sin_addr.s_addr;
    port = ntohs(address.sin_port);
    return received;
}

int LastError() {
    return ::WSAGetLastError();
}

void ClearLastError() {
    ::WSASetLastError(0);
}

int TakePendingError(SocketHandle socket) {
    int code = 0;
    int size = sizeof code;
    if (::getsockopt(Sock(socket), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&code), &size) !=
        0) {
        return ::WSAGetLastError();
    }
    return code;
}

bool IsWouldBlock(int code) {
    return code == WSAEWOULDBLOCK;
}

std::string ErrorText(int code) {
    char buffer[512] = {};
    DWORD length =
        ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                         static_cast<DWORD>(code), 0, buffer, sizeof buffer, nullptr);
    // The system's texts end in a line break.
    while (length > 0 && (buffer[length - 1] == '\r' || buffer[length - 1] == '\n' ||
                          buffer[length - 1] == ' ')) {
        --length;
    }
    if (length > 0) {
        return std::string(buffer, length);
    }
    const char* fallback = FallbackText(code);
    return fallback != nullptr ? fallback : "system error " + std::to_string(code);
}

std::string ComputerName() {
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof name;
    if (!::GetComputerNameA(name, &size)) {
        return {};
    }
    return std::string(name, size);
}

namespace {

// The adapters' friendly names ("Ethernet", "Wi-Fi") by IPv4 address, in UTF-8;
// empty when the system cannot be asked.
std::map<uint32_t, std::string> AdapterNamesByAddress() {
    std::map<uint32_t, std::string> names;
    ULONG size = 16 * 1024;
    std::unique_ptr<char[]> buffer;
    ULONG result = ERROR_BUFFER_OVERFLOW;
    for (int attempt = 0; attempt < 3 && result == ERROR_BUFFER_OVERFLOW; ++attempt) {
        buffer = std::make_unique<char[]>(size);
        result = ::GetAdaptersAddresses(
            AF_INET, GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER,
            nullptr, reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.get()), &size);
    }
    if (result != NO_ERROR) {
        return names;
    }
    for (auto* adapter = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.get()); adapter != nullptr;
         adapter = adapter->Next) {
        char name[256] = {};
        ::WideCharToMultiByte(CP_UTF8, 0, adapter->FriendlyName, -1, name, sizeof name - 1, nullptr,
                              nullptr);
        for (auto* unicast = adapter->FirstUnicastAddress; unicast != nullptr;
             unicast = unicast->Next) {
            const sockaddr* address = unicast->Address.lpSockaddr;
            if (address != nullptr && address->sa_family == AF_INET) {
                names[reinterpret_cast<const sockaddr_in*>(address)->sin_addr.s_addr] = name;
            }
        }
    }
    return names;
}

} // namespace

bool ListInterfaces(std::vector<InterfaceRecord>& records) {
    records.clear();
    const SOCKET query = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (query == INVALID_SOCKET) {
        return false;
    }
    DWORD capacity = kFirstInterfaceCount * sizeof(INTERFACE_INFO);
    std::unique_ptr<INTERFACE_INFO[]> infos;
    DWORD returned = 0;
    bool listed = false;
    // A list that does not fit fails with WSAEFAULT: try again with more room.
    while (!listed && capacity <= kMaxInterfaceBuffer) {
        infos = std::make_unique<INTERFACE_INFO[]>(capacity / sizeof(INTERFACE_INFO));
        listed = ::WSAIoctl(query, SIO_GET_INTERFACE_LIST, nullptr, 0, infos.get(), capacity,
                            &returned, nullptr, nullptr) == 0;
        if (!listed && ::WSAGetLastError() != WSAEFAULT) {
            break;
        }
        capacity *= 2;
    }
    ::closesocket(query);
    if (!listed) {
        return false;
    }
    const DWORD count = returned / sizeof(INTERFACE_INFO);
    const std::map<uint32_t, std::string> names = AdapterNamesByAddress();
    for (DWORD i = 0; i < count; ++i) {
        const INTERFACE_INFO& info = infos[i];
        InterfaceRecord record;
        record.ip = info.iiAddress.AddressIn.sin_addr.s_addr;
        if (const auto name = names.find(record.ip); name != names.end()) {
            record.name = name->second;
        }
        record.mask = info.iiNetmask.AddressIn.sin_addr.s_addr;
        record.broadcast = info.iiBroadcastAddress.AddressIn.sin_addr.s_addr;
        record.flags = ((info.iiFlags & IFF_UP) != 0 ? kIfUp : 0) |
                       ((info.iiFlags & IFF_BROADCAST) != 0 ? kIfBroadcast : 0) |
                       ((info.iiFlags & IFF_LOOPBACK) != 0 ? kIfLoopback : 0);
        records.push_back(record);
    }
    return true;
}

} // namespace sockplat

} // namespace velkor
