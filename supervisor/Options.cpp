#include "supervisor/Options.h"

#include <filesystem>
#include <optional>

namespace torvane {
namespace {

// The options that take a value, and where the value goes.
struct ValueOption {
    std::string_view name;
    std::string Options::*field;
};

constexpr ValueOption kValueOptions[] = {
    {"--config", &Options::config_path},
    {"--log", &Options::log_path},
};

// Paths are kept absolute, so that the log names them as the service sees them.
std::string AbsolutePath(std::string_view path) {
    std::error_code error;
    const auto absolute = std::filesystem::absolute(std::filesystem::path(path), error);
    return error ? std::string(path) : absolute.string();
}

CommandLine Fail(std::string message) {
    CommandLine result;
    result.action = CommandLine::Action::Fail;
    result.message = std::move(message);
    return result;
}

} // namespace

std::string HelpText() {
    return "Usage: Torvane [options] [service-name]\n"
           "Starts the programs listed in the ini file, starts again those that end and\n"
           "stops them all when the service stops. The service name defaults to\n"
           "ovra_global.\n"
           "\n"
           "Options:\n"
           "  --config PATH  the program list (default: the executable's path with the\n"
           "                 extension .ini)\n"
           "  --log PATH     the log file (default: the executable's path with the\n"
           "                 extension .log)\n"
           "  --help         this text\n"
           "  --version      the version\n"
           "\n"
           "Ini lines: executable [arguments] [> standard-error-file]\n";
}

CommandLine ParseCommandLine(const std::vector<std::string_view>& arguments) {
    CommandLine result;
    bool options_ended = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (options_ended || argument.empty() || argument.front() != '-') {
            if (!result.options.service_name.empty()) {
                return Fail("unexpected argument: " + std::string(argument) +
                            " (the service name is " + result.options.service_name + ")");
            }
            result.options.service_name = argument;
            continue;
        }
        if (argument == "--") {
            options_ended = true;
            continue;
        }
        if (argument == "--help" || argument == "-h") {
            result.action = CommandLine::Action::ShowHelp;
            return result;
        }
        if (argument == "--version") {
            result.action = CommandLine::Action::ShowVersion;
            return result;
        }
        // "--name value" or "--name=value".
        const auto equals = argument.find('=');
        const std::string_view name = argument.substr(0, equals);
        std::optional<std::string_view> value;
        if (equals != std::string_view::npos) {
            value = argument.substr(equals + 1);
        } else if (i + 1 < arguments.size()) {
            value = arguments[i + 1];
        }
        bool known = false;
        for (const auto& option : kValueOptions) {
            if (option.name != name) {
                continue;
            }
            if (!value || value->empty()) {
                return Fail(std::string(name) + " needs a value");
            }
            result.options.*option.field = AbsolutePath(*value);
            i += equals == std::string_view::npos ? 1 : 0;
            known = true;
        }
        if (!known) {
            return Fail("unknown option: " + std::string(argument));
        }
    }
    return result;
}

} // namespace torvane
