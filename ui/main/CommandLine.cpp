#include "ui/main/CommandLine.h"

#include "net/UKVTSocket.h"
#include "version/ProjectVersion.h"

#include <optional>

namespace velkor {

namespace {

constexpr std::string_view kBroadcastOption = "--broadcast";
constexpr std::string_view kLogFileOption = "--log-file";

std::string HelpText(const std::string& program) {
    return "Usage: " + program +
           " [--broadcast ADDRESS] [--log-file PATH]\n"
           "RFID Reader Configurator: finds the controllers on the LAN and configures them.\n"
           "\n"
           "Options:\n"
           "  --broadcast ADDRESS  send discovery and untargeted UDP commands to ADDRESS\n"
           "                       (default 255.255.255.255)\n"
           "  --log-file PATH      append every traffic-log line to PATH (UTF-8)\n"
           "  -h, --help           show this help and exit\n"
           "  --version            show the version and exit\n";
}

CommandLineResult Failure(std::string message) {
    CommandLineResult result;
    result.action = CommandLineResult::Action::Fail;
    result.message = std::move(message);
    return result;
}

// Splits "--name=value" into its two parts; a plain argument has no value.
std::pair<std::string_view, std::optional<std::string>> SplitOption(std::string_view argument) {
    const std::size_t equals = argument.find('=');
    if (argument.substr(0, 2) != "--" || equals == std::string_view::npos) {
        return {argument, std::nullopt};
    }
    return {argument.substr(0, equals), std::string(argument.substr(equals + 1))};
}

} // namespace

std::string ProgramFileName(std::string_view path) {
    const std::size_t slash = path.find_last_of("/\\");
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    return name.empty() ? std::string("Velkor") : std::string(name);
}

std::string VersionLine() {
    return std::string("Velkor ") + kProjectVersion;
}

std::string AboutText() {
    return "RFID Reader Configurator\n" + VersionLine() +
           "\n\nFinds networked RFID reader controllers and configures them.";
}

CommandLineResult ParseCommandLine(const std::vector<std::string>& arguments) {
    const std::string program = ProgramFileName(arguments.empty() ? "" : arguments.front());
    CommandLineResult result;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const auto [name, inline_value] = SplitOption(arguments[i]);
        const bool is_flag = name == "-h" || name == "--help" || name == "--version";
        if (is_flag && inline_value) {
            return Failure(std::string(name) + " takes no value");
        }
        if (name == "-h" || name == "--help") {
            result.action = CommandLineResult::Action::ShowHelp;
            result.message = HelpText(program);
            return result;
        }
        if (name == "--version") {
            result.action = CommandLineResult::Action::ShowVersion;
            result.message = VersionLine() + "\n";
            return result;
        }
        if (name != kBroadcastOption && name != kLogFileOption) {
            return Failure(name.substr(0, 1) == "-" ? "unknown option: " + std::string(name)
                                                    : "unexpected argument: " + std::string(name));
        }
        if (!inline_value && i + 1 == arguments.size()) {
            return Failure(std::string(name) + " needs a value");
        }
        const std::string value = inline_value ? *inline_value : arguments[++i];
        if (name == kBroadcastOption) {
            if (!KVT_ParseIPv4(value)) {
                return Failure("not an IPv4 address: " + value);
            }
            result.options.BroadcastAddress = value;
        } else {
            if (value.empty()) {
                return Failure("the log file name is empty");
            }
            result.options.LogFile = value;
        }
    }
    return result;
}

} // namespace velkor
