#include "tools/ControlCommands.h"
#include "base/TextNumbers.h"

#include <sstream>
#include <vector>

#include "protocol/eproto.h"

namespace sim {
namespace {

constexpr const char* kHelp =
    "Control commands (one per line; <ctl> is a controller index, its address or * for all):\n"
    "  list                          one line per controller: index address mac tcp-port\n"
    "  card <ctl> <hex> [flags] [code]  send a card read (command 3) with these data\n"
    "  input <ctl> <states>          set the input states and send them (command 22)\n"
    "  usart <ctl> <hex>             send serial data (command 39)\n"
    "  paneloff <ctl>                send card-panel-off (command 1)\n"
    "  keepalive <ctl>               send a keep-alive (command 6) now\n"
    "  interval <ms>                 keep-alive interval for every controller; 0 stops them\n"
    "  get <ctl> <item>              print a settings item as hex\n"
    "  set <ctl> <item> <hex>        write a settings item\n"
    "  received <ctl>                print what the controller received, as JSON lines\n"
    "  clear <ctl>                   forget what the controller received\n"
    "  help                          this text\n"
    "  quit                          stop the simulator\n"
    "Numbers may be decimal or 0x-prefixed hex; hex data hold 1 to 135 bytes.\n"
    "Sends report how many connections took them.\n";

bool ParseNumber(const std::string& text, unsigned long long max, unsigned long long* value) {
    const auto number = base::ParseUnsigned(text, max, base::Radix::DecimalOrHex);
    *value = number.value_or(0);
    return number.has_value();
}

bool ParseHex(const std::string& text, std::string* bytes) {
    *bytes = velkor::eproto_hex_to_bytes(text);
    return !bytes->empty() && bytes->size() * 2 == text.size() &&
           bytes->size() <= velkor::EPROTO_MAX_DATA;
}

ControlResult Error(const std::string& text) {
    return {"error: " + text + "\n", false};
}

class Command {
public:
    Command(SimulatedFleet& fleet, const std::string& line) : fleet_(fleet) {
        std::istringstream words(line);
        for (std::string word; words >> word;) {
            args_.push_back(word);
        }
    }

    ControlResult Run();

private:
    bool Controllers(std::vector<std::size_t>* indexes) const;
    ControlResult ForEach(const std::function<std::size_t(std::size_t)>& send) const;
    ControlResult Settings(bool write);

    SimulatedFleet& fleet_;
    std::vector<std::string> args_;
};

bool Command::Controllers(std::vector<std::size_t>* indexes) const {
    if (args_.size() < 2) {
        return false;
    }
    const std::string& which = args_[1];
    if (which == "*") {
        for (std::size_t i = 0; i < fleet_.Size(); ++i) {
            indexes->push_back(i);
        }
        return true;
    }
    if (const auto found = fleet_.Find(which)) {
        indexes->push_back(*found);
        return true;
    }
    unsigned long long index = 0;
    if (ParseNumber(which, fleet_.Size() == 0 ? 0 : fleet_.Size() - 1, &index) &&
        fleet_.Size() > 0) {
        indexes->push_back(index);
        return true;
    }
    return false;
}

ControlResult Command::ForEach(const std::function<std::size_t(std::size_t)>& send) const {
    std::vector<std::size_t> indexes;
    if (!Controllers(&indexes)) {
        return Error("no such controller");
    }
    std::size_t connections = 0;
    for (const std::size_t index : indexes) {
        connections += send(index);
    }
    return {"ok " + std::to_string(connections) + "\n", false};
}

ControlResult Command::Settings(bool write) {
    std::vector<std::size_t> indexes;
    unsigned long long item = 0;
    std::string value;
    if (args_.size() != (write ? 4u : 3u)) {
        return Error("usage: " + args_[0] + (write ? " <ctl> <item> <hex>" : " <ctl> <item>"));
    }
    if (!Controllers(&indexes)) {
        return Error("no such controller");
    }
    if (!ParseNumber(args_[2], 255, &item)) {
        return Error("not an item number: " + args_[2]);
    }
    if (write && !ParseHex(args_[3], &value)) {
        return Error("not hex bytes: " + args_[3]);
    }
    std::string text;
    for (const std::size_t index : indexes) {
        if (write && !fleet_.SetSetting(index, static_cast<uint8_t>(item), value)) {
            return Error("item " + args_[2] + " refused by " + fleet_.Address(index));
        }
        if (!write) {
            text += fleet_.Address(index) + " " +
                    velkor::eproto_bytes_to_hex(fleet_.Setting(index, static_cast<uint8_t>(item))) +
                    "\n";
        }
    }
    return {text + "ok\n", false};
}

ControlResult Command::Run() {
    if (args_.empty()) {
        return {"", false};
    }
    const std::string& name = args_[0];
    std::string data;
    unsigned long long number = 0;
    unsigned long long flags = 0;
    unsigned long long code = 0;
    if (name == "help") {
        return {std::string(kHelp) + "ok\n", false};
    }
    if (name == "quit") {
        return {"ok\n", true};
    }
    if (name == "list") {
        std::string text;
        for (std::size_t i = 0; i < fleet_.Size(); ++i) {
            text += std::to_string(i) + " " + fleet_.Address(i) + " " +
                    velkor::eproto_bytes_to_hex(fleet_.Mac(i), ":") + " " +
                    std::to_string(fleet_.TcpPort(i)) + "\n";
        }
        return {text + "ok\n", false};
    }
    if (name == "interval") {
        if (args_.size() != 2 || !ParseNumber(args_[1], 86400000, &number)) {
            return Error("usage: interval <ms>");
        }
        fleet_.SetKeepAliveInterval(std::chrono::milliseconds(number));
        return {"ok\n", false};
    }
    if (name == "card") {
        if (args_.size() < 3 || args_.size() > 5 || !ParseHex(args_[2], &data) ||
            (args_.size() > 3 && !ParseNumber(args_[3], 255, &flags)) ||
            (args_.size() > 4 && !ParseNumber(args_[4], 255, &code))) {
            return Error("usage: card <ctl> <hex> [flags] [code]");
        }
        return ForEach([&](std::size_t i) {
            return fleet_.SendCardRead(i, data, static_cast<uint8_t>(flags),
                                       static_cast<uint8_t>(code));
        });
    }
    if (name == "input") {
        if (args_.size() != 3 || !ParseNumber(args_[2], 255, &number)) {
            return Error("usage: input <ctl> <states>");
        }
        return ForEach(
            [&](std::size_t i) { return fleet_.SendInputState(i, static_cast<uint8_t>(number)); });
    }
    if (name == "usart") {
        if (args_.size() != 3 || !ParseHex(args_[2], &data)) {
            return Error("usage: usart <ctl> <hex>");
        }
        return ForEach([&](std::size_t i) { return fleet_.SendUsartData(i, data); });
    }
    if (name == "paneloff" || name == "keepalive") {
        if (args_.size() != 2) {
            return Error("usage: " + name + " <ctl>");
        }
        return ForEach([&](std::size_t i) {
            return name == "paneloff" ? fleet_.SendCardPanelOff(i) : fleet_.SendKeepAlive(i);
        });
    }
    if (name == "get" || name == "set") {
        return Settings(name == "set");
    }
    if (name == "received" || name == "clear") {
        std::vector<std::size_t> indexes;
        if (args_.size() != 2 || !Controllers(&indexes)) {
            return Error("usage: " + name + " <ctl>");
        }
        std::string text;
        for (const std::size_t index : indexes) {
            if (name == "clear") {
                fleet_.ClearReceived(index);
                continue;
            }
            for (const auto& record : fleet_.Received(index)) {
                text += RecordToJson(fleet_.Address(index), record) + "\n";
            }
        }
        return {text + "ok\n", false};
    }
    return Error("unknown command: " + name + " (try help)");
}

} // namespace

std::string ControlCommandHelp() {
    return kHelp;
}

ControlResult ExecuteControlLine(SimulatedFleet& fleet, const std::string& line) {
    return Command(fleet, line).Run();
}

} // namespace sim
