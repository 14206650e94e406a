// The built Linux service run as the system runs it, for the service tests and the fault
// suite: a directory of its own with the binary and its ini file, the log read back line by
// line, signals sent and the exit awaited (always bounded).
#pragma once

#include "tests/FileText.h"
#include "tests/RestartStamps.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace service_test {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

inline const std::string kStopBanner = "app: ------------------- session stop -------------------";

using testfiles::ReadAll;       // a file's whole content
using testfiles::RestartGapsMs; // restart gaps from a program's stamps
std::size_t Count(const std::vector<std::string>& lines, const std::string& line);
// The processes whose parent is the given one.
std::vector<pid_t> ChildrenOf(pid_t parent);
// False once the process has gone (a zombie counts as gone: it runs nothing).
bool Alive(pid_t pid);
// Waits (bounded) until the condition holds; its last value.
bool WaitUntil(const std::function<bool()>& condition,
               Clock::duration timeout = std::chrono::seconds(10));

struct Finished {
    int status = -1; // exit status, -1 when killed by a signal or not ended in time
    std::string out;
    std::string err;
};
// Runs a program to its end (at most ten seconds) with its output in files.
Finished RunToEnd(const std::vector<std::string>& arguments, const fs::path& scratch);

class ServiceRun {
public:
    ServiceRun();
    ~ServiceRun();
    ServiceRun(const ServiceRun&) = delete;
    ServiceRun& operator=(const ServiceRun&) = delete;

    void WriteIni(const std::string& text) const;

    // Starts the binary with the arguments; standard input from /dev/null, standard error
    // into stderr.txt. A shell prefix runs first in the shell that then becomes Torvane
    // (exec), to hand it descriptors or signal dispositions.
    void Start(std::vector<std::string> arguments = {"torvane_test"},
               const std::vector<std::string>& extra_environment = {},
               const std::string& shell_prefix = {});
    pid_t Pid() const { return pid_; }

    // The log's messages (stamps checked and removed).
    std::vector<std::string> Log() const;
    // Waits (bounded) until the log holds the line at least `times` times.
    bool WaitForLogLine(const std::string& line, std::size_t times = 1,
                        Clock::duration timeout = std::chrono::seconds(10)) const;

    // Waits (bounded) for the exit: its status, or nothing (then it has been killed).
    std::optional<int> WaitForExit(Clock::duration timeout = std::chrono::seconds(10));
    // Sends the signal and expects a clean exit (status 0) within ten seconds.
    void StopWith(int signal_number);

    fs::path dir;
    fs::path binary;
    fs::path log_path;

private:
    pid_t pid_ = 0;
};

// The start stamps, in ns of the steady clock.
std::vector<long long> StartStamps(const fs::path& stamps);

} // namespace service_test
