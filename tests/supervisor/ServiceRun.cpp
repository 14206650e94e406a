#include "ServiceRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <random>
#include <regex>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace service_test {
namespace {

using namespace std::chrono_literals;

// argv or envp for posix_spawn over strings that outlive the call.
std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (auto& text : texts) {
        pointers.push_back(text.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

// Waits for the child (bounded); kills it when it overstays.
std::optional<int> AwaitExit(pid_t pid, Clock::duration timeout) {
    const auto deadline = Clock::now() + timeout;
    int status = 0;
    pid_t result = 0;
    while ((result = waitpid(pid, &status, WNOHANG)) == 0 && Clock::now() < deadline) {
        std::this_thread::sleep_for(2ms);
    }
    if (result != pid) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        return std::nullopt;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

std::size_t Count(const std::vector<std::string>& lines, const std::string& line) {
    return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), line));
}

std::vector<pid_t> ChildrenOf(pid_t parent) {
    std::vector<pid_t> children;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/proc", error)) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        const std::string stat = ReadAll(entry.path() / "stat");
        const auto after_name = stat.rfind(')');
        if (after_name == std::string::npos) {
            continue;
        }
        std::istringstream fields(stat.substr(after_name + 2));
        char state = 0;
        pid_t ppid = 0;
        fields >> state >> ppid;
        if (ppid == parent) {
            children.push_back(static_cast<pid_t>(std::stoi(name)));
        }
    }
    return children;
}

bool Alive(pid_t pid) {
    const std::string stat = ReadAll("/proc/" + std::to_string(pid) + "/stat");
    const auto after_name = stat.rfind(") ");
    return after_name != std::string::npos && stat[after_name + 2] != 'Z';
}

bool WaitUntil(const std::function<bool()>& condition, Clock::duration timeout) {
    const auto deadline = Clock::now() + timeout;
    while (!condition()) {
        if (Clock::now() > deadline) {
            return condition();
        }
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

Finished RunToEnd(const std::vector<std::string>& arguments, const fs::path& scratch) {
    const fs::path out = scratch / "run-out.txt";
    const fs::path err = scratch / "run-err.txt";
    std::vector<std::string> texts = arguments;
    std::vector<char*> argv = Pointers(texts);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    const int error = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    Finished finished;
    if (error == 0) {
        finished.status = AwaitExit(pid, 10s).value_or(-1);
    }
    finished.out = ReadAll(out);
    finished.err = ReadAll(err);
    return finished;
}

ServiceRun::ServiceRun()
    : dir(fs::temp_directory_path() /
          ("torvane_service_test_" + std::to_string(std::random_device{}()))),
      binary(dir / "Torvane"), log_path(dir / "Torvane.log") {
    fs::create_directories(dir);
    fs::copy_file(TORVANE_BINARY, binary);
}

ServiceRun::~ServiceRun() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    fs::remove_all(dir);
}

void ServiceRun::WriteIni(const std::string& text) const {
    std::ofstream(dir / "Torvane.ini", std::ios::binary) << text;
}

void ServiceRun::Start(std::vector<std::string> arguments,
                       const std::vector<std::string>& extra_environment,
                       const std::string& shell_prefix) {
    std::vector<std::string> environment_text(extra_environment);
    for (char** entry = environ; *entry != nullptr; ++entry) {
        if (std::string_view(*entry).rfind("NOTIFY_SOCKET=", 0) != 0) {
            environment_text.emplace_back(*entry);
        }
    }
    std::vector<std::string> command{binary.string()};
    if (!shell_prefix.empty()) {
        command = {"/bin/sh", "-c", shell_prefix + "; exec \"$0\" \"$@\"", binary.string()};
    }
    command.insert(command.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv = Pointers(command);
    std::vector<char*> environment = Pointers(environment_text);
    const std::string errors = (dir / "stderr.txt").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                     0644);
    ASSERT_EQ(posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environment.data()), 0);
    posix_spawn_file_actions_destroy(&actions);
}

std::vector<std::string> ServiceRun::Log() const {
    static const std::regex stamped(R"(\[\d\d\.\d\d\.\d{4} \d\d:\d\d:\d\d\] (.*)\r)");
    std::vector<std::string> messages;
    std::istringstream text(ReadAll(log_path));
    for (std::string line; std::getline(text, line);) {
        std::smatch match;
        EXPECT_TRUE(std::regex_match(line, match, stamped)) << line;
        messages.push_back(match[1]);
    }
    return messages;
}

bool ServiceRun::WaitForLogLine(const std::string& line, std::size_t times,
                                Clock::duration timeout) const {
    return WaitUntil([&] { return Count(Log(), line) >= times; }, timeout);
}

std::optional<int> ServiceRun::WaitForExit(Clock::duration timeout) {
    const auto status = AwaitExit(pid_, timeout);
    pid_ = 0;
    return status;
}

void ServiceRun::StopWith(int signal_number) {
    ASSERT_EQ(kill(pid_, signal_number), 0);
    const auto status = WaitForExit();
    ASSERT_TRUE(status.has_value()) << "the service did not stop within 10 s";
    EXPECT_EQ(*status, 0);
}

std::vector<long long> StartStamps(const fs::path& stamps) {
    std::istringstream text(ReadAll(stamps));
    std::vector<long long> starts;
    char kind = 0;
    long long ns = 0;
    while (text >> kind >> ns) {
        if (kind == 'S') {
            starts.push_back(ns);
        }
    }
    return starts;
}

} // namespace service_test
