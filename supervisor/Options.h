// Torvane's command line: `Torvane [options] [service-name]`, and on Windows
// `Torvane install [options] [service-name]` / `Torvane uninstall [service-name]`.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace torvane {

struct Options {
    std::string service_name; // empty: the default name
    std::string config_path;  // empty: the ini file beside the executable
    std::string log_path;     // empty: the log file beside the executable
    // Largest crash-loop delay; 0: programs are started again without back-off.
    std::chrono::milliseconds backoff_max{0};
    // How long programs may take to end when asked; 0: they are terminated at once.
    std::chrono::milliseconds stop_grace{0};
    // Size past which the log is rotated; 0: it only grows.
    std::uint64_t log_max_size = 0;
    unsigned log_keep = 3; // old logs kept by the rotation
};

struct CommandLine {
    enum class Action { Run, Install, Uninstall, ShowHelp, ShowVersion, Fail };
    Action action = Action::Run;
    Options options;
    std::string message; // what is wrong with the command line, for Fail
};

// Takes the arguments after the program name.
CommandLine ParseCommandLine(const std::vector<std::string_view>& arguments);

std::string HelpText();

// The arguments that run the service with these options (what `install` registers).
std::vector<std::string> ServiceArguments(const Options& options);

// One command line that a Windows program splits back into these arguments.
std::string JoinCommandLine(const std::vector<std::string>& arguments);

} // namespace torvane
