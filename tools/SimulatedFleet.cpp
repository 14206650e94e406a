#include "tools/SimulatedFleet.h"

#include "base/IPv4Text.h"

#include "protocol/eproto.h"
#include "tools/FleetEngine.h"

namespace sim {

std::string RecordToJson(const std::string& controller_address, const ReceivedRecord& record) {
    return "{\"controller\":\"" + controller_address +
           "\",\"seq\":" + std::to_string(record.sequence) + ",\"transport\":\"" +
           (record.transport == Transport::Udp ? "udp" : "tcp") +
           "\",\"cmd\":" + std::to_string(record.cmd) +
           ",\"flags\":" + std::to_string(record.flags) +
           ",\"code\":" + std::to_string(record.code) + ",\"data\":\"" +
           velkor::eproto_bytes_to_hex(record.data) + "\"}";
}

SimulatedFleet::SimulatedFleet(FleetOptions options)
    : engine_(std::make_unique<FleetEngine>(std::move(options))) {
}

SimulatedFleet::~SimulatedFleet() {
    Stop();
}

bool SimulatedFleet::Start(std::string* error) {
    std::string ignored;
    return engine_->Start(error != nullptr ? error : &ignored);
}

void SimulatedFleet::Stop() {
    engine_->Stop();
}

bool SimulatedFleet::Running() const {
    return engine_->running;
}

std::size_t SimulatedFleet::Size() const {
    std::lock_guard lock(engine_->mutex);
    return engine_->controllers.size();
}

std::string SimulatedFleet::Address(std::size_t index) const {
    std::lock_guard lock(engine_->mutex);
    return index < engine_->controllers.size() ? engine_->controllers[index].identity.address_text
                                               : std::string();
}

std::string SimulatedFleet::Mac(std::size_t index) const {
    std::lock_guard lock(engine_->mutex);
    return index < engine_->controllers.size() ? engine_->controllers[index].identity.mac
                                               : std::string();
}

uint16_t SimulatedFleet::TcpPort(std::size_t index) const {
    std::lock_guard lock(engine_->mutex);
    return index < engine_->controllers.size() ? engine_->controllers[index].identity.tcp_port : 0;
}

uint16_t SimulatedFleet::UdpPort() const {
    std::lock_guard lock(engine_->mutex);
    return engine_->udp_port;
}

std::optional<std::size_t> SimulatedFleet::Find(const std::string& address) const {
    const auto parsed = base::ParseIPv4HostOrder(address);
    std::lock_guard lock(engine_->mutex);
    if (!parsed) {
        return std::nullopt;
    }
    const auto found = engine_->by_address.find(*parsed);
    if (found == engine_->by_address.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::size_t SimulatedFleet::SendCardRead(std::size_t index, const std::string& data, uint8_t flags,
                                         uint8_t code) {
    std::lock_guard lock(engine_->mutex);
    return engine_->SendToConnections(index,
                                      OutPacket{velkor::contract::kCardRead, flags, code, data});
}

std::size_t SimulatedFleet::SendInputState(std::size_t index, uint8_t states) {
    std::lock_guard lock(engine_->mutex);
    if (index < engine_->controllers.size()) {
        engine_->controllers[index].input_states = states;
    }
    return engine_->SendToConnections(index,
                                      OutPacket{velkor::contract::kInputState, 0, states, {}});
}

std::size_t SimulatedFleet::SendUsartData(std::size_t index, const std::string& data) {
    std::lock_guard lock(engine_->mutex);
    return engine_->SendToConnections(index, OutPacket{velkor::contract::kUsartData, 0, 0, data});
}

std::size_t SimulatedFleet::SendCardPanelOff(std::size_t index) {
    std::lock_guard lock(engine_->mutex);
    return engine_->SendToConnections(index, OutPacket{velkor::contract::kCardPanelOff, 0, 0, {}});
}

std::size_t SimulatedFleet::SendKeepAlive(std::size_t index) {
    std::lock_guard lock(engine_->mutex);
    const uint8_t states =
        index < engine_->controllers.size() ? engine_->controllers[index].input_states : 0;
    return engine_->SendToConnections(index,
                                      OutPacket{velkor::contract::kKeepAlive, 0, states, {}});
}

void SimulatedFleet::SetInputStates(std::size_t index, uint8_t states) {
    std::lock_guard lock(engine_->mutex);
    if (index < engine_->controllers.size()) {
        engine_->controllers[index].input_states = states;
    }
}

void SimulatedFleet::SetKeepAliveInterval(std::chrono::milliseconds interval) {
    engine_->SetKeepAliveInterval(interval);
}

std::string SimulatedFleet::Setting(std::size_t index, uint8_t item) const {
    std::lock_guard lock(engine_->mutex);
    if (index >= engine_->controllers.size()) {
        return {};
    }
    const std::string* value = engine_->controllers[index].settings.Find(item);
    return value != nullptr ? *value : std::string();
}

bool SimulatedFleet::SetSetting(std::size_t index, uint8_t item, const std::string& value) {
    std::lock_guard lock(engine_->mutex);
    if (index >= engine_->controllers.size() ||
        !engine_->controllers[index].settings.Write(item, value)) {
        return false;
    }
    engine_->NoteSettingWritten();
    engine_->Wake(); // saved by the loop's next round
    return true;
}

std::size_t SimulatedFleet::ConnectionCount(std::size_t index) const {
    std::lock_guard lock(engine_->mutex);
    return index < engine_->controllers.size() ? engine_->controllers[index].connections.size() : 0;
}

bool SimulatedFleet::WaitForConnections(std::size_t index, std::size_t count,
                                        std::chrono::milliseconds timeout) const {
    std::unique_lock lock(engine_->mutex);
    return engine_->state_changed.wait_for(lock, timeout, [&] {
        return index < engine_->controllers.size() &&
               engine_->controllers[index].connections.size() >= count;
    });
}

std::vector<ReceivedRecord> SimulatedFleet::Received(std::size_t index) const {
    std::lock_guard lock(engine_->mutex);
    if (index >= engine_->controllers.size()) {
        return {};
    }
    const auto& received = engine_->controllers[index].received;
    return {received.begin(), received.end()};
}

std::optional<ReceivedRecord> SimulatedFleet::WaitForReceived(std::size_t index, uint8_t cmd,
                                                              std::chrono::milliseconds timeout,
                                                              std::size_t from_sequence) const {
    std::unique_lock lock(engine_->mutex);
    std::optional<ReceivedRecord> match;
    auto find = [&] {
        if (index >= engine_->controllers.size()) {
            return false;
        }
        for (const auto& record : engine_->controllers[index].received) {
            if (record.sequence >= from_sequence && record.cmd == cmd) {
                match = record;
                return true;
            }
        }
        return false;
    };
    engine_->state_changed.wait_for(lock, timeout, find);
    return match;
}

std::size_t SimulatedFleet::NextSequence(std::size_t index) const {
    std::lock_guard lock(engine_->mutex);
    return index < engine_->controllers.size() ? engine_->controllers[index].next_sequence : 0;
}

void SimulatedFleet::ClearReceived(std::size_t index) {
    std::lock_guard lock(engine_->mutex);
    if (index < engine_->controllers.size()) {
        engine_->controllers[index].received.clear();
    }
}

void SimulatedFleet::SetRecordSink(std::function<void(const std::string& json_line)> sink) {
    std::lock_guard lock(engine_->mutex);
    engine_->sink = std::move(sink);
}

} // namespace sim
