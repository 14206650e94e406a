// Processes on Linux. A program starts in a session (and process group) of its own, the
// counterpart of a detached process, with standard input from /dev/null, the targets opened
// for appending, only descriptors 0, 1 and 2, an empty signal mask, and SIGKILL as its
// parent-death signal: if the supervisor dies, so does the program. Each program's end is
// learnt from its process descriptor (pidfd) in an epoll set that a thread of its own waits
// on, so that an end costs the same whatever the number of programs; the supervisor also
// reaps the orphans of its programs, which the kernel hands to it as their subreaper, in a
// sweep at most every 200 ms after SIGCHLD.
#include "supervisor/Guardian_linux.h"
#include "supervisor/UProcess.h"
#include "supervisor/UniqueFd.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>
#include <sys/epoll.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/signalfd.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <unordered_map>
#include <unordered_set>
#include <utility>

extern char** environ;

namespace torvane {
namespace {

constexpr const char* kDevNull = "/dev/null";
constexpr auto kKillWait = std::chrono::seconds(5);
constexpr int kExecFailed = 127;
// How soon after a SIGCHLD the adopted orphans are reaped, at most (one sweep of all
// children covers every SIGCHLD of that span).
constexpr int kOrphanSweepMs = 200;

bool IsNullTarget(const std::string& target) {
    return target == kNullTarget || target == "nul" || target == kDevNull;
}

// Opens close-on-exec at 3 or above, so that moving it to 0, 1 or 2 in the child never
// overwrites another of the three.
int OpenAbove2(const char* path, int flags) {
    const int fd = open(path, flags | O_CLOEXEC, 0644);
    if (fd < 0 || fd > 2) {
        return fd;
    }
    const int moved = fcntl(fd, F_DUPFD_CLOEXEC, 3);
    close(fd);
    return moved;
}

// A descriptor for one of a program's standard streams: /dev/null, opened once for every
// start, or a target file of its own. fd is negative when it could not be opened, with the
// reason in error.
struct StreamFd {
    UniqueFd own;
    int fd = -1;
    int error = 0;
};

StreamFd OpenStream(const std::string& target) {
    StreamFd stream;
    if (IsNullTarget(target)) {
        static const StreamFd null = [] {
            StreamFd opened;
            opened.fd = OpenAbove2(kDevNull, O_RDWR);
            opened.error = opened.fd < 0 ? errno : 0;
            return opened;
        }();
        stream.fd = null.fd;
        stream.error = null.error;
        return stream;
    }
    stream.own.fd = OpenAbove2(target.c_str(), O_WRONLY | O_APPEND | O_CREAT);
    stream.fd = stream.own.fd;
    stream.error = stream.fd < 0 ? errno : 0;
    return stream;
}

// The descriptors a child may have inherited: those below the soft limit (at most 65536).
int HighestFd() {
    static const int highest = [] {
        rlimit files{};
        getrlimit(RLIMIT_NOFILE, &files);
        return static_cast<int>(std::min<rlim_t>(files.rlim_cur, 65536));
    }();
    return highest;
}

std::string AbsolutePath(const std::string& path) {
    std::error_code error;
    const auto absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.string();
}

std::string DirectoryOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The environment for a child: the supervisor's own, less the service manager's notify
// socket, which belongs to the supervisor alone.
std::vector<char*> ChildEnvironment() {
    std::vector<char*> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        if (std::strncmp(*entry, "NOTIFY_SOCKET=", 14) != 0) {
            environment.push_back(*entry);
        }
    }
    environment.push_back(nullptr);
    return environment;
}

std::uint32_t ExitCodeOf(int status) {
    if (WIFEXITED(status)) {
        return static_cast<std::uint32_t>(WEXITSTATUS(status));
    }
    if (WIFSIGNALED(status)) {
        return 128u + static_cast<std::uint32_t>(WTERMSIG(status)); // as shells report it
    }
    return 0;
}

// Everything the child needs, prepared by the parent: between vfork and exec the child makes
// system calls only. (A failed exec reports through a pipe, not through the memory a vfork
// child shares: sanitizers turn vfork into fork.)
struct ChildSetup {
    const char* program;
    char* const* argv;
    char* const* envp;
    const char* directory;
    int streams[3]; // become 0, 1 and 2
    int error_pipe; // receives errno when the exec fails
    pid_t supervisor;
    int highest_fd; // for closing by hand where close_range is missing
};

[[noreturn]] void RunChild(const ChildSetup& setup) {
    int error = 0;
    sigset_t empty;
    sigemptyset(&empty);
    if (setsid() < 0 || prctl(PR_SET_PDEATHSIG, SIGKILL) != 0) {
        error = errno;
    } else if (getppid() != setup.supervisor) {
        _exit(kExecFailed); // the supervisor died before the death signal was armed
    }
    for (int target = 0; target < 3 && error == 0; ++target) {
        if (dup2(setup.streams[target], target) < 0) {
            error = errno;
        }
    }
    if (error == 0) {
        if (close_range(3, ~0u, CLOSE_RANGE_CLOEXEC) != 0) {
            for (int fd = 3; fd <= setup.highest_fd; ++fd) {
                if (fd != setup.error_pipe) {
                    close(fd);
                }
            }
        }
        if (chdir(setup.directory) != 0 || sigprocmask(SIG_SETMASK, &empty, nullptr) != 0) {
            error = errno;
        } else {
            execve(setup.program, setup.argv, setup.envp);
            error = errno;
        }
    }
    [[maybe_unused]] const ssize_t reported = write(setup.error_pipe, &error, sizeof error);
    _exit(kExecFailed);
}

// The supervisor's children: its programs, whose ends it waits for, and the orphans it has
// adopted as their subreaper, which it only reaps. Each program is watched through its
// process descriptor in one epoll set; an event names the program by its id and a serial
// number, so that an event left over from a reaped program never stands for a later program
// that was given the same id.
class Children {
public:
    static Children& Instance() {
        static Children& children = *new Children; // lives as long as the process
        return children;
    }

    // Runs the spawn, then records the program. The list is not locked meanwhile (starts run
    // side by side, and ends are reaped); a child that ends before it is recorded is not taken
    // for an orphan, since the reaper waits for the starts in progress (see ReapAll).
    template <typename Spawn> pid_t Start(Spawn spawn) {
        {
            const std::lock_guard lock(mutex_);
            ++starting_;
        }
        const pid_t pid = spawn();
        {
            const std::lock_guard lock(mutex_);
            if (pid > 0) {
                Watch(pid);
                guardian::Guard(pid);
            }
            --starting_;
        }
        started_.notify_all();
        return pid;
    }

    // The exit code once the program has ended (and its group with it).
    std::optional<std::uint32_t> Check(pid_t pid) {
        const std::lock_guard lock(mutex_);
        if (const auto ended = ended_.find(pid); ended != ended_.end()) {
            const std::uint32_t code = ended->second;
            ended_.erase(ended);
            return code;
        }
        siginfo_t info{};
        if (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0) {
            Forget(pid);
            return UINT32_MAX; // not ours to wait for: its exit code is unknown
        }
        if (info.si_pid == 0) {
            return std::nullopt;
        }
        return EndGroupAndReap(pid);
    }

    // Reaps a child whose exec failed (it exits right after reporting why), so that its end
    // is not reported later as a program's.
    void Discard(pid_t pid) {
        const std::lock_guard lock(mutex_);
        if (ours_.count(pid) != 0) {
            EndGroupAndReap(pid);
        } else {
            ended_.erase(pid); // the watcher has reaped it already
        }
    }

    // Reaps every child that has ended; returns whether one of them was a program.
    bool ReapAll() {
        std::unique_lock lock(mutex_);
        bool program_ended = false;
        for (;;) {
            siginfo_t info{};
            if (waitid(P_ALL, 0, &info, WEXITED | WNOHANG | WNOWAIT) != 0 || info.si_pid == 0) {
                return program_ended;
            }
            const pid_t pid = info.si_pid;
            if (ours_.count(pid) == 0 && starting_ > 0) {
                // Perhaps a program whose start is not recorded yet: look again once it is.
                started_.wait(lock, [&] { return starting_ == 0 || ours_.count(pid) != 0; });
                continue;
            }
            if (ours_.count(pid) != 0) {
                RecordEnd(pid);
                program_ended = true;
            } else {
                waitpid(pid, nullptr, 0); // an adopted orphan
            }
        }
    }

    std::vector<std::uint32_t> TakeFresh() {
        const std::lock_guard lock(mutex_);
        return std::exchange(fresh_, {});
    }

    std::unordered_set<pid_t> Ours() {
        const std::lock_guard lock(mutex_);
        std::unordered_set<pid_t> ours;
        for (const auto& [pid, watched] : ours_) {
            ours.insert(pid);
        }
        return ours;
    }

    void SetObserver(std::function<void()> on_end) {
        const std::lock_guard lock(mutex_);
        on_end_ = std::move(on_end);
    }

    // A thread for the life of the process that waits for the programs' ends (their process
    // descriptors) and for SIGCHLD (blocked in every thread by PrepareProcess), which also
    // stands for the end of an adopted orphan. False when it could not be set up: ends are
    // then noticed by the supervisor's periodic check alone.
    bool StartWatching() {
        sigset_t child_signal;
        sigemptyset(&child_signal);
        sigaddset(&child_signal, SIGCHLD);
        pthread_sigmask(SIG_BLOCK, &child_signal, nullptr);
        UniqueFd signals(signalfd(-1, &child_signal, SFD_CLOEXEC | SFD_NONBLOCK));
        epoll_event event{};
        event.events = EPOLLIN;
        event.data.u64 = kSignalEvent;
        {
            const std::lock_guard lock(mutex_);
            if (signals.fd < 0 || epoll_.fd < 0 ||
                epoll_ctl(epoll_.fd, EPOLL_CTL_ADD, signals.fd, &event) != 0) {
                return false;
            }
        }
        std::thread([this, signals = std::move(signals)] { WatchLoop(signals.fd); }).detach();
        return true;
    }

private:
    static constexpr std::uint64_t kSignalEvent = 0;

    struct Watched {
        int pidfd = -1;
        std::uint64_t serial = 0;
    };

    static std::uint64_t EventData(pid_t pid, std::uint64_t serial) {
        return serial << 32 | static_cast<std::uint32_t>(pid);
    }

    // Records the program and adds its process descriptor to the epoll set. Without one
    // (a kernel older than 5.3) its end is noticed by the sweep after SIGCHLD.
    void Watch(pid_t pid) {
        Watched watched{static_cast<int>(syscall(SYS_pidfd_open, pid, 0)), ++serial_};
        if (watched.pidfd >= 0) {
            fcntl(watched.pidfd, F_SETFD, FD_CLOEXEC);
            epoll_event event{};
            event.events = EPOLLIN;
            event.data.u64 = EventData(pid, watched.serial);
            epoll_ctl(epoll_.fd, EPOLL_CTL_ADD, watched.pidfd, &event);
        }
        ours_[pid] = watched;
    }

    // Drops the program from the list and its descriptor from the epoll set.
    void Forget(pid_t pid) {
        const auto found = ours_.find(pid);
        if (found == ours_.end()) {
            return;
        }
        if (found->second.pidfd >= 0) {
            epoll_ctl(epoll_.fd, EPOLL_CTL_DEL, found->second.pidfd, nullptr);
            close(found->second.pidfd);
        }
        ours_.erase(found);
    }

    void RecordEnd(pid_t pid) {
        ended_[pid] = EndGroupAndReap(pid);
        fresh_.push_back(static_cast<std::uint32_t>(pid));
    }

    // Answers the programs' ends as their descriptors report them; on SIGCHLD sweeps all
    // children for adopted orphans, at most once per kOrphanSweepMs.
    [[noreturn]] void WatchLoop(int signal_fd) {
        constexpr int kBatch = 64;
        epoll_event events[kBatch];
        using Clock = std::chrono::steady_clock;
        bool sweep_due = false;
        Clock::time_point sweep_at{};
        for (;;) {
            int timeout = -1;
            if (sweep_due) {
                const auto left =
                    std::chrono::ceil<std::chrono::milliseconds>(sweep_at - Clock::now());
                timeout = static_cast<int>(std::max<std::int64_t>(0, left.count()));
            }
            const int count = epoll_wait(epoll_.fd, events, kBatch, timeout);
            bool program_ended = false;
            for (int index = 0; index < count; ++index) {
                if (events[index].data.u64 == kSignalEvent) {
                    signalfd_siginfo info{};
                    while (read(signal_fd, &info, sizeof info) ==
                           static_cast<ssize_t>(sizeof info)) {
                    }
                    if (!sweep_due) {
                        sweep_due = true;
                        sweep_at = Clock::now() + std::chrono::milliseconds(kOrphanSweepMs);
                    }
                } else {
                    program_ended |= ReportedEnd(events[index].data.u64);
                }
            }
            if (sweep_due && Clock::now() >= sweep_at) {
                sweep_due = false;
                program_ended |= ReapAll();
            }
            if (program_ended) {
                NotifyObserver();
            }
        }
    }

    // A program's descriptor has reported its end: reap it, unless that already happened.
    bool ReportedEnd(std::uint64_t data) {
        const auto pid = static_cast<pid_t>(static_cast<std::uint32_t>(data));
        const std::lock_guard lock(mutex_);
        const auto found = ours_.find(pid);
        if (found == ours_.end() || EventData(pid, found->second.serial) != data) {
            return false;
        }
        RecordEnd(pid);
        return true;
    }

    void NotifyObserver() {
        std::function<void()> on_end;
        {
            const std::lock_guard lock(mutex_);
            on_end = on_end_;
        }
        if (on_end) {
            on_end();
        }
    }

    // The program has ended but is not reaped yet, so its id still names its group: end what
    // is left of the group, then reap the program.
    std::uint32_t EndGroupAndReap(pid_t pid) {
        kill(-pid, SIGKILL);
        guardian::Release(pid);
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        Forget(pid);
        return ExitCodeOf(status);
    }

    std::mutex mutex_;
    std::condition_variable started_;
    int starting_ = 0; // starts in progress
    UniqueFd epoll_{epoll_create1(EPOLL_CLOEXEC)};
    std::uint64_t serial_ = 0;
    std::unordered_map<pid_t, Watched> ours_;
    std::unordered_map<pid_t, std::uint32_t> ended_;
    std::vector<std::uint32_t> fresh_;
    std::function<void()> on_end_;
};

// The supervisor's children that are not its programs.
std::vector<pid_t> AdoptedOrphans() {
    const auto ours = Children::Instance().Ours();
    std::vector<pid_t> orphans;
    std::error_code error;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task", error)) {
        std::ifstream children(task.path() / "children");
        for (pid_t pid = 0; children >> pid;) {
            if (ours.count(pid) == 0 && pid != guardian::Pid()) {
                orphans.push_back(pid);
            }
        }
    }
    return orphans;
}

} // namespace

FileKind ProbeFile(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        return FileKind::Missing;
    }
    return S_ISREG(info.st_mode) ? FileKind::File : FileKind::NotAFile;
}

bool StartProcess(const std::string& executable, const std::string& command_line,
                  const std::string& stdout_target, const std::string& stderr_target,
                  ProcessInformation& information, unsigned long& error) {
    information = {};
    const std::string program = AbsolutePath(executable);
    const std::string directory = DirectoryOf(program);
    std::vector<std::string> arguments = SplitCommandLine(command_line);
    if (arguments.empty()) {
        arguments.push_back(executable);
    }
    std::vector<char*> argv;
    for (auto& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    std::vector<char*> environment = ChildEnvironment();

    const StreamFd input = OpenStream(kNullTarget);
    const StreamFd output = OpenStream(stdout_target);
    const StreamFd errors = OpenStream(stderr_target);
    for (const StreamFd* stream : {&input, &output, &errors}) {
        if (stream->fd < 0) {
            error = static_cast<unsigned long>(stream->error);
            return false;
        }
    }
    int pipe_ends[2] = {-1, -1};
    if (pipe2(pipe_ends, O_CLOEXEC) != 0) {
        error = static_cast<unsigned long>(errno);
        return false;
    }
    const UniqueFd error_reader(pipe_ends[0]);
    UniqueFd error_writer(pipe_ends[1]);
    const ChildSetup setup{
        program.c_str(),
        argv.data(),
        environment.data(),
        directory.c_str(),
        {input.fd, output.fd, errors.fd},
        error_writer.fd,
        getpid(),
        HighestFd(),
    };

    const pid_t pid = Children::Instance().Start([&setup] {
        const pid_t child = vfork();
        if (child == 0) {
            RunChild(setup);
        }
        return child;
    });
    if (pid < 0) {
        error = static_cast<unsigned long>(errno);
        return false;
    }
    close(std::exchange(error_writer.fd, -1));
    int child_error = 0;
    if (read(error_reader.fd, &child_error, sizeof child_error) ==
        static_cast<ssize_t>(sizeof child_error)) {
        Children::Instance().Discard(pid);
        error = static_cast<unsigned long>(child_error);
        return false;
    }
    information.process_handle = pid;
    information.process_id = static_cast<std::uint32_t>(pid);
    return true;
}

bool IsProcessActive(ProcessInformation& information, std::uint32_t& exit_code) {
    const auto code = Children::Instance().Check(static_cast<pid_t>(information.process_handle));
    if (!code) {
        return true;
    }
    exit_code = *code;
    information = {};
    return false;
}

void RequestEnd(const ProcessInformation& information, EndRequest request) {
    const auto pid = static_cast<pid_t>(information.process_handle);
    if (pid <= 0) {
        return;
    }
    const int signal_number = request == EndRequest::Ask ? SIGTERM : SIGKILL;
    kill(-pid, signal_number);
    kill(pid, signal_number); // in case it has left its group
}

void StartForGracefulEnds() {
    // A program's process group can always be sent SIGTERM.
}

void KillProcess(ProcessInformation& information) {
    if (information.process_handle <= 0) {
        return;
    }
    RequestEnd(information, EndRequest::Kill);
    const auto deadline = std::chrono::steady_clock::now() + kKillWait;
    std::uint32_t exit_code = 0;
    while (IsProcessActive(information, exit_code) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    information = {};
}

void WatchProcessEnds(std::function<void()> on_end) {
    Children::Instance().SetObserver(std::move(on_end));
    [[maybe_unused]] static const bool watching = Children::Instance().StartWatching();
}

std::vector<std::uint32_t> TakeEndedProcessIds() {
    return Children::Instance().TakeFresh();
}

void FinishStop() {
    // An orphan's own children become orphans in turn once it has gone: a few rounds.
    constexpr int kRounds = 10;
    for (int round = 0; round < kRounds; ++round) {
        const auto orphans = AdoptedOrphans();
        if (orphans.empty()) {
            break;
        }
        for (const pid_t pid : orphans) {
            kill(-pid, SIGKILL); // its group, if it leads one
            kill(pid, SIGKILL);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        Children::Instance().ReapAll();
    }
    guardian::StandDown();
}

} // namespace torvane
