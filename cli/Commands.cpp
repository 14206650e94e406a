#include "cli/Commands.h"

#include "cli/Backup.h"
#include "cli/ControllerSession.h"
#include "cli/ItemValues.h"
#include "cli/PrivateFile.h"
#include "cli/Utf8Console.h"
#include "device/CommandSequences.h"
#include "device/DeviceCommands.h"
#include "device/SettingsRecords.h"
#include "protocol/ControllerContract.h"
#include "protocol/Win1251.h"
#include "protocol/eproto.h"
#include "session/DiscoveryExport.h"
#include "session/DiscoveryTargets.h"

#include <nlohmann/json.hpp>

#include <atomic>
#include <csignal>
#include <fstream>
#include <functional>
#include <mutex>
#include <ostream>
#include <sstream>
#include <thread>

namespace velkor::cli {

namespace {

using json = nlohmann::ordered_json;
using device::SettingsItemInfo;

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr auto kKeepAliveInterval = std::chrono::milliseconds(5000);
constexpr uint16_t kConnectKeepAliveA = 10;
constexpr uint16_t kConnectKeepAliveB = 15;

std::atomic<bool> g_interrupted{false};

// What one command did on one controller.
struct Outcome {
    bool Ok = true;
    std::string Text; // for people: lines for standard output, or the error
    json Json = json::object();
};

Outcome Failure(std::string text) {
    return {false, std::move(text), json::object()};
}

std::string Describe(const Target& target) {
    return target.Host + ":" + std::to_string(target.Port);
}

// A device command checked before anything is sent, run once connected.
using Sender = std::function<void(IReaderLink&)>;

std::optional<Sender> PrepareSend(const Options& options, std::string* error) {
    const auto& args = options.Arguments; // args[0] is the host
    if (args.size() < 2) {
        *error = "send needs a command (see send --help)";
        return std::nullopt;
    }
    const std::string& name = args[1];
    const auto arg = [&](std::size_t k) { return k < args.size() ? args[k] : std::string(); };
    const auto number = [&](std::size_t k, uint32_t low, uint32_t high,
                            const char* what) -> std::optional<uint32_t> {
        const auto value = ParseUnsigned(arg(k), high);
        if (!value || *value < low) {
            *error = name + ": " + what + " must be " + std::to_string(low) + " to " +
                     std::to_string(high) + ", not \"" + arg(k) + "\"";
            return std::nullopt;
        }
        return value;
    };
    const uint8_t volume = options.Volume;
    if (name == "beep") {
        return [volume](IReaderLink& link) { device::Beep(link, volume); };
    }
    if (name == "quack") {
        return [](IReaderLink& link) { link.SendCommand(contract::kQuack, 0, 0); };
    }
    if (name == "net-restart") {
        return [](IReaderLink& link) { link.SendCommand(contract::kNetworkRestart, 0, 0); };
    }
    if (name == "text") {
        if (args.size() < 3) {
            *error = "text needs the text to show";
            return std::nullopt;
        }
        const std::string text = Win1251FromUtf8(arg(2));
        if (text.size() > 129) {
            *error = "text: at most 129 bytes fit one display command, not " +
                     std::to_string(text.size());
            return std::nullopt;
        }
        const auto hold = static_cast<uint16_t>(options.HoldMs);
        return [text, hold, volume](IReaderLink& link) {
            device::ShowTextWithMelody(link, text, hold, volume);
        };
    }
    if (name == "relay") {
        const auto relay = number(2, 1, 4, "the relay");
        const auto ms =
            args.size() > 3 ? number(3, 0, 3199, "the time in ms") : std::optional<uint32_t>(200);
        if (!relay || !ms) {
            return std::nullopt;
        }
        return [relay, ms](IReaderLink& link) { device::PulseRelay(link, *relay - 1, *ms, 0); };
    }
    if (name == "ap-on" || name == "ap-off") {
        const unsigned ms = name == "ap-on" ? 0 : 3150;
        return [ms](IReaderLink& link) { device::PulseRelay(link, 3, ms, 0); };
    }
    if (name == "write-number") {
        const auto block = number(2, 0, 255, "the block");
        const auto value = number(3, 0, 65535, "the number");
        if (!block || !value) {
            return std::nullopt;
        }
        return [block, value](IReaderLink& link) {
            device::WriteNumber(link, static_cast<uint8_t>(*block), *value);
        };
    }
    if (name == "led") {
        const auto level = number(2, 1, 8, "the level");
        if (!level) {
            return std::nullopt;
        }
        return [level, volume](IReaderLink& link) {
            device::SetLedBrightness(link, static_cast<uint8_t>(*level - 1), volume);
        };
    }
    if (name == "sound-volume") {
        const auto level = number(2, 0, 255, "the volume");
        if (!level) {
            return std::nullopt;
        }
        return [level](IReaderLink& link) {
            device::SetGlobalSoundVolume(link, static_cast<uint8_t>(*level));
        };
    }
    if (name == "reset") {
        static const std::pair<const char*, uint8_t> kResets[] = {{"oled-idle", kResetOledIdle},
                                                                  {"rfid", kResetRfid},
                                                                  {"oled", kResetOled},
                                                                  {"rfid-oled", kResetRfidOled},
                                                                  {"net-restart", kResetNetRestart},
                                                                  {"net-reset", kResetNetReset},
                                                                  {"net-reboot", kResetNetReboot},
                                                                  {"mcu", kResetMcu}};
        for (const auto& [reset, byte] : kResets) {
            if (arg(2) == reset) {
                const uint8_t value = byte;
                return [value](IReaderLink& link) { device::SendReset(link, value); };
            }
        }
        *error = "reset: one of oled-idle, rfid, oled, rfid-oled, net-restart, net-reset, "
                 "net-reboot, mcu, not \"" +
                 arg(2) + "\"";
        return std::nullopt;
    }
    *error = "unknown device command \"" + name + "\" (see send --help)";
    return std::nullopt;
}

// The items a get names; nothing, with `error`, for an unknown one.
std::optional<std::vector<const SettingsItemInfo*>>
ItemsNamed(const std::vector<std::string>& names, std::string* error) {
    std::vector<const SettingsItemInfo*> items;
    for (const std::string& name : names) {
        if (name == "all") {
            for (const SettingsItemInfo& item : device::SettingsItems()) {
                if (item.Readable) {
                    items.push_back(&item);
                }
            }
            continue;
        }
        const SettingsItemInfo* item = ItemByNumberOrName(name);
        if (item == nullptr) {
            *error = "unknown settings item \"" + name + "\"";
            return std::nullopt;
        }
        items.push_back(item);
    }
    if (items.empty()) {
        *error = "get needs at least one item (or all)";
        return std::nullopt;
    }
    return items;
}

std::vector<uint8_t> Numbers(const std::vector<const SettingsItemInfo*>& items) {
    std::vector<uint8_t> numbers;
    for (const SettingsItemInfo* item : items) {
        numbers.push_back(item->Item);
    }
    return numbers;
}

json ItemJson(const SettingsItemInfo& item, const std::string& value) {
    return {{"item", item.Item},
            {"name", item.Name},
            {"hex", eproto_bytes_to_hex(value)},
            {"value", FormatValue(item, value)}};
}

// Sends a keep-alive and waits for its answer: everything sent before it has
// left, so the connection may close.
bool Flush(ControllerSession& session) {
    session.Link().SendCommand(contract::kKeepAlive, 0, 0);
    bool answered = false;
    session.Pump(
        std::chrono::milliseconds(3000),
        [&answered](const TRFIDReaderPacket& packet) {
            answered = answered || packet.cmd == contract::kKeepAliveReply;
        },
        [&answered] { return answered; });
    return answered;
}

// Reads the backup for a restore once, before any controller is touched.
struct Prepared {
    std::vector<const SettingsItemInfo*> Items; // get
    const SettingsItemInfo* Item = nullptr;     // set
    std::string Value;                          // set: the value's text
    Sender Send;                                // send
    Backup Restore;                             // restore
};

std::optional<Prepared> Prepare(const Options& options, bool batch, std::string* error) {
    Prepared prepared;
    const std::vector<std::string> args(options.Arguments.begin() + (batch ? 0 : 1),
                                        options.Arguments.end());
    if (options.Command == "get") {
        auto items = ItemsNamed(args, error);
        if (!items) {
            return std::nullopt;
        }
        prepared.Items = std::move(*items);
    } else if (options.Command == "set") {
        if (args.size() < 2) {
            *error = "set needs ITEM VALUE";
            return std::nullopt;
        }
        prepared.Item = ItemByNumberOrName(args[0]);
        if (prepared.Item == nullptr) {
            *error = "unknown settings item \"" + args[0] + "\"";
            return std::nullopt;
        }
        // Checked against the largest current value, so that a bad value is
        // refused before anything is sent.
        const std::string widest = prepared.Item->Kind == device::ValueKind::Lockers
                                       ? std::string(97, '\0')
                                       : std::string();
        // KEY=VALUE pairs may come as separate arguments.
        for (std::size_t k = 1; k < args.size(); ++k) {
            prepared.Value += (k == 1 ? "" : " ") + args[k];
        }
        if (!ParseValue(*prepared.Item, prepared.Value, widest, error)) {
            return std::nullopt;
        }
    } else if (options.Command == "send") {
        Options shifted = options;
        if (batch) {
            shifted.Arguments.insert(shifted.Arguments.begin(), std::string());
        }
        auto send = PrepareSend(shifted, error);
        if (!send) {
            return std::nullopt;
        }
        prepared.Send = std::move(*send);
    } else if (options.Command == "backup") {
        if (options.Output.empty()) {
            *error = "backup needs -o FILE";
            return std::nullopt;
        }
    } else if (options.Command == "restore") {
        if (args.size() != 1) {
            *error = "restore needs the backup FILE";
            return std::nullopt;
        }
        std::ifstream file(PathFromUtf8(args[0]), std::ios::binary);
        std::stringstream text;
        text << file.rdbuf();
        if (!file) {
            *error = "cannot read " + args[0];
            return std::nullopt;
        }
        auto backup = ParseBackup(text.str(), error);
        if (!backup) {
            *error = args[0] + ": " + *error;
            return std::nullopt;
        }
        prepared.Restore = std::move(*backup);
    } else if (options.Command == "watch" && batch) {
        *error = "watch runs on one controller";
        return std::nullopt;
    }
    return prepared;
}

std::string BackupPath(const Options& options, const Target& target, bool batch) {
    if (!batch) {
        return options.Output;
    }
    return options.Output + "/" + target.Host + "_" + std::to_string(target.Port) + ".json";
}

Outcome RunGet(const Options& options, const Prepared& prepared, ControllerSession& session) {
    std::string error;
    const auto values = session.ReadItems(Numbers(prepared.Items), &error);
    Outcome outcome;
    json items = json::array();
    for (const SettingsItemInfo* item : prepared.Items) {
        const auto found = values.find(item->Item);
        if (found == values.end()) {
            continue;
        }
        items.push_back(ItemJson(*item, found->second));
        outcome.Text +=
            std::to_string(item->Item) + " " + item->Name + ": " +
            (options.Hex ? eproto_bytes_to_hex(found->second) : FormatValue(*item, found->second)) +
            "\n";
    }
    outcome.Json["items"] = items;
    if (!error.empty()) {
        return Failure(error);
    }
    return outcome;
}

Outcome RunSet(const Prepared& prepared, ControllerSession& session) {
    const SettingsItemInfo& item = *prepared.Item;
    const std::string& text = prepared.Value;
    std::string current;
    std::string error;
    if (NeedsCurrentValue(item, text)) {
        const auto values = session.ReadItems({item.Item}, &error);
        if (!error.empty()) {
            return Failure(error);
        }
        current = values.at(item.Item);
    }
    const auto value = ParseValue(item, text, current, &error);
    if (!value) {
        return Failure(error);
    }
    if (!session.WriteItem(item, *value, &error)) {
        return Failure(error);
    }
    Outcome outcome;
    outcome.Text = std::string(item.Name) + " := " + FormatValue(item, *value) + "\n";
    outcome.Json = ItemJson(item, *value);
    return outcome;
}

Outcome RunBackup(const Options& options, const Target& target, bool batch,
                  ControllerSession& session) {
    std::vector<uint8_t> numbers;
    for (const SettingsItemInfo& item : device::SettingsItems()) {
        if (item.Readable && (!item.Secret || options.IncludeKeys)) {
            numbers.push_back(item.Item);
        }
    }
    std::string error;
    Backup backup{Describe(target), session.ReadItems(numbers, &error)};
    if (!error.empty()) {
        return Failure(error);
    }
    std::erase_if(backup.Items, [](const auto& entry) { return entry.second.empty(); });
    const std::string path = BackupPath(options, target, batch);
    if (!WriteTextFile(path, BackupJson(backup), options.IncludeKeys, &error)) {
        return Failure(error);
    }
    Outcome outcome;
    outcome.Text = std::to_string(backup.Items.size()) + " items to " + path + "\n";
    outcome.Json = {{"file", path}, {"items", backup.Items.size()}};
    return outcome;
}

Outcome RunRestore(const Options& options, const Prepared& prepared, ControllerSession& session) {
    std::vector<uint8_t> numbers;
    for (const auto& [number, value] : prepared.Restore.Items) {
        numbers.push_back(number);
    }
    std::string error;
    const auto current = session.ReadItems(numbers, &error);
    if (!error.empty()) {
        return Failure(error);
    }
    // The network record last: writing it may move the controller.
    std::vector<std::pair<const SettingsItemInfo*, std::string>> changes;
    Outcome outcome;
    json diff = json::array();
    for (const auto& [number, value] : prepared.Restore.Items) {
        const SettingsItemInfo& item = *device::FindSettingsItem(number);
        const std::string& now = current.at(number);
        if (now == value) {
            continue;
        }
        const bool hide = item.Secret;
        const std::string from = hide ? "(keys)" : FormatValue(item, now);
        const std::string to = hide ? "(other keys)" : FormatValue(item, value);
        outcome.Text += "- " + std::to_string(number) + " " + item.Name + ": " + from + "\n" +
                        "+ " + std::to_string(number) + " " + item.Name + ": " + to + "\n";
        diff.push_back({{"item", number}, {"name", item.Name}, {"from", from}, {"to", to}});
        changes.emplace_back(&item, value);
    }
    std::stable_partition(changes.begin(), changes.end(), [](const auto& change) {
        return change.first->Item != contract::kItemNetConfig;
    });
    outcome.Json = {{"differs", diff}, {"written", !options.DryRun}};
    if (options.DryRun) {
        outcome.Text +=
            std::to_string(changes.size()) + " items differ; nothing written (dry run)\n";
        return outcome;
    }
    for (const auto& [item, value] : changes) {
        if (!session.WriteItem(*item, value, &error)) {
            return Failure(error);
        }
    }
    outcome.Text += std::to_string(changes.size()) + " items written, " +
                    std::to_string(numbers.size() - changes.size()) + " already equal\n";
    return outcome;
}

Outcome RunWatch(const Options& options, ControllerSession& session, std::ostream& out) {
    std::string keep_alive;
    device::AppendLe(keep_alive, kConnectKeepAliveA, 2);
    device::AppendLe(keep_alive, kConnectKeepAliveB, 2);
    session.Link().SendCommandData(contract::kKeepAlive, keep_alive, 0, 0);
    const auto end =
        options.ForSeconds
            ? std::chrono::steady_clock::now() +
                  std::chrono::milliseconds(static_cast<int64_t>(*options.ForSeconds * 1000))
            : std::chrono::steady_clock::time_point::max();
    const auto event = [&out](json line) { out << line.dump() << std::endl; };
    while (!g_interrupted && std::chrono::steady_clock::now() < end) {
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        session.Pump(
            std::min(kKeepAliveInterval, left),
            [&](const TRFIDReaderPacket& packet) {
                switch (packet.cmd) {
                case contract::kKeepAlive:
                    session.Link().SendCommand(contract::kKeepAliveReply, 0, packet.flags);
                    [[fallthrough]];
                case contract::kInputState:
                case contract::kKeepAliveReply:
                    event({{"event", "inputs"}, {"state", packet.code}});
                    break;
                case contract::kCardRead:
                    event({{"event", "card"},
                           {"data", eproto_bytes_to_hex(packet.data)},
                           {"flags", packet.flags},
                           {"code", packet.code}});
                    break;
                case contract::kCardPanelOff:
                    event({{"event", "card_panel_off"}});
                    break;
                case contract::kUsartData:
                    event({{"event", "usart"},
                           {"data", eproto_bytes_to_hex(packet.data)},
                           {"text", Utf8FromWin1251(packet.data)}});
                    break;
                default:
                    break;
                }
            },
            [] { return g_interrupted.load(); });
        session.Link().SendCommand(contract::kKeepAlive, 0, 0);
    }
    return {};
}

Outcome RunOnController(const Options& options, const Prepared& prepared, const Target& target,
                        bool batch, ControllerSession& session, std::ostream& out) {
    std::string error;
    if (!session.Connect(target.Host, target.Port, &error)) {
        return Failure(error);
    }
    if (options.Command == "get") {
        return RunGet(options, prepared, session);
    }
    if (options.Command == "set") {
        return RunSet(prepared, session);
    }
    if (options.Command == "backup") {
        return RunBackup(options, target, batch, session);
    }
    if (options.Command == "restore") {
        return RunRestore(options, prepared, session);
    }
    if (options.Command == "watch") {
        return RunWatch(options, session, out);
    }
    prepared.Send(session.Link());
    if (!Flush(session)) {
        return Failure("the controller did not confirm the command");
    }
    return {true, "sent\n", json::object()};
}

SessionSettings MakeSessionSettings(const Options& options, std::vector<std::string> targets,
                                    std::ostream& err, std::mutex& err_mutex,
                                    const std::string& who) {
    SessionSettings settings;
    settings.Key = options.Key;
    settings.TimeoutMs = options.TimeoutMs;
    settings.ControllerUdpPort = options.UdpPort;
    settings.BroadcastAddresses = std::move(targets);
    if (options.Verbose) {
        settings.Log = [&err, &err_mutex, who](const std::string& line) {
            std::lock_guard lock(err_mutex);
            err << (who.empty() ? "" : who + ": ") << line << "\n";
        };
    }
    return settings;
}

std::optional<std::vector<std::string>> Targets(const Options& options, std::string* error) {
    DiscoveryScope scope;
    if (!options.Broadcast.empty()) {
        scope = {DiscoveryScope::Kind::OneAddress, options.Broadcast};
    } else if (!options.Interface.empty()) {
        scope = {DiscoveryScope::Kind::OneInterface, options.Interface};
    }
    return DiscoveryTargets(scope, error);
}

std::optional<std::vector<DiscoveryAnswer>> Discover(const Options& options, std::ostream& err,
                                                     std::mutex& err_mutex, std::string* error) {
    const auto targets = Targets(options, error);
    if (!targets) {
        return std::nullopt;
    }
    ControllerSession session(MakeSessionSettings(options, *targets, err, err_mutex, ""));
    return session.Discover();
}

int RunDiscover(const Options& options, std::ostream& out, std::ostream& err) {
    std::mutex err_mutex;
    std::string error;
    const auto answers = Discover(options, err, err_mutex, &error);
    if (!answers) {
        err << "velkor-cli: " << error << "\n";
        return kExitUsage;
    }
    if (options.Json) {
        out << DiscoveryJson(*answers);
    } else if (options.Csv) {
        out << DiscoveryCsv(*answers);
    } else {
        for (const DiscoveryAnswer& answer : *answers) {
            const auto fields = DiscoveryFields(answer);
            out << fields[0].Value.value_or("") << "  " << fields[1].Value.value_or("") << ":"
                << fields[2].Value.value_or("") << "  " << fields[6].Value.value_or("") << "  "
                << fields[7].Value.value_or("") << "\n";
        }
        out << answers->size() << " controllers\n";
    }
    return 0;
}

std::optional<std::vector<Target>> BatchTargets(const Options& options, std::ostream& err,
                                                std::string* error) {
    std::vector<Target> targets;
    if (options.All) {
        std::mutex err_mutex;
        const auto answers = Discover(options, err, err_mutex, error);
        if (!answers) {
            return std::nullopt;
        }
        for (const DiscoveryAnswer& answer : *answers) {
            const std::string& ip =
                answer.Items.IPText.empty() ? answer.FromIP : answer.Items.IPText;
            targets.push_back(
                {ip, answer.Items.TCPPort != 0 ? answer.Items.TCPPort : options.Port});
        }
        return targets;
    }
    std::ifstream file(PathFromUtf8(options.HostsFile));
    if (!file) {
        *error = "cannot read " + options.HostsFile;
        return std::nullopt;
    }
    std::string line;
    for (int number = 1; std::getline(file, line); ++number) {
        line = line.substr(0, line.find('#'));
        line.erase(0, line.find_first_not_of(" \t\r"));
        line.erase(line.find_last_not_of(" \t\r") + 1);
        if (line.empty()) {
            continue;
        }
        auto target = ParseTarget(line);
        if (!target) {
            *error = options.HostsFile + ":" + std::to_string(number) + ": not HOST[:PORT]: \"" +
                     line + "\"";
            return std::nullopt;
        }
        target->Port = target->Port != 0 ? target->Port : options.Port;
        targets.push_back(*target);
    }
    return targets;
}

int RunBatch(const Options& options, const Prepared& prepared, std::ostream& out,
             std::ostream& err) {
    std::string error;
    const auto targets = BatchTargets(options, err, &error);
    if (!targets) {
        err << "velkor-cli: " << error << "\n";
        return kExitUsage;
    }
    std::mutex out_mutex;
    std::mutex err_mutex;
    std::atomic<std::size_t> next{0};
    std::atomic<bool> failed{false};
    const auto work = [&] {
        for (std::size_t k = next++; k < targets->size(); k = next++) {
            const Target& target = (*targets)[k];
            Outcome outcome;
            {
                ControllerSession session(
                    MakeSessionSettings(options, {}, err, err_mutex, Describe(target)));
                outcome = RunOnController(options, prepared, target, true, session, out);
            }
            failed = failed || !outcome.Ok;
            std::lock_guard lock(out_mutex);
            if (options.Json) {
                json line = {{"controller", Describe(target)}, {"ok", outcome.Ok}};
                if (!outcome.Ok) {
                    line["error"] = outcome.Text;
                }
                line.update(outcome.Json);
                out << line.dump() << "\n";
            } else {
                std::string text = outcome.Text;
                std::replace(text.begin(), text.end(), '\n', ' ');
                out << Describe(target) << (outcome.Ok ? " ok " : " error: ") << text << "\n";
            }
        }
    };
    std::vector<std::thread> workers;
    const std::size_t count = std::min<std::size_t>(options.Jobs, targets->size());
    for (std::size_t k = 0; k < count; ++k) {
        workers.emplace_back(work);
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
    out.flush();
    return failed ? kExitFailed : 0;
}

} // namespace

int RunCommand(const Options& options, std::ostream& out, std::ostream& err) {
    std::signal(SIGINT, [](int) { g_interrupted = true; });
    if (options.Command == "discover") {
        return RunDiscover(options, out, err);
    }
    const bool batch = options.All || !options.HostsFile.empty();
    std::string error;
    std::optional<Target> target;
    if (!batch) {
        target = options.Arguments.empty() ? std::nullopt : ParseTarget(options.Arguments[0]);
        if (!target) {
            err << "velkor-cli: " << options.Command << " needs HOST[:PORT] first\n";
            return kExitUsage;
        }
        target->Port = target->Port != 0 ? target->Port : options.Port;
    }
    const auto prepared = Prepare(options, batch, &error);
    if (!prepared) {
        err << "velkor-cli: " << error << "\n";
        return kExitUsage;
    }
    if (batch) {
        return RunBatch(options, *prepared, out, err);
    }
    std::mutex err_mutex;
    ControllerSession session(MakeSessionSettings(options, {}, err, err_mutex, ""));
    const Outcome outcome = RunOnController(options, *prepared, *target, false, session, out);
    if (!outcome.Ok) {
        err << "velkor-cli: " << Describe(*target) << ": " << outcome.Text << "\n";
        return kExitFailed;
    }
    if (options.Json && options.Command != "watch") {
        json document = {{"controller", Describe(*target)}};
        document.update(outcome.Json);
        out << document.dump(2) << "\n";
    } else {
        out << outcome.Text;
    }
    return 0;
}

} // namespace velkor::cli
