#include "device/SettingsRecords.h"

#include "protocol/eproto.h"

#include <algorithm>

namespace velkor::device {

namespace {

constexpr std::size_t kIpOffset = 6;
constexpr std::size_t kMaskOffset = 10;
constexpr std::size_t kGatewayOffset = 14;
constexpr std::size_t kUdpPortOffset = 18;
constexpr std::size_t kTcpPortOffset = 20;
constexpr std::size_t kDebugPortOffset = 22;
constexpr int kBlocksPerSector = 4;

template <std::size_t N>
void CopyOut(std::array<uint8_t, N>& field, std::string_view bytes, std::size_t offset) {
    std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(offset), N, field.begin());
}

template <std::size_t N> void Append(std::string& bytes, const std::array<uint8_t, N>& field) {
    bytes.append(field.begin(), field.end());
}

constexpr const char* kPlanNames[] = {"NONE", "PASS:   Passthru mode", "MTERM:  Master terminal",
                                      "STERM:  Slave terminal", "GATE:   Gate terminal"};
constexpr const char* kModeNames[] = {"ASYNC:  Async mode",
                                      "SYNC:   Sync mode",
                                      "SW:     Single wire(Half Duplex)",
                                      "MPC:    Multiprocessor communication",
                                      "IRDA:   IRDA mode",
                                      "LIN:    LIN bus mode",
                                      "SC:     Smart Card",
                                      "SCC:    Smart Card with CardClock",
                                      "MODBUS: MODBUS mode"};
constexpr const char* kWordLengthNames[] = {
    "7 bits (Including parity)", "8 bits (Including parity)", "9 bits (Including parity)"};
constexpr const char* kFlowControlNames[] = {"NONE", "CTS Only", "RTS Only", "CTS/RTS"};
constexpr const char* kParityNames[] = {"NONE", "EVEN", "ODD"};
constexpr const char* kStopBitsNames[] = {"1", "0.5", "2", "1.5"};
constexpr const char* kReaderLockNames[] = {"NONE", "RELAY:      Lock only on Relay open",
                                            "UID:           Lock only to current UID",
                                            "AUTO:       Full lock while non IDLE screen"};

} // namespace

std::optional<NetworkRecord> DecodeNetworkRecord(std::string_view bytes) {
    if (bytes.size() < NetworkRecord::kSize) {
        return std::nullopt;
    }
    NetworkRecord record;
    CopyOut(record.Mac, bytes, 0);
    CopyOut(record.Ip, bytes, kIpOffset);
    CopyOut(record.Mask, bytes, kMaskOffset);
    CopyOut(record.Gateway, bytes, kGatewayOffset);
    record.UdpPort = static_cast<uint16_t>(ReadLe(bytes, kUdpPortOffset, 2));
    record.TcpPort = static_cast<uint16_t>(ReadLe(bytes, kTcpPortOffset, 2));
    record.DebugPort = static_cast<uint16_t>(ReadLe(bytes, kDebugPortOffset, 2));
    return record;
}

std::string EncodeNetworkRecord(const NetworkRecord& record) {
    std::string bytes;
    Append(bytes, record.Mac);
    Append(bytes, record.Ip);
    Append(bytes, record.Mask);
    Append(bytes, record.Gateway);
    for (const uint16_t port : {record.UdpPort, record.TcpPort, record.DebugPort}) {
        AppendLe(bytes, port, 2);
    }
    return bytes;
}

std::optional<SectorKeys> DecodeSectorKeys(std::string_view bytes) {
    if (bytes.size() < SectorKeys::kKeysSize) {
        return std::nullopt;
    }
    SectorKeys keys;
    for (int n = 0; n < SectorKeys::kSectors; ++n) {
        CopyOut(keys.Keys[n], bytes, n * SectorKeys::kKeySize);
    }
    if (bytes.size() >= SectorKeys::kSize) {
        keys.KeyBMask = static_cast<uint16_t>(ReadLe(bytes, SectorKeys::kKeysSize, 2));
    }
    return keys;
}

std::string EncodeSectorKeys(const SectorKeys& keys) {
    std::string bytes;
    for (const auto& key : keys.Keys) {
        Append(bytes, key);
    }
    AppendLe(bytes, keys.KeyBMask, 2);
    return bytes;
}

LockersList DecodeLockersList(std::string_view block) {
    LockersList list;
    if (block.empty()) {
        return list;
    }
    const auto count = static_cast<uint8_t>(block[0]);
    list.Rows = block.size() == 1 ? count : block.size() / kLockerRowSize;
    if (block.size() < kLockerRowSize * count + 1) {
        return list;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t row = 1 + kLockerRowSize * i;
        std::string_view name = block.substr(row + 1, kLockerNameSize);
        name = name.substr(0, name.find('\0'));
        list.Lockers.push_back({static_cast<uint8_t>(block[row]), std::string(name)});
    }
    list.Complete = true;
    return list;
}

std::string PadName15(std::string_view name) {
    std::string field(name.substr(0, kLockerNameSize));
    field.resize(kLockerNameSize, '\0');
    return field;
}

std::string LockersRecord(const std::vector<TLockInfo>& locks, int rows) {
    std::string record(1, static_cast<char>(locks.size()));
    for (const TLockInfo& lock : locks) {
        record += static_cast<char>(lock.Block);
        record += PadName15(lock.Name);
    }
    const long long minimum = static_cast<long long>(rows) * kLockerRowSize + 1;
    if (static_cast<long long>(record.size()) < minimum) {
        record.resize(static_cast<std::size_t>(minimum), '\0');
    }
    return record;
}

bool IsLockerBlock(int block) {
    return block != 0 && (block + 1) % kBlocksPerSector != 0;
}

std::optional<UsartBlock> DecodeUsartBlock(std::string_view bytes) {
    if (bytes.size() < UsartBlock::kSize) {
        return std::nullopt;
    }
    const auto at = [bytes](std::size_t offset) { return static_cast<uint8_t>(bytes[offset]); };
    UsartBlock block;
    block.Plan = at(0);
    block.Mode = at(1);
    block.Baud = static_cast<uint16_t>(ReadLe(bytes, 2, 2));
    block.WordLength = at(4);
    block.FlowControl = at(5);
    block.Parity = at(6);
    block.StopBits = at(7);
    block.AdvancedParameters = static_cast<uint16_t>(ReadLe(bytes, 8, 2));
    block.AdvancedFeatures = static_cast<uint16_t>(ReadLe(bytes, 10, 2));
    return block;
}

std::string EncodeUsartBlock(const UsartBlock& block) {
    std::string bytes{static_cast<char>(block.Plan), static_cast<char>(block.Mode)};
    AppendLe(bytes, block.Baud, 2);
    for (const uint8_t position :
         {block.WordLength, block.FlowControl, block.Parity, block.StopBits}) {
        bytes += static_cast<char>(position);
    }
    AppendLe(bytes, block.AdvancedParameters, 2);
    AppendLe(bytes, block.AdvancedFeatures, 2);
    return bytes;
}

std::span<const char* const> UsartPlanNames() {
    return kPlanNames;
}
std::span<const char* const> UsartModeNames() {
    return kModeNames;
}
std::span<const char* const> UsartWordLengthNames() {
    return kWordLengthNames;
}
std::span<const char* const> UsartFlowControlNames() {
    return kFlowControlNames;
}
std::span<const char* const> UsartParityNames() {
    return kParityNames;
}
std::span<const char* const> UsartStopBitsNames() {
    return kStopBitsNames;
}
std::span<const char* const> AuthReaderLockNames() {
    return kReaderLockNames;
}

std::span<const BitField> OptoFlagFields() {
    static const BitField fields[] = {
        {"edge1", 0, 1, {}}, {"edge2", 1, 1, {}}, {"edge3", 2, 1, {}}, {"edge4", 3, 1, {}},
        {"use1", 4, 1, {}},  {"use2", 5, 1, {}},  {"use3", 6, 1, {}},  {"use4", 7, 1, {}},
    };
    return fields;
}

std::span<const BitField> DebugFlagFields() {
    static const BitField fields[] = {
        {"opto_status_display", 0, 1, {}},
        {"ssd1309_driver", 6, 1, {}},
        {"no_splash_glyph", 7, 1, {}},
    };
    return fields;
}

AuthFlags DecodeAuthFlags(std::string_view bytes) {
    AuthFlags flags;
    flags.Length = std::min(bytes.size(), AuthFlags::kMaxLength);
    flags.Value = flags.Length == 0 ? 0 : ReadLe(bytes, 0, static_cast<uint8_t>(flags.Length));
    return flags;
}

std::string EncodeAuthFlags(const AuthFlags& flags) {
    std::string bytes;
    AppendLe(bytes, flags.Value, static_cast<uint8_t>(flags.Length));
    return bytes;
}

std::vector<BitField> AuthFlagFields(std::size_t length) {
    std::vector<BitField> fields = {
        {"enable", 0, 1, {}},
        {"granted_to_authorized", 1, 1, {}},
        {"denied_to_unauthorized", 2, 1, {}},
        {"no_finger", 3, 1, {}},
        {"net_fast_react", 4, 1, {}},
    };
    if (length >= 2) {
        fields.insert(fields.end(), {{"ct_card_reject", 5, 1, {}},
                                     {"locked_uid_auto_unlock", 6, 1, {}},
                                     {"no_check_auth_set", 7, 1, {}},
                                     {"reader_lock", kAuthReaderLockShift, 2, kReaderLockNames},
                                     {"auth_block", kAuthBlockShift, 6, {}}});
    }
    return fields;
}

} // namespace velkor::device
