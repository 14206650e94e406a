// One controller as velkor-cli talks to it: the reader session of the window
// (TRFIDReader) on a thread of the caller's, which serves the reader's events
// while it waits for answers.
#pragma once

#include "device/SettingsItems.h"
#include "session/DiscoveryAnswer.h"
#include "session/QueuedMainThread.h"
#include "session/RFIDReader.h"

#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace velkor::cli {

struct SessionSettings {
    std::string Key;
    unsigned TimeoutMs = 3000;
    uint16_t ControllerUdpPort = 3052;
    std::vector<std::string> BroadcastAddresses; // discovery targets
    // Receives the traffic log lines; unset: nothing is logged.
    std::function<void(const std::string& line)> Log;
};

class ControllerSession {
public:
    // The calling thread serves the session; use it from that thread only.
    explicit ControllerSession(const SessionSettings& settings);
    ~ControllerSession();

    // Discovery by UDP to the broadcast addresses; the answers of the wait,
    // one per controller.
    std::vector<DiscoveryAnswer> Discover();

    bool Connect(const std::string& host, uint16_t port, std::string* error);
    void Disconnect();
    IReaderLink& Link() { return reader_; }

    // Reads the items (all requests go out at once); an item the controller
    // does not answer within the time-out is missing from the result, and
    // `error` names the first one.
    std::map<uint8_t, std::string> ReadItems(const std::vector<uint8_t>& items, std::string* error);
    // Writes with the item's sequence, then reads it back: false, with
    // `error`, when the controller does not keep the value.
    bool WriteItem(const device::SettingsItemInfo& item, const std::string& value,
                   std::string* error);

    // Serves events for `duration`, handing every packet to `on_packet`;
    // stops early when `stop` returns true.
    void Pump(std::chrono::milliseconds duration,
              const std::function<void(const TRFIDReaderPacket&)>& on_packet,
              const std::function<bool()>& stop);

private:
    // Waits for a packet that `match` accepts, keeping the others queued.
    std::optional<TRFIDReaderPacket>
    WaitFor(const std::function<bool(const TRFIDReaderPacket&)>& match);
    void Log(const std::string& line) const;

    SessionSettings settings_;
    QueuedMainThread main_;
    TRFIDReader reader_;
    std::deque<TRFIDReaderPacket> inbox_;
    std::string host_;
    std::string last_error_;
};

} // namespace velkor::cli
