#include "tools/SimOptions.h"

#include "base/IPv4Text.h"
#include "base/TextNumbers.h"

#include "tools/ControlCommands.h"
#include "tools/SimIdentity.h"

namespace sim {
namespace {

bool Number(const std::string& text, unsigned long long max, unsigned long long* value) {
    const auto number = base::ParseUnsigned(text, max);
    *value = number.value_or(0);
    return number.has_value();
}

bool TakesValue(const std::string& name) {
    for (const char* option :
         {"--count", "--first-address", "--address", "--tcp-port", "--udp-port", "--keepalive",
          "--jitter", "--key", "--state", "--record", "--record-limit", "--max-connections",
          "--control-port"}) {
        if (name == option) {
            return true;
        }
    }
    return false;
}

} // namespace

std::string ProgramHelp() {
    return "Usage: controller-sim [options]\n"
           "Simulates a fleet of networked RFID reader controllers with real sockets.\n"
           "\n"
           "Options:\n"
           "  --count N            number of controllers (default 1)\n"
           "  --first-address A    address of the first controller; the others follow,\n"
           "                       skipping .0 and .255 (default 127.0.0.2)\n"
           "  --address A          one controller at this address; repeat for more\n"
           "                       (replaces --count and --first-address)\n"
           "  --tcp-port P         TCP port of every controller (default 8080; 0: a free\n"
           "                       port each, reported in the discovery answer)\n"
           "  --udp-port P         shared UDP port (default 3052; 0: a free port)\n"
           "  --keepalive MS       send keep-alives (command 6) every MS milliseconds on\n"
           "                       every open connection (default 0: off)\n"
           "  --jitter MS          spread answers to broadcasts over MS milliseconds\n"
           "  --encipher           encipher outgoing data fields with the packet cipher\n"
           "  --key K              cipher key (default qzx)\n"
           "  --state FILE         keep written settings in FILE across restarts\n"
           "  --record FILE        append every received packet to FILE as JSON lines\n"
           "                       (- for standard output)\n"
           "  --record-limit N     received packets kept per controller (default 4096)\n"
           "  --max-connections N  TCP connections per controller (default 8)\n"
           "  --control-port P     accept control commands on 127.0.0.1:P\n"
           "  --no-stdin           do not read control commands from standard input\n"
           "  --help               this text\n"
           "  --version            the program's version\n"
           "\n"
           "On loopback, 127.0.0.0/8 needs no set-up and 127.255.255.255 reaches the whole\n"
           "fleet. A loopback fleet answers loopback senders only. Stop with quit, Ctrl+C or\n"
           "SIGTERM.\n"
           "\n" +
           ControlCommandHelp();
}

bool ParseProgramOptions(const std::vector<std::string>& args, ProgramOptions* options,
                         std::string* error) {
    FleetOptions& fleet = options->fleet;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        auto flag = [&](const char* wanted) { return name == wanted; };
        if (flag("--help") || flag("-h")) {
            options->help = true;
            continue;
        }
        if (flag("--version")) {
            options->version = true;
            continue;
        }
        if (flag("--encipher")) {
            fleet.encipher = true;
            continue;
        }
        if (flag("--no-stdin")) {
            options->read_stdin = false;
            continue;
        }
        if (!TakesValue(name)) {
            *error = "unknown option: " + name;
            return false;
        }
        if (i + 1 >= args.size()) {
            *error = name + " needs a value";
            return false;
        }
        const std::string& value = args[++i];
        unsigned long long number = 0;
        auto bad = [&] {
            *error = "bad value for " + name + ": " + value;
            return false;
        };
        if (flag("--count")) {
            if (!Number(value, 65000, &number) || number == 0) {
                return bad();
            }
            fleet.count = number;
        } else if (flag("--first-address")) {
            if (!base::ParseIPv4HostOrder(value)) {
                return bad();
            }
            fleet.first_address = value;
        } else if (flag("--address")) {
            if (!base::ParseIPv4HostOrder(value)) {
                return bad();
            }
            fleet.addresses.push_back(value);
        } else if (flag("--tcp-port") || flag("--udp-port") || flag("--control-port")) {
            if (!Number(value, 65535, &number)) {
                return bad();
            }
            const auto port = static_cast<uint16_t>(number);
            (flag("--tcp-port")   ? fleet.tcp_port
             : flag("--udp-port") ? fleet.udp_port
                                  : options->control_port) = port;
        } else if (flag("--keepalive") || flag("--jitter")) {
            if (!Number(value, 86400000, &number)) {
                return bad();
            }
            (flag("--keepalive") ? fleet.keep_alive_interval : fleet.discovery_jitter) =
                std::chrono::milliseconds(number);
        } else if (flag("--key")) {
            if (value.empty()) {
                return bad();
            }
            fleet.key = value;
        } else if (flag("--state")) {
            fleet.state_file = value;
        } else if (flag("--record")) {
            options->record_path = value;
        } else if (flag("--record-limit") || flag("--max-connections")) {
            if (!Number(value, 1000000, &number) || number == 0) {
                return bad();
            }
            (flag("--record-limit") ? fleet.record_limit : fleet.max_connections) = number;
        }
    }
    return true;
}

} // namespace sim
