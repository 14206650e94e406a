#include "supervisor/Options.h"

#include "base/TextNumbers.h"

#include <cmath>
#include <filesystem>
#include <optional>

namespace torvane {
namespace {

using std::chrono::milliseconds;

// Paths are kept absolute, so that the log names them as the service sees them.
std::string AbsolutePath(std::string_view path) {
    std::error_code error;
    const auto absolute = std::filesystem::absolute(std::filesystem::path(path), error);
    return error ? std::string(path) : absolute.string();
}

// Seconds, with a fraction if wanted, from 0 up to max_seconds.
std::optional<milliseconds> ParseSeconds(std::string_view text, double max_seconds) {
    const auto seconds = base::ParseReal(text);
    if (!seconds || *seconds < 0 || *seconds > max_seconds) {
        return std::nullopt;
    }
    return milliseconds(std::llround(*seconds * 1000));
}

std::string SecondsText(milliseconds duration) {
    std::string text = std::to_string(duration.count() / 1000);
    if (const auto fraction = duration.count() % 1000; fraction != 0) {
        std::string digits = std::to_string(1000 + fraction).substr(1);
        digits.erase(digits.find_last_not_of('0') + 1);
        text += '.';
        text += digits;
    }
    return text;
}

// The options that take a value: how each takes it (false for a value out of its range).
struct ValueOption {
    std::string_view name;
    bool (*apply)(std::string_view value, Options& options);
};

constexpr double kMaxBackoffSeconds = 24 * 3600;
constexpr double kMaxGraceSeconds = 3600;
constexpr std::uint64_t kMinLogSize = 4096;
constexpr unsigned kMaxLogKeep = 1000;

constexpr ValueOption kValueOptions[] = {
    {"--config",
     [](std::string_view value, Options& options) {
         options.config_path = AbsolutePath(value);
         return true;
     }},
    {"--log",
     [](std::string_view value, Options& options) {
         options.log_path = AbsolutePath(value);
         return true;
     }},
    {"--backoff",
     [](std::string_view value, Options& options) {
         const auto seconds = ParseSeconds(value, kMaxBackoffSeconds);
         options.backoff_max = seconds.value_or(milliseconds(0));
         return seconds.has_value();
     }},
    {"--stop-grace",
     [](std::string_view value, Options& options) {
         const auto seconds = ParseSeconds(value, kMaxGraceSeconds);
         options.stop_grace = seconds.value_or(milliseconds(0));
         return seconds.has_value();
     }},
    {"--log-max-size",
     [](std::string_view value, Options& options) {
         options.log_max_size = base::ParseUnsigned(value, UINT64_MAX).value_or(0);
         return options.log_max_size >= kMinLogSize;
     }},
    {"--log-keep",
     [](std::string_view value, Options& options) {
         const auto keep = base::ParseUnsigned(value, kMaxLogKeep);
         options.log_keep = static_cast<unsigned>(keep.value_or(0));
         return keep.has_value();
     }},
};

CommandLine Fail(std::string message) {
    CommandLine result;
    result.action = CommandLine::Action::Fail;
    result.message = std::move(message);
    return result;
}

} // namespace

std::string HelpText() {
    return "Usage: Torvane [options] [service-name]\n"
           "       Torvane install [options] [service-name]   (Windows)\n"
           "       Torvane uninstall [service-name]           (Windows)\n"
           "Starts the programs listed in the ini file, starts again those that end and\n"
           "stops them all when the service stops. The service name defaults to\n"
           "ovra_global. install registers the service with these options (automatic\n"
           "start); uninstall stops and removes it.\n"
           "\n"
           "Options:\n"
           "  --config PATH          the program list (default: the executable's path with\n"
           "                         the extension .ini)\n"
           "  --log PATH             the log file (default: the executable's path with the\n"
           "                         extension .log)\n"
           "  --backoff SECONDS      delay a program that keeps ending within 10 s of its\n"
           "                         start: 0.2 s, doubling up to SECONDS (default: off)\n"
           "  --stop-grace SECONDS   on stop and reload, ask programs to end and terminate\n"
           "                         only those still running after SECONDS (default: 0,\n"
           "                         terminate at once)\n"
           "  --log-max-size BYTES   rotate the log to .1, .2 ... before it passes BYTES\n"
           "                         (at least 4096; default: it only grows)\n"
           "  --log-keep N           old logs kept by the rotation (default 3)\n"
           "  --help                 this text\n"
           "  --version              the version\n"
           "\n"
           "Ini lines: executable [arguments] [> standard-error-file]\n"
           "           \"path with blanks\" [arguments] [> standard-error-file]\n"
           "SIGHUP (Windows: the parameter-change control) reads the ini file again.\n";
}

CommandLine ParseCommandLine(const std::vector<std::string_view>& arguments) {
    CommandLine result;
    std::size_t first = 0;
    if (!arguments.empty() && (arguments[0] == "install" || arguments[0] == "uninstall")) {
        result.action = arguments[0] == "install" ? CommandLine::Action::Install
                                                  : CommandLine::Action::Uninstall;
        first = 1;
    }
    bool options_ended = false;
    bool log_keep_given = false;
    for (std::size_t i = first; i < arguments.size(); ++i) {
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
        const ValueOption* option = nullptr;
        for (const auto& candidate : kValueOptions) {
            option = candidate.name == name ? &candidate : option;
        }
        if (option == nullptr) {
            return Fail("unknown option: " + std::string(argument));
        }
        if (!value || value->empty()) {
            return Fail(std::string(name) + " needs a value");
        }
        if (!option->apply(*value, result.options)) {
            return Fail("bad value for " + std::string(name) + ": " + std::string(*value));
        }
        log_keep_given = log_keep_given || name == "--log-keep";
        i += equals == std::string_view::npos ? 1 : 0;
    }
    if (log_keep_given && result.options.log_max_size == 0) {
        return Fail("--log-keep goes with --log-max-size");
    }
    if (result.action == CommandLine::Action::Uninstall &&
        (!result.options.config_path.empty() || !result.options.log_path.empty() ||
         result.options.backoff_max.count() != 0 || result.options.stop_grace.count() != 0 ||
         result.options.log_max_size != 0)) {
        return Fail("uninstall takes only the service name");
    }
    return result;
}

std::vector<std::string> ServiceArguments(const Options& options) {
    std::vector<std::string> arguments;
    const auto add = [&](std::string name, std::string value) {
        arguments.push_back(std::move(name));
        arguments.push_back(std::move(value));
    };
    if (!options.config_path.empty()) {
        add("--config", options.config_path);
    }
    if (!options.log_path.empty()) {
        add("--log", options.log_path);
    }
    if (options.backoff_max.count() > 0) {
        add("--backoff", SecondsText(options.backoff_max));
    }
    if (options.stop_grace.count() > 0) {
        add("--stop-grace", SecondsText(options.stop_grace));
    }
    if (options.log_max_size > 0) {
        add("--log-max-size", std::to_string(options.log_max_size));
        add("--log-keep", std::to_string(options.log_keep));
    }
    if (!options.service_name.empty()) {
        arguments.push_back("--");
        arguments.push_back(options.service_name);
    }
    return arguments;
}

std::string JoinCommandLine(const std::vector<std::string>& arguments) {
    std::string line;
    for (const auto& argument : arguments) {
        if (!line.empty()) {
            line += ' ';
        }
        if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) {
            line += argument;
            continue;
        }
        // Quoted: backslashes before a quote (or the closing quote) are doubled, quotes escaped.
        line += '"';
        std::size_t backslashes = 0;
        for (const char c : argument) {
            if (c == '\\') {
                ++backslashes;
                continue;
            }
            line.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
            backslashes = 0;
            line += c;
        }
        line.append(backslashes * 2, '\\');
        line += '"';
    }
    return line;
}

} // namespace torvane
