#include "cli/ControllerSession.h"

#include "device/CommandSequences.h"
#include "protocol/ControllerContract.h"
#include "session/TrafficLogLines.h"

#include <algorithm>
#include <set>

namespace velkor::cli {

namespace {

constexpr unsigned kDisconnectWaitMs = 500;

} // namespace

ControllerSession::ControllerSession(const SessionSettings& settings)
    : settings_(settings), reader_(main_) {
    ReaderNetSettings net;
    net.BroadcastAddresses = settings.BroadcastAddresses;
    net.ControllerUdpPort = settings.ControllerUdpPort;
    reader_.SetNetSettings(net);
    reader_.SetKey(settings.Key);
    IReaderLink::Events events;
    events.OnDatagram = [this](const TRFIDReaderDatagram& datagram) {
        Log(DatagramLogLine(datagram));
    };
    events.OnPacket = [this](const TRFIDReaderPacket& packet) {
        Log(PacketLogLine(packet));
        inbox_.push_back(packet);
    };
    events.OnError = [this](const std::string& text) { last_error_ = text; };
    reader_.SetEvents(std::move(events));
    reader_.Start();
}

ControllerSession::~ControllerSession() {
    Disconnect();
}

void ControllerSession::Log(const std::string& line) const {
    if (settings_.Log) {
        settings_.Log(line);
    }
}

std::vector<DiscoveryAnswer> ControllerSession::Discover() {
    inbox_.clear();
    reader_.Discover();
    DiscoveryAnswerSet answers;
    Pump(
        std::chrono::milliseconds(settings_.TimeoutMs),
        [&answers](const TRFIDReaderPacket& packet) {
            if (const auto answer = DiscoveryAnswerOf(packet)) {
                answers.Add(*answer);
            }
        },
        [] { return false; });
    return answers.Answers();
}

bool ControllerSession::Connect(const std::string& host, uint16_t port, std::string* error) {
    host_ = host;
    last_error_.clear();
    if (reader_.Connect(host, port, settings_.TimeoutMs)) {
        return true;
    }
    main_.ProcessMessages(); // the error that ended the attempt, if any
    *error = "cannot connect to " + host + ":" + std::to_string(port) +
             (last_error_.empty() ? " (no answer)" : ": " + last_error_);
    reader_.Disconnect(kDisconnectWaitMs);
    return false;
}

void ControllerSession::Disconnect() {
    if (reader_.CurrentState() != 0) {
        reader_.Disconnect(kDisconnectWaitMs);
    }
}

std::optional<TRFIDReaderPacket>
ControllerSession::WaitFor(const std::function<bool(const TRFIDReaderPacket&)>& match) {
    std::optional<TRFIDReaderPacket> found;
    const auto take = [&] {
        const auto at = std::find_if(inbox_.begin(), inbox_.end(), match);
        if (at != inbox_.end()) {
            found = *at;
            inbox_.erase(at);
        }
        return found.has_value() || !last_error_.empty();
    };
    if (!take()) {
        main_.ProcessUntil(take, std::chrono::milliseconds(settings_.TimeoutMs));
    }
    return found;
}

std::map<uint8_t, std::string> ControllerSession::ReadItems(const std::vector<uint8_t>& items,
                                                            std::string* error) {
    for (const uint8_t item : items) {
        device::ReadSetting(reader_, item);
    }
    std::map<uint8_t, std::string> values;
    for (const uint8_t item : items) {
        const auto reply = WaitFor([item](const TRFIDReaderPacket& packet) {
            return packet.cmd == contract::kSettingsData && !packet.data.empty() &&
                   static_cast<uint8_t>(packet.data[0]) == item;
        });
        if (!reply) {
            if (error != nullptr && error->empty()) {
                *error = last_error_.empty() ? "no answer for item " + std::to_string(item)
                                             : "connection lost: " + last_error_;
            }
            continue;
        }
        values[item] = reply->data.substr(1);
    }
    return values;
}

bool ControllerSession::WriteItem(const device::SettingsItemInfo& item, const std::string& value,
                                  std::string* error) {
    Log(DataLogLine("settings ", static_cast<char>(item.Item) + value));
    device::WriteSettingsItem(reader_, item, value);
    if (item.Sequence == device::WriteSequence::ByteMenu) {
        // The sequence reads the item itself; its answer is the read-back.
        const auto reply = WaitFor([&item](const TRFIDReaderPacket& packet) {
            return packet.cmd == contract::kSettingsData && !packet.data.empty() &&
                   static_cast<uint8_t>(packet.data[0]) == item.Item;
        });
        if (reply && reply->data.substr(1) == value) {
            return true;
        }
        *error = std::string(item.Name) + " was not kept (read back " +
                 (reply ? "a different value" : "nothing") + ")";
        return false;
    }
    std::string read_error;
    const auto values = ReadItems({item.Item}, &read_error);
    const auto found = values.find(item.Item);
    if (found != values.end() && found->second == value) {
        return true;
    }
    *error = std::string(item.Name) + " was not kept (" +
             (found == values.end() ? read_error : "read back a different value") + ")";
    return false;
}

void ControllerSession::Pump(std::chrono::milliseconds duration,
                             const std::function<void(const TRFIDReaderPacket&)>& on_packet,
                             const std::function<bool()>& stop) {
    const auto end = std::chrono::steady_clock::now() + duration;
    while (!stop() && std::chrono::steady_clock::now() < end) {
        main_.ProcessUntil(
            [this] { return !inbox_.empty(); },
            std::min(std::chrono::milliseconds(50), std::chrono::ceil<std::chrono::milliseconds>(
                                                        end - std::chrono::steady_clock::now())));
        while (!inbox_.empty()) {
            const TRFIDReaderPacket packet = inbox_.front();
            inbox_.pop_front();
            on_packet(packet);
        }
    }
}

} // namespace velkor::cli
