#include "ui/main/CommandLine.h"

#include "base/TextNumbers.h"
#include "net/UKVTSocket.h"
#include "session/DiscoveryTargets.h"
#include "ui/main/TrafficLogFile.h"
#include "version/ProjectVersion.h"

#include <map>

namespace velkor {

namespace {

std::string HelpText(const std::string& program) {
    return "Usage: " + program +
           " [--broadcast ADDRESS | --interface NAME] [--log-file PATH] [options]\n"
           "RFID Reader Configurator: finds the controllers on the LAN and configures them.\n"
           "\n"
           "Options:\n"
           "  --broadcast ADDRESS  send discovery and untargeted UDP commands to ADDRESS\n"
           "                       only (default: every interface, see --interface)\n"
           "  --interface NAME     send them to the directed broadcast of one interface,\n"
           "                       by its name or IPv4 address, or \"all\": 255.255.255.255\n"
           "                       and every interface that is up (the default is the\n"
           "                       choice made in the window last time)\n"
           "  --log-file PATH      append every traffic-log line to PATH (UTF-8), with\n"
           "                       timestamps and sent packets unless told otherwise\n"
           "  --log-file-max SIZE  start a new file past SIZE bytes (suffix K or M; the\n"
           "                       old one is kept as PATH.1); default 16M, at least 4K\n"
           "  --timestamps, --no-timestamps\n"
           "                       millisecond timestamps in the log and its file\n"
           "  --log-sent, --no-log-sent\n"
           "                       a line for every packet sent, in the log and its file\n"
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

// "4096", "512K", "16M".
std::optional<uint64_t> ParseSize(std::string_view text) {
    uint64_t unit = 1;
    if (!text.empty() && (text.back() == 'K' || text.back() == 'k')) {
        unit = 1024;
    } else if (!text.empty() && (text.back() == 'M' || text.back() == 'm')) {
        unit = 1024 * 1024;
    }
    const std::string_view digits = unit == 1 ? text : text.substr(0, text.size() - 1);
    const auto value = base::ParseUnsigned(digits, UINT64_MAX / unit);
    if (!value) {
        return std::nullopt;
    }
    return *value * unit;
}

// Options that switch one setting on or off.
const std::map<std::string_view, std::pair<std::optional<bool> VelkorOptions::*, bool>> kSwitches =
    {
        {"--timestamps", {&VelkorOptions::LogTimestamps, true}},
        {"--no-timestamps", {&VelkorOptions::LogTimestamps, false}},
        {"--log-sent", {&VelkorOptions::LogSent, true}},
        {"--no-log-sent", {&VelkorOptions::LogSent, false}},
};

// Applies one option that takes a value; the failure message, or nothing.
std::optional<std::string> ApplyValue(std::string_view name, const std::string& value,
                                      VelkorOptions& options) {
    if (name == "--broadcast") {
        if (!KVT_ParseIPv4NetworkOrder(value)) {
            return "not an IPv4 address: " + value;
        }
        options.BroadcastAddress = value;
    } else if (name == "--interface") {
        if (value.empty()) {
            return std::string("the interface name is empty");
        }
        options.Interface = value;
    } else if (name == "--log-file") {
        if (value.empty()) {
            return std::string("the log file name is empty");
        }
        options.LogFile = value;
    } else {
        const std::optional<uint64_t> size = ParseSize(value);
        if (!size || *size < TrafficLogFile::kSmallestMaxBytes) {
            return "not a log file size of at least 4K: " + value;
        }
        options.LogFileMaxBytes = *size;
    }
    return std::nullopt;
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
        const auto switched = kSwitches.find(name);
        const bool is_flag =
            name == "-h" || name == "--help" || name == "--version" || switched != kSwitches.end();
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
        if (switched != kSwitches.end()) {
            result.options.*(switched->second.first) = switched->second.second;
            continue;
        }
        if (name != "--broadcast" && name != "--interface" && name != "--log-file" &&
            name != "--log-file-max") {
            return Failure(name.substr(0, 1) == "-" ? "unknown option: " + std::string(name)
                                                    : "unexpected argument: " + std::string(name));
        }
        if (!inline_value && i + 1 == arguments.size()) {
            return Failure(std::string(name) + " needs a value");
        }
        const std::string value = inline_value ? *inline_value : arguments[++i];
        if (const auto failure = ApplyValue(name, value, result.options)) {
            return Failure(*failure);
        }
    }
    if (result.options.BroadcastAddress && result.options.Interface) {
        return Failure("--broadcast and --interface exclude each other");
    }
    return result;
}

std::optional<std::string> CheckInterfaceOption(const VelkorOptions& options) {
    if (!options.Interface || *options.Interface == "all") {
        return std::nullopt;
    }
    std::string error;
    if (!DiscoveryTargets({DiscoveryScope::Kind::OneInterface, *options.Interface}, &error)) {
        return error;
    }
    return std::nullopt;
}

} // namespace velkor
