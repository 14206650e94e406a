#include "tools/SimSettings.h"

#include "protocol/ControllerContract.h"

namespace sim {
namespace {

std::string Le(uint32_t value, int width) {
    std::string bytes;
    for (int i = 0; i < width; ++i) {
        bytes.push_back(static_cast<char>(value >> (8 * i)));
    }
    return bytes;
}

// MAC, address, mask, gateway, then UDP, TCP and debug ports (little-endian).
std::string NetworkRecord(const ControllerIdentity& identity) {
    const uint32_t mask = ControllerNetmask(identity.address);
    const uint32_t gateway = (identity.address & mask) | 1u;
    return identity.mac + Ipv4Bytes(identity.address) + Ipv4Bytes(mask) + Ipv4Bytes(gateway) +
           Le(identity.udp_port, 2) + Le(identity.tcp_port, 2) + Le(80, 2);
}

// Item lengths a write may carry: exact, or anything from 1 up for the two
// items whose editors keep the length they were given.
bool LengthFits(uint8_t item, std::size_t factory_length, std::size_t length) {
    if (item == velkor::contract::kItemLockersList || item == velkor::contract::kItemAuthFlags) {
        return length >= 1;
    }
    return length == factory_length;
}

} // namespace

SettingsStore::SettingsStore(const ControllerIdentity& identity) {
    using namespace velkor::contract;
    factory_[kItemNetConfig] = NetworkRecord(identity);
    factory_[kItemLanguage] = std::string(1, '\x01');
    factory_[kItemDbWaitTimeout] = Le(1000, 2);
    factory_[kItemFingerUse] = std::string(1, '\0');
    factory_[kItemFingerTest] = std::string(1, '\0');
    factory_[kItemSoundVolume] = std::string(1, '\x7F');
    factory_[kItemLedBrightness] = std::string(1, '\x07');
    factory_[kItemNoNetwork] = std::string(1, '\0');
    factory_[kItemLockMode] = std::string(1, '\0');
    factory_[kItemGameDev] = std::string(1, '\0');
    factory_[kItemRelayCloseFlags] = std::string(1, '\0');
    factory_[kItemRelayOpenFlags] = std::string(1, '\0');
    factory_[kItemRelayOpenTime] = Le(500, 4);
    // Sixteen transport keys of six 0xFF bytes, key A for every sector.
    factory_[kItemSectorKeys] = std::string(96, '\xFF') + std::string(2, '\0');
    factory_[kItemLockersList] = std::string(kLockersListSize, '\0');
    factory_[kItemAuthFlags] = Le(0xF0CF, 2);
    factory_[kItemDebugFlags] = std::string(1, '\0');
    factory_[kItemRelayHoldFlags] = std::string(1, '\0');
    // Plan NONE, async, 9600 baud, 8 bits, no flow control, no parity, 1 stop bit.
    factory_[kItemUsartFlags] =
        std::string{0, 0} + Le(9600, 2) + std::string{1, 0, 0, 0} + std::string(4, '\0');
    values_ = factory_;
}

const std::string* SettingsStore::Find(uint8_t item) const {
    const auto found = values_.find(item);
    return found == values_.end() ? nullptr : &found->second;
}

bool SettingsStore::Write(uint8_t item, const std::string& value) {
    const auto found = values_.find(item);
    if (found == values_.end() || !LengthFits(item, factory_.at(item).size(), value.size())) {
        return false;
    }
    found->second = value;
    return true;
}

std::vector<std::pair<uint8_t, std::string>> SettingsStore::Changed() const {
    std::vector<std::pair<uint8_t, std::string>> changed;
    for (const auto& [item, value] : values_) {
        if (value != factory_.at(item)) {
            changed.emplace_back(item, value);
        }
    }
    return changed;
}

} // namespace sim
