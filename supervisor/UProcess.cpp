#include "supervisor/UProcess.h"
#include "supervisor/Platform.h"

namespace torvane {

std::vector<std::string> SplitCommandLine(std::string_view command_line) {
    std::vector<std::string> arguments;
    std::string current;
    bool in_argument = false;
    bool quoted = false;
    for (const char c : command_line) {
        if (c == '"') {
            quoted = !quoted;
            in_argument = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (in_argument) {
                arguments.push_back(std::move(current));
                current.clear();
                in_argument = false;
            }
        } else {
            current += c;
            in_argument = true;
        }
    }
    if (in_argument) {
        arguments.push_back(std::move(current));
    }
    return arguments;
}

FileKind SystemProcesses::ProbeFile(const std::string& path) {
    return torvane::ProbeFile(path);
}

bool SystemProcesses::StartProcess(const std::string& executable, const std::string& command_line,
                                   const std::string& stdout_target,
                                   const std::string& stderr_target,
                                   ProcessInformation& information, unsigned long& error) {
    return torvane::StartProcess(executable, command_line, stdout_target, stderr_target,
                                 information, error);
}

bool SystemProcesses::IsProcessActive(ProcessInformation& information, std::uint32_t& exit_code) {
    return torvane::IsProcessActive(information, exit_code);
}

void SystemProcesses::RequestEnd(const ProcessInformation& information, EndRequest request) {
    torvane::RequestEnd(information, request);
}

void SystemProcesses::KillProcess(ProcessInformation& information) {
    torvane::KillProcess(information);
}

void SystemProcesses::WatchProcessEnds(std::function<void()> on_end) {
    torvane::WatchProcessEnds(std::move(on_end));
}

std::vector<std::uint32_t> SystemProcesses::TakeEndedProcessIds() {
    return torvane::TakeEndedProcessIds();
}

void SystemProcesses::FinishStop() {
    torvane::FinishStop();
}

std::string SystemProcesses::DescribeError(unsigned long code) {
    return platform::DescribeError(code);
}

} // namespace torvane
