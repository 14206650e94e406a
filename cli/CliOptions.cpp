#include "cli/CliOptions.h"

#include "base/TextNumbers.h"
#include "version/ProjectVersion.h"

#include <map>

namespace velkor::cli {

namespace {

constexpr const char* kUsage =
    "Usage: velkor-cli [options] COMMAND [arguments]\n"
    "\n"
    "commands:\n"
    "  discover                      list the controllers that answer a discovery\n"
    "  get HOST ITEM...              read settings items (by number or name)\n"
    "  set HOST ITEM VALUE           write a settings item and read it back\n"
    "  send HOST COMMAND [ARGS]      a device command (beep, relay, text, ...)\n"
    "  backup HOST -o FILE           all readable items to a JSON file\n"
    "  restore HOST FILE             write what differs from a backup\n"
    "  watch HOST                    card reads, inputs and serial data as JSON lines\n"
    "\n"
    "With --hosts FILE or --all, HOST is left out and the command runs on many\n"
    "controllers, -j N at a time, one result line each.\n"
    "\n"
    "global options:\n"
    "  --port N          TCP port of controllers given without one (8080)\n"
    "  --udp-port N      the controllers' UDP port (3052)\n"
    "  --key TEXT        packet key (qzx)\n"
    "  --timeout SECONDS wait for an answer, a connection or discovery answers (3)\n"
    "  --verbose         traffic log lines on standard error\n"
    "  --json, --csv     machine-readable output\n"
    "  --hosts FILE      batch: controllers, one HOST[:PORT] a line\n"
    "  --all             batch: every controller a discovery finds\n"
    "  -j N              batch: controllers served at the same time (1)\n"
    "  --help            this text, or a command's own with COMMAND --help\n"
    "  --version         the program's version\n";

const std::map<std::string, std::string> kCommandHelp = {
    {"discover", "Usage: velkor-cli discover [--interface NAME | --broadcast ADDRESS] "
                 "[--timeout S] [--json | --csv]\n"
                 "Sends one discovery to every interface's directed broadcast and to "
                 "255.255.255.255,\nor to one interface, or to exactly --broadcast ADDRESS; "
                 "lists each controller once.\n"},
    {"get", "Usage: velkor-cli get HOST ITEM... [--hex] [--json]\n"
            "ITEM is a number or a name (network, language, db-wait-timeout, sector-keys, "
            "lockers,\nusart, auth-flags, debug-flags, relay-close-flags, relay-open-flags,\n"
            "relay-hold-flags, relay-open-time, no-network, lock-mode, ...) or 'all'.\n"},
    {"set", "Usage: velkor-cli set HOST ITEM VALUE\n"
            "VALUE: a number or name for one-value items; KEY=VALUE pairs changing the\n"
            "current value for records (network ip=10.0.0.5 tcp_port=8080); BLOCK:NAME,...\n"
            "for lockers; hex:BYTES for the raw value. The write follows the window's\n"
            "sequence for the item and the item is read back to confirm.\n"},
    {"send", "Usage: velkor-cli send HOST COMMAND [ARGS] [--volume N] [--hold MS]\n"
             "commands: beep, quack, text TEXT, relay N [MS], ap-on, ap-off,\n"
             "write-number BLOCK NUMBER, led LEVEL(1-8), sound-volume N(0-255), net-restart,\n"
             "reset oled-idle|rfid|oled|rfid-oled|net-restart|net-reset|net-reboot|mcu\n"},
    {"backup", "Usage: velkor-cli backup HOST -o FILE [--include-keys]\n"
               "Sector keys are left out unless --include-keys; a file with keys is "
               "readable by its owner only.\nIn a batch, -o names a folder.\n"},
    {"restore", "Usage: velkor-cli restore HOST FILE [--dry-run]\n"
                "Shows what differs, then writes only that (network record last).\n"},
    {"watch", "Usage: velkor-cli watch HOST [--for SECONDS]\n"
              "Stays connected with keep-alives and prints card reads, input states and\n"
              "serial data as JSON lines.\n"},
};

bool TakesValue(const std::string& option) {
    static const char* const kValued[] = {"--port",      "--udp-port",  "--key",    "--timeout",
                                          "--interface", "--broadcast", "-o",       "--hosts",
                                          "-j",          "--hold",      "--volume", "--for"};
    for (const char* valued : kValued) {
        if (option == valued) {
            return true;
        }
    }
    return false;
}

std::optional<double> ParseSeconds(const std::string& text) {
    const auto value = base::ParseReal(text);
    if (!value || *value < 0 || *value > 86400) {
        return std::nullopt;
    }
    return value;
}

} // namespace

std::optional<uint32_t> ParseUnsigned(const std::string& text, uint32_t max) {
    const auto value = base::ParseUnsigned(text, max, base::Radix::DecimalOrHex);
    if (!value) {
        return std::nullopt;
    }
    return static_cast<uint32_t>(*value);
}

std::optional<Target> ParseTarget(const std::string& text) {
    const std::size_t colon = text.rfind(':');
    Target target{text.substr(0, colon), 0};
    if (colon != std::string::npos) {
        const auto port = ParseUnsigned(text.substr(colon + 1), 65535);
        if (!port || *port == 0) {
            return std::nullopt;
        }
        target.Port = static_cast<uint16_t>(*port);
    }
    if (target.Host.empty()) {
        return std::nullopt;
    }
    return target;
}

ParseResult ParseCommandLine(const std::vector<std::string>& arguments) {
    ParseResult result;
    Options& options = result.Options;
    bool help = false;
    const auto fail = [&result](std::string text) {
        result.Status = ParseStatus::Error;
        result.Text = std::move(text);
        return result;
    };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string argument = arguments[i];
        std::string value;
        bool has_value = false;
        if (argument.rfind("--", 0) == 0 && argument.find('=') != std::string::npos) {
            value = argument.substr(argument.find('=') + 1);
            argument = argument.substr(0, argument.find('='));
            has_value = true;
        }
        if (TakesValue(argument) && !has_value) {
            if (i + 1 >= arguments.size()) {
                return fail(argument + " needs a value");
            }
            value = arguments[++i];
            has_value = true;
        }
        const auto number = [&](uint32_t low, uint32_t high) -> std::optional<uint32_t> {
            const auto parsed = ParseUnsigned(value, high);
            return parsed && *parsed >= low ? parsed : std::nullopt;
        };
        const auto bad = [&](const char* what) {
            return fail(argument + ": " + what + ", not \"" + value + "\"");
        };
        if (argument == "--help" || argument == "-h") {
            help = true;
        } else if (argument == "--version") {
            result.Status = ParseStatus::Version;
            result.Text = std::string("velkor-cli ") + kProjectVersion + "\n";
            return result;
        } else if (argument == "--port" || argument == "--udp-port") {
            const auto port = number(1, 65535);
            if (!port) {
                return bad("a port is 1 to 65535");
            }
            (argument == "--port" ? options.Port : options.UdpPort) = static_cast<uint16_t>(*port);
        } else if (argument == "--key") {
            options.Key = value;
        } else if (argument == "--timeout" || argument == "--for") {
            const auto seconds = ParseSeconds(value);
            if (!seconds || (argument == "--timeout" && *seconds < 0.001)) {
                return bad("a number of seconds is wanted");
            }
            if (argument == "--timeout") {
                options.TimeoutMs = static_cast<unsigned>(*seconds * 1000);
            } else {
                options.ForSeconds = *seconds;
            }
        } else if (argument == "--verbose" || argument == "-v") {
            options.Verbose = true;
        } else if (argument == "--json") {
            options.Json = true;
        } else if (argument == "--csv") {
            options.Csv = true;
        } else if (argument == "--hex") {
            options.Hex = true;
        } else if (argument == "--interface") {
            options.Interface = value;
        } else if (argument == "--broadcast") {
            options.Broadcast = value;
        } else if (argument == "-o") {
            options.Output = value;
        } else if (argument == "--dry-run") {
            options.DryRun = true;
        } else if (argument == "--include-keys") {
            options.IncludeKeys = true;
        } else if (argument == "--hosts") {
            options.HostsFile = value;
        } else if (argument == "--all") {
            options.All = true;
        } else if (argument == "-j") {
            const auto jobs = number(1, 1024);
            if (!jobs) {
                return bad("1 to 1024 sessions");
            }
            options.Jobs = *jobs;
        } else if (argument == "--hold") {
            const auto hold = number(0, 65535);
            if (!hold) {
                return bad("0 to 65535 ms");
            }
            options.HoldMs = *hold;
        } else if (argument == "--volume") {
            const auto volume = number(0, 255);
            if (!volume) {
                return bad("0 to 255");
            }
            options.Volume = static_cast<uint8_t>(*volume);
        } else if (argument.size() > 1 && argument[0] == '-' && options.Command != "set" &&
                   options.Command != "send") {
            return fail("unknown option " + argument + " (see --help)");
        } else if (options.Command.empty()) {
            options.Command = argument;
        } else {
            options.Arguments.push_back(argument);
        }
    }
    if (help || options.Command.empty()) {
        const auto found = kCommandHelp.find(options.Command);
        result.Status = help ? ParseStatus::Help : ParseStatus::Error;
        result.Text = found != kCommandHelp.end() ? found->second : kUsage;
        return result;
    }
    if (kCommandHelp.count(options.Command) == 0) {
        return fail("unknown command \"" + options.Command + "\" (see --help)");
    }
    if (!options.Interface.empty() && !options.Broadcast.empty()) {
        return fail("--interface and --broadcast exclude each other");
    }
    if (options.All && !options.HostsFile.empty()) {
        return fail("--all and --hosts exclude each other");
    }
    return result;
}

} // namespace velkor::cli
