// Processes on POSIX systems: posix_spawn in a session of its own (the counterpart of a
// detached process), standard input from /dev/null, the targets opened for appending.
#include "supervisor/UProcess.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace torvane {

namespace {

constexpr const char* kDevNull = "/dev/null";
constexpr auto kKillWait = std::chrono::seconds(5);

std::string SystemTarget(const std::string& target) {
    return target == kNullTarget || target == "nul" ? kDevNull : target;
}

int OpenForAppend(const std::string& target) {
    return open(SystemTarget(target).c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
}

std::string AbsolutePath(const std::string& path) {
    if (!path.empty() && path.front() == '/') {
        return path;
    }
    std::string directory(4096, '\0');
    if (getcwd(directory.data(), directory.size()) == nullptr) {
        return path;
    }
    directory.resize(std::strlen(directory.c_str()));
    return directory + "/" + path;
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

// Everything a spawn needs, released on every path.
struct SpawnSetup {
    posix_spawn_file_actions_t actions{};
    posix_spawnattr_t attributes{};
    int out_fd = -1;
    int err_fd = -1;
    bool ready = false;

    SpawnSetup() {
        ready = posix_spawn_file_actions_init(&actions) == 0;
        if (ready && posix_spawnattr_init(&attributes) != 0) {
            posix_spawn_file_actions_destroy(&actions);
            ready = false;
        }
    }
    ~SpawnSetup() {
        if (out_fd >= 0) {
            close(out_fd);
        }
        if (err_fd >= 0) {
            close(err_fd);
        }
        if (ready) {
            posix_spawnattr_destroy(&attributes);
            posix_spawn_file_actions_destroy(&actions);
        }
    }
};

bool PrepareSpawn(SpawnSetup& setup, const std::string& directory, const std::string& stdout_target,
                  const std::string& stderr_target) {
    if (!setup.ready) {
        return false;
    }
    setup.out_fd = OpenForAppend(stdout_target);
    setup.err_fd = OpenForAppend(stderr_target);
    if (setup.out_fd < 0 || setup.err_fd < 0) {
        return false;
    }
    // The supervisor blocks its stop signals; its children start with a clean mask and the
    // default dispositions.
    sigset_t empty_mask;
    sigset_t default_signals;
    sigemptyset(&empty_mask);
    sigfillset(&default_signals);
    sigdelset(&default_signals, SIGKILL);
    sigdelset(&default_signals, SIGSTOP);
    return posix_spawn_file_actions_addopen(&setup.actions, STDIN_FILENO, kDevNull, O_RDONLY, 0) ==
               0 &&
           posix_spawn_file_actions_adddup2(&setup.actions, setup.out_fd, STDOUT_FILENO) == 0 &&
           posix_spawn_file_actions_adddup2(&setup.actions, setup.err_fd, STDERR_FILENO) == 0 &&
           posix_spawn_file_actions_addchdir_np(&setup.actions, directory.c_str()) == 0 &&
           posix_spawnattr_setsigmask(&setup.attributes, &empty_mask) == 0 &&
           posix_spawnattr_setsigdefault(&setup.attributes, &default_signals) == 0 &&
           posix_spawnattr_setflags(&setup.attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK |
                                                           POSIX_SPAWN_SETSIGDEF) == 0;
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

} // namespace

bool FileExists(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool StartProcess(const std::string& executable, const std::string& command_line,
                  const std::string& stdout_target, const std::string& stderr_target,
                  ProcessInformation& information) {
    information = {};
    const std::string program = AbsolutePath(executable);
    std::vector<std::string> arguments = SplitCommandLine(command_line);
    if (arguments.empty()) {
        arguments.push_back(executable);
    }
    std::vector<char*> argv;
    for (auto& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);

    SpawnSetup setup;
    if (!PrepareSpawn(setup, DirectoryOf(program), stdout_target, stderr_target)) {
        return false;
    }
    std::vector<char*> environment = ChildEnvironment();
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), &setup.actions, &setup.attributes, argv.data(),
                    environment.data()) != 0) {
        return false;
    }
    information.process_handle = pid;
    information.process_id = static_cast<std::uint32_t>(pid);
    return true;
}

bool IsProcessActive(ProcessInformation& information, std::uint32_t& exit_code) {
    const auto pid = static_cast<pid_t>(information.process_handle);
    int status = 0;
    pid_t result = 0;
    do {
        result = waitpid(pid, &status, WNOHANG);
    } while (result < 0 && errno == EINTR);
    if (result == 0) {
        return true;
    }
    // Ended (or no longer ours to wait for: then its exit code is unknown).
    exit_code = result == pid ? ExitCodeOf(status) : UINT32_MAX;
    information = {};
    return false;
}

void KillProcess(ProcessInformation& information) {
    const auto pid = static_cast<pid_t>(information.process_handle);
    if (pid <= 0) {
        return;
    }
    kill(pid, SIGKILL);
    const auto deadline = std::chrono::steady_clock::now() + kKillWait;
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    information = {};
}

} // namespace torvane
