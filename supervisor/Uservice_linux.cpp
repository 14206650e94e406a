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
#include <pthread.h>
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
    // The signals stand for the control handler; RunService blocks them for sigwaitinfo.
    std::string_view RegisterCallName() const override { return "pthread_sigmask"; }
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
    // The service thread tells the main thread that the service entry has returned with a
    // signal of its own, so that the main thread waits for signals alone. (A signal
    // descriptor would wake it for every program's SIGCHLD as well.)
    const int service_ended = SIGRTMIN;
    sigset_t waited;
    sigemptyset(&waited);
    for (const int signal_number : {SIGTERM, SIGINT, SIGHUP, service_ended}) {
        sigaddset(&waited, signal_number);
    }
    // Blocked before the service thread exists so that only this thread takes them, and left
    // blocked: a second SIGTERM during or after the stop must not end the program another way.
    if (const int error = pthread_sigmask(SIG_BLOCK, &waited, nullptr); error != 0) {
        return LogSystemError("pthread_sigmask", error);
    }

    SystemdManager manager;
    ServiceWrapper wrapper(manager, std::move(callbacks), service_name,
                           [](std::string_view message) { WriteLog(message); });
    const pthread_t main_thread = pthread_self();
    std::thread service;
    try {
        service = std::thread([&] {
            wrapper.ServiceMain();
            pthread_kill(main_thread, service_ended);
        });
    } catch (const std::system_error& error) {
        return LogSystemError("pthread_create", error.code().value());
    }

    for (;;) {
        siginfo_t info{};
        const int signal_number = sigwaitinfo(&waited, &info);
        if (signal_number < 0) {
            if (errno == EINTR) {
                continue;
            }
            // Without a way to wait for the stop, stop now rather than leave children behind.
            LogSystemError("sigwaitinfo", errno);
            wrapper.ServiceCtrlHandler(service_control::Stop);
            break;
        }
        if (signal_number == service_ended) {
            if (info.si_pid == getpid()) {
                break; // the service entry has returned (a stop, or a failed start or run)
            }
            continue; // not ours
        }
        if (signal_number == SIGHUP) {
            wrapper.ServiceCtrlHandler(service_control::ParamChange);
            continue;
        }
        wrapper.ServiceCtrlHandler(service_control::Stop);
        break;
    }
    service.join();
    return !wrapper.Failed();
}

} // namespace torvane
