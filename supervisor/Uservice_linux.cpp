// The service wrapper under systemd. The program runs in the foreground; the main thread
// plays the dispatcher: it turns SIGTERM and SIGINT into the stop control and SIGHUP into
// the parameter-change control while the service entry runs in a thread of its own. Status goes to
// the notify socket when systemd gives one (start pending, then READY=1, then STOPPING=1); without
// one the reports are no-ops.
#include "supervisor/UniqueFd.h"
#include "supervisor/Uservice.h"
#include "supervisor/UserviceCore.h"

#include <cerrno>
#include <csignal>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace torvane {
namespace {

// Sends the state to the service manager's notify socket ($NOTIFY_SOCKET: a path, or an
// abstract name after "@"), one datagram, as systemd's readiness protocol has it. 0 when sent
// or when there is no socket (not run by a service manager that listens); otherwise the errno.
int NotifyServiceManager(std::string_view state) {
    const char* socket_name = std::getenv("NOTIFY_SOCKET");
    if (socket_name == nullptr || socket_name[0] == '\0') {
        return 0;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::size_t length = std::strlen(socket_name);
    if ((socket_name[0] != '/' && socket_name[0] != '@') || length >= sizeof address.sun_path) {
        return EINVAL;
    }
    std::memcpy(address.sun_path, socket_name, length);
    if (address.sun_path[0] == '@') {
        address.sun_path[0] = '\0';
    }
    const UniqueFd socket_fd(socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    if (socket_fd.fd < 0) {
        return errno;
    }
    const auto address_length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + length);
    if (sendto(socket_fd.fd, state.data(), state.size(), MSG_NOSIGNAL,
               reinterpret_cast<const sockaddr*>(&address), address_length) < 0) {
        return errno;
    }
    return 0;
}

class SystemdManager final : public IServiceManager {
public:
    bool RegisterControlHandler(const std::string&) override { return true; }

    bool ReportStatus(ServiceState state, bool) override {
        const char* message = "STATUS=start pending";
        if (state == ServiceState::Running) {
            message = "READY=1\nSTATUS=running";
        } else if (state == ServiceState::Stopped) {
            message = "STOPPING=1\nSTATUS=stopped";
        }
        last_error_ = NotifyServiceManager(message);
        return last_error_ == 0;
    }

    unsigned long LastError() override { return last_error_; }
    // The signal descriptor stands for the control handler; it is made by RunService.
    std::string_view RegisterCallName() const override { return "signalfd"; }
    std::string_view ReportCallName() const override { return "notify"; }

private:
    // Like errno, the code of the calling thread's last failure.
    static inline thread_local int last_error_ = 0;
};

// A failed system call of the dispatcher, named as the call it is.
bool LogSystemError(std::string_view call, int error) {
    WriteLog("userv: {error} " + std::string(call) + " (" + std::to_string(error) + ")");
    return false;
}

} // namespace

bool InstallService(std::string_view, const std::vector<std::string>&, std::string& message) {
    message = "install and uninstall are for the Windows service manager; under systemd, "
              "install the unit torvane.service";
    return false;
}

bool UninstallService(std::string_view service_name, std::string& message) {
    return InstallService(service_name, {}, message);
}

bool RunService(std::string_view service_name, ServiceCallbacks callbacks) {
    sigset_t control_signals;
    sigemptyset(&control_signals);
    sigaddset(&control_signals, SIGTERM);
    sigaddset(&control_signals, SIGINT);
    sigaddset(&control_signals, SIGHUP);
    // Blocked before the service thread exists so that only the signal descriptor sees them,
    // and left blocked: a second SIGTERM during or after the stop must not end the program
    // another way.
    if (const int error = pthread_sigmask(SIG_BLOCK, &control_signals, nullptr); error != 0) {
        return LogSystemError("pthread_sigmask", error);
    }
    const UniqueFd signals(signalfd(-1, &control_signals, SFD_CLOEXEC));
    if (signals.fd < 0) {
        return LogSystemError("signalfd", errno);
    }
    const UniqueFd service_done(eventfd(0, EFD_CLOEXEC));
    if (service_done.fd < 0) {
        return LogSystemError("eventfd", errno);
    }

    SystemdManager manager;
    ServiceWrapper wrapper(manager, std::move(callbacks), service_name,
                           [](std::string_view message) { WriteLog(message); });
    std::thread service;
    try {
        service = std::thread([&] {
            wrapper.ServiceMain();
            eventfd_write(service_done.fd, 1);
        });
    } catch (const std::system_error& error) {
        return LogSystemError("pthread_create", error.code().value());
    }

    pollfd waits[2] = {{signals.fd, POLLIN, 0}, {service_done.fd, POLLIN, 0}};
    for (;;) {
        if (poll(waits, 2, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            // Without a way to wait for the stop, stop now rather than leave children behind.
            wrapper.ServiceCtrlHandler(service_control::Stop);
            break;
        }
        if (waits[1].revents != 0) {
            break; // the service entry ended on its own (failed start or run)
        }
        signalfd_siginfo info{};
        if (waits[0].revents != 0 &&
            read(signals.fd, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
            if (info.ssi_signo == SIGHUP) {
                wrapper.ServiceCtrlHandler(service_control::ParamChange);
                continue;
            }
            wrapper.ServiceCtrlHandler(service_control::Stop);
            break;
        }
    }
    service.join();
    return !wrapper.Failed();
}

} // namespace torvane
