#include "supervisor/UProcess.h"

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

} // namespace torvane
