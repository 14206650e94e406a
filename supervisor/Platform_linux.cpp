#include "supervisor/Guardian_linux.h"
#include "supervisor/Platform.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <malloc.h>
#include <string>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace torvane::platform {

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

std::string SystemErrorText(unsigned long code) {
    char buffer[256] = {};
    // The GNU strerror_r returns the text, which may or may not be in the buffer.
    return strerror_r(static_cast<int>(code), buffer, sizeof buffer);
}

void PrepareProcess() {
    // The kernel's own call, which also reaches the two signals the C library keeps for
    // itself (and which its posix_spawn hands on ignored); only ignored signals are touched.
    struct KernelAction {
        void (*handler)(int);
        unsigned long flags;
        void (*restorer)();
        unsigned long mask;
    };
    for (int signal_number = 1; signal_number < NSIG; ++signal_number) {
        KernelAction action{};
        if (syscall(SYS_rt_sigaction, signal_number, nullptr, &action, sizeof action.mask) == 0 &&
            action.handler == SIG_IGN) {
            const KernelAction default_action{SIG_DFL, 0, nullptr, 0};
            syscall(SYS_rt_sigaction, signal_number, &default_action, nullptr, sizeof action.mask);
        }
    }
    sigset_t blocked;
    sigemptyset(&blocked);
    for (const int signal_number : {SIGTERM, SIGINT, SIGHUP, SIGCHLD, SIGPIPE}) {
        sigaddset(&blocked, signal_number);
    }
    sigprocmask(SIG_BLOCK, &blocked, nullptr);
    // One heap for every thread: the C library would give each thread that allocates an arena
    // of its own, each growing by steps of 128 KiB, for a few short strings a start.
    mallopt(M_ARENA_MAX, 1);
    prctl(PR_SET_CHILD_SUBREAPER, 1);
    guardian::Start();
}

FileLock::FileLock(const std::string& path)
    : handle_(open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644)) {
    if (handle_ < 0) {
        error_ = static_cast<unsigned long>(errno);
        return;
    }
    const int fd = static_cast<int>(handle_);
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        error_ = static_cast<unsigned long>(errno);
        held_elsewhere_ = errno == EWOULDBLOCK;
        close(fd);
        handle_ = -1;
        return;
    }
    // The holder's process id, for the operator who finds the file (a courtesy: the lock
    // holds without it).
    const std::string pid = std::to_string(getpid()) + "\n";
    [[maybe_unused]] const bool noted =
        ftruncate(fd, 0) == 0 && write(fd, pid.data(), pid.size()) > 0;
}

FileLock::~FileLock() {
    if (handle_ >= 0) {
        close(static_cast<int>(handle_));
    }
}

bool FileLock::IsHeld() const {
    return handle_ >= 0;
}

AppendFile::AppendFile(const std::string& path)
    : handle_(open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644)) {
    error_ = handle_ < 0 ? static_cast<unsigned long>(errno) : 0;
}

AppendFile::~AppendFile() {
    if (handle_ >= 0) {
        close(static_cast<int>(handle_));
    }
}

bool AppendFile::IsOpen() const {
    return handle_ >= 0;
}

std::uint64_t AppendFile::Size() const {
    struct stat info {};
    return fstat(static_cast<int>(handle_), &info) == 0 ? static_cast<std::uint64_t>(info.st_size)
                                                        : 0;
}

bool AppendFile::AppendWhole(std::string_view bytes) {
    const int fd = static_cast<int>(handle_);
    const off_t start = lseek(fd, 0, SEEK_END);
    std::string_view rest = bytes;
    while (!rest.empty()) {
        const ssize_t written = write(fd, rest.data(), rest.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            error_ = written < 0 ? static_cast<unsigned long>(errno) : ENOSPC;
            // Take back the part that went in, so that the file never holds a torn line.
            if (rest.size() != bytes.size() && start >= 0 && ftruncate(fd, start) != 0) {
                error_ = static_cast<unsigned long>(errno);
            }
            return false;
        }
        rest.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

} // namespace torvane::platform
