#include "tools/ControlLoop.h"

#include <cerrno>
#include <csignal>
#include <netinet/in.h>
#include <poll.h>
#include <pthread.h>
#include <sys/signalfd.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

#include "tools/ControlCommands.h"
#include "tools/SimSockets.h"

namespace sim {
namespace {

constexpr std::size_t kMaxClients = 8;
constexpr std::size_t kMaxLineBytes = 4096;

struct Peer {
    Fd owned;     // invalid for standard input
    int in = -1;  // where lines come from
    int out = -1; // where answers go
    std::string pending;
};

void WriteAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return; // the peer went away; its read side notices
        }
        done += static_cast<std::size_t>(n);
    }
}

enum class PeerState { Open, Closed, Quit };

// Runs every complete line the peer sent. A peer whose line grows past the
// limit is told so and dropped.

PeerState Serve(SimulatedFleet& fleet, Peer& peer) {
    char buffer[1024];
    const ssize_t n = ::read(peer.in, buffer, sizeof buffer);
    if (n <= 0) {
        return (n < 0 && errno == EINTR) ? PeerState::Open : PeerState::Closed;
    }
    peer.pending.append(buffer, static_cast<std::size_t>(n));
    std::size_t end;
    while ((end = peer.pending.find('\n')) != std::string::npos) {
        std::string line = peer.pending.substr(0, end);
        peer.pending.erase(0, end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const ControlResult result = ExecuteControlLine(fleet, line);
        WriteAll(peer.out, result.text);
        if (result.quit) {
            return PeerState::Quit;
        }
    }
    if (peer.pending.size() > kMaxLineBytes) {
        WriteAll(peer.out, "error: line too long\n");
        return PeerState::Closed;
    }
    return PeerState::Open;
}

sigset_t StopSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    return signals;
}

Fd OpenControlPort(uint16_t port, std::string* error) {
    Fd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    const int on = 1;
    setsockopt(fd.get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    local.sin_port = htons(port);
    if (!fd.valid() || ::bind(fd.get(), reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
        ::listen(fd.get(), 4) != 0) {
        *error = ErrnoText("control port 127.0.0.1:" + std::to_string(port));
        return Fd{};
    }
    return fd;
}

} // namespace

void BlockStopSignals() {
    const sigset_t signals = StopSignals();
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
}

bool RunControlLoop(SimulatedFleet& fleet, bool read_stdin, uint16_t control_port,
                    std::string* error) {
    Fd listener;
    if (control_port != 0) {
        listener = OpenControlPort(control_port, error);
        if (!listener.valid()) {
            return false;
        }
    }
    const sigset_t signals = StopSignals();
    const Fd signal_fd(signalfd(-1, &signals, SFD_CLOEXEC));

    std::vector<Peer> peers;
    if (read_stdin) {
        peers.push_back(Peer{Fd{}, STDIN_FILENO, STDOUT_FILENO, {}});
    }
    for (;;) {
        if (read_stdin && peers.empty() && !listener.valid()) {
            return true; // standard input ended and nobody else can ask
        }
        // Without standard input or a control port, only a signal ends the run.
        std::vector<pollfd> watched{{signal_fd.get(), POLLIN, 0}, {listener.get(), POLLIN, 0}};
        for (const auto& peer : peers) {
            watched.push_back({peer.in, POLLIN, 0});
        }
        if (::poll(watched.data(), watched.size(), -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            *error = ErrnoText("poll");
            return false;
        }
        if (watched[0].revents != 0) {
            return true;
        }
        if (watched[1].revents != 0) {
            Fd client(::accept4(listener.get(), nullptr, nullptr, SOCK_CLOEXEC));
            if (client.valid() && peers.size() <= kMaxClients) {
                const int fd = client.get();
                peers.push_back(Peer{std::move(client), fd, fd, {}});
            }
        }
        for (std::size_t i = watched.size() - 2; i-- > 0;) {
            if (watched[i + 2].revents == 0) {
                continue;
            }
            const PeerState state = Serve(fleet, peers[i]);
            if (state == PeerState::Quit) {
                return true;
            }
            if (state == PeerState::Closed) {
                peers.erase(peers.begin() + static_cast<std::ptrdiff_t>(i));
            }
        }
    }
}

} // namespace sim
