// Torvane's command line: `Torvane [options] [service-name]`.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace torvane {

struct Options {
    std::string service_name; // empty: the default name
    std::string config_path;  // empty: the ini file beside the executable
    std::string log_path;     // empty: the log file beside the executable
};

struct CommandLine {
    enum class Action { Run, ShowHelp, ShowVersion, Fail } action = Action::Run;
    Options options;
    std::string message; // what is wrong with the command line, for Fail
};

// Takes the arguments after the program name.
CommandLine ParseCommandLine(const std::vector<std::string_view>& arguments);

std::string HelpText();

} // namespace torvane
