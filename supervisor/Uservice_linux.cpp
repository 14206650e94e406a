// The service wrapper under systemd. The program runs in the foreground; the main thread
// plays the dispatcher: it turns SIGTERM and SIGINT into the stop control while the service
// entry runs in a thread of its own. Status goes to the notify socket when systemd gives one
// (start pending, then READY=1, then STOPPING=1); without one the reports are no-ops.
#include "supervisor/Uservice.h"
#include "supervisor/UserviceCore.h"
#include "supervisor/UservicePlatform.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <system_error>
#include <systemd/sd-daemon.h>
#include <thread>
#include <unistd.h>

namespace torvane {

namespace uservice_platform {

std::string ExecutablePath() {
    std::string path(4096, '\0');
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
    path.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return path;
}

std::tm LocalTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

bool AppendToFile(const std::string& path, std::string_view bytes) {
    const int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        return false;
    }
    bool ok = true;
    while (!bytes.empty()) {
        const ssize_t written = write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            ok = false;
            break;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return close(fd) == 0 && ok;
}

} // namespace uservice_platform

namespace {

class SystemdManager final : public IServiceManager {
public:
    bool RegisterControlHandler(const std::string&) override { return true; }

    bool ReportStatus(ServiceState state) override {
        const char* message = "STATUS=start pending";
        if (state == ServiceState::Running) {
            message = "READY=1\nSTATUS=running";
        } else if (state == ServiceState::Stopped) {
            message = "STOPPING=1\nSTATUS=stopped";
        }
        const int result = sd_notify(0, message);
        last_error_ = result < 0 ? -result : 0;
        return result >= 0;
    }

    unsigned long LastError() override { return last_error_; }

private:
    // Like errno, the code of the calling thread's last failure.
    static inline thread_local int last_error_ = 0;
};

// Closes a descriptor when the dispatcher returns.
struct UniqueFd {
    int fd = -1;
    ~UniqueFd() {
        if (fd >= 0) {
            close(fd);
        }
    }
};

bool LogDispatcherError(int error) {
    WriteLog("userv: {error} StartServiceCtrlDispatcher (" + std::to_string(error) + ")");
    return false;
}

} // namespace

bool RunService(std::string_view service_name, ServiceCallbacks callbacks) {
    sigset_t stop_signals;
    sigemptyset(&stop_signals);
    sigaddset(&stop_signals, SIGTERM);
    sigaddset(&stop_signals, SIGINT);
    // Blocked before the service thread exists so that only the signal descriptor sees them.
    sigset_t previous_mask;
    if (const int error = pthread_sigmask(SIG_BLOCK, &stop_signals, &previous_mask); error != 0) {
        return LogDispatcherError(error);
    }
    struct RestoreMask {
        sigset_t mask;
        ~RestoreMask() { pthread_sigmask(SIG_SETMASK, &mask, nullptr); }
    } restore{previous_mask};

    const UniqueFd signals{signalfd(-1, &stop_signals, SFD_CLOEXEC)};
    const UniqueFd service_done{eventfd(0, EFD_CLOEXEC)};
    if (signals.fd < 0 || service_done.fd < 0) {
        return LogDispatcherError(errno);
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
        return LogDispatcherError(error.code().value());
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
        if (waits[0].revents != 0) {
            signalfd_siginfo info{};
            if (read(signals.fd, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
                wrapper.ServiceCtrlHandler(service_control::Stop);
                break;
            }
        }
    }
    service.join();
    return true;
}

} // namespace torvane
