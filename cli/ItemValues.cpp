#include "cli/ItemValues.h"

#include "cli/CliOptions.h"
#include "device/Catalogue.h"
#include "device/SettingsRecords.h"
#include "net/UKVTSocket.h"
#include "protocol/Win1251.h"
#include "protocol/eproto.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <map>

namespace velkor::cli {

namespace {

using device::SettingsItemInfo;
using device::ValueKind;
using Fields = std::map<std::string, std::string>;

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The name a script uses for a list entry: its text up to ':' or a blank.
std::string EntryKey(const char* entry) {
    const std::string text = entry;
    return Lower(text.substr(0, text.find_first_of(": ")));
}

std::string Ipv4(const std::array<uint8_t, 4>& octets) {
    return std::to_string(octets[0]) + "." + std::to_string(octets[1]) + "." +
           std::to_string(octets[2]) + "." + std::to_string(octets[3]);
}

std::string Hex(const uint8_t* bytes, std::size_t count) {
    return eproto_bytes_to_hex(bytes, count, "");
}

std::string Join(const std::vector<std::pair<std::string, std::string>>& pairs) {
    std::string text;
    for (const auto& [key, value] : pairs) {
        if (!text.empty()) {
            text += ' ';
        }
        text += key + "=" + value;
    }
    return text;
}

// "a=1 b=2" or "a=1,b=2" into fields; false for a token without '='.
bool SplitFields(const std::string& text, Fields& fields, std::string* error) {
    std::string token;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        const char c = i < text.size() ? text[i] : ' ';
        if (c != ' ' && c != ',' && c != '\t') {
            token += c;
            continue;
        }
        if (token.empty()) {
            continue;
        }
        const std::size_t equals = token.find('=');
        if (equals == std::string::npos || equals == 0) {
            *error = "expected KEY=VALUE, not \"" + token + "\"";
            return false;
        }
        fields[Lower(token.substr(0, equals))] = token.substr(equals + 1);
        token.clear();
    }
    return true;
}

// Takes a field out of `fields`; false with `error` when its value is bad.
struct FieldReader {
    Fields& fields;
    std::string* error;

    template <typename Parse> bool Take(const std::string& key, Parse parse) {
        const auto found = fields.find(key);
        if (found == fields.end()) {
            return true;
        }
        const std::string value = found->second;
        fields.erase(found);
        if (!parse(value)) {
            if (error->empty()) {
                *error = key + "=" + value + " is not a valid value";
            }
            return false;
        }
        return true;
    }
    bool Number(const std::string& key, uint32_t max, uint32_t& out) {
        return Take(key, [&](const std::string& value) {
            const auto parsed = ParseUnsigned(value, max);
            if (!parsed) {
                *error = key + " must be 0 to " + std::to_string(max) + ", not \"" + value + "\"";
                return false;
            }
            out = *parsed;
            return true;
        });
    }
    template <std::size_t N> bool HexBytes(const std::string& key, std::array<uint8_t, N>& out) {
        return Take(key, [&](const std::string& value) {
            const std::string bytes = eproto_hex_to_bytes(value);
            if (value.size() != 2 * N || bytes.size() != N) {
                *error = key + " must be " + std::to_string(2 * N) + " hexadecimal digits, not \"" +
                         value + "\"";
                return false;
            }
            std::copy(bytes.begin(), bytes.end(), out.begin());
            return true;
        });
    }
    bool Address(const std::string& key, std::array<uint8_t, 4>& out) {
        return Take(key, [&](const std::string& value) {
            const auto ip = KVT_ParseIPv4NetworkOrder(value);
            if (!ip) {
                *error = key + " must be a dotted IPv4 address, not \"" + value + "\"";
                return false;
            }
            std::memcpy(out.data(), &*ip, 4);
            return true;
        });
    }
    bool Choice(const std::string& key, std::span<const char* const> names, uint32_t& out) {
        return Take(key, [&](const std::string& value) {
            for (std::size_t k = 0; k < names.size(); ++k) {
                if (EntryKey(names[k]) == Lower(value) || std::to_string(k) == value) {
                    out = static_cast<uint32_t>(k);
                    return true;
                }
            }
            *error = key + " must be one of";
            for (const char* name : names) {
                *error += ' ';
                *error += EntryKey(name);
            }
            *error += ", not \"" + value + "\"";
            return false;
        });
    }
    bool Finish() {
        if (!fields.empty() && error->empty()) {
            *error = "unknown field \"" + fields.begin()->first + "\"";
        }
        return fields.empty() && error->empty();
    }
};

std::string ChoiceName(std::span<const char* const> names, uint32_t position) {
    return position < names.size() ? EntryKey(names[position]) : std::to_string(position);
}

// ---- Records ----

std::string FormatNetwork(const std::string& value) {
    const auto record = device::DecodeNetworkRecord(value);
    if (!record) {
        return {};
    }
    return Join({{"mac", Hex(record->Mac.data(), 6)},
                 {"ip", Ipv4(record->Ip)},
                 {"mask", Ipv4(record->Mask)},
                 {"gateway", Ipv4(record->Gateway)},
                 {"udp_port", std::to_string(record->UdpPort)},
                 {"tcp_port", std::to_string(record->TcpPort)},
                 {"debug_port", std::to_string(record->DebugPort)}});
}

std::optional<std::string> ParseNetwork(Fields fields, const std::string& current,
                                        std::string* error) {
    auto record = device::DecodeNetworkRecord(current).value_or(device::NetworkRecord{});
    FieldReader reader{fields, error};
    uint32_t udp = record.UdpPort, tcp = record.TcpPort, debug = record.DebugPort;
    if (!reader.HexBytes("mac", record.Mac) || !reader.Address("ip", record.Ip) ||
        !reader.Address("mask", record.Mask) || !reader.Address("gateway", record.Gateway) ||
        !reader.Number("udp_port", 65535, udp) || !reader.Number("tcp_port", 65535, tcp) ||
        !reader.Number("debug_port", 65535, debug) || !reader.Finish()) {
        return std::nullopt;
    }
    record.UdpPort = static_cast<uint16_t>(udp);
    record.TcpPort = static_cast<uint16_t>(tcp);
    record.DebugPort = static_cast<uint16_t>(debug);
    return device::EncodeNetworkRecord(record);
}

std::string FormatKeys(const std::string& value) {
    const auto keys = device::DecodeSectorKeys(value);
    if (!keys) {
        return {};
    }
    std::vector<std::pair<std::string, std::string>> pairs;
    for (int n = 0; n < device::SectorKeys::kSectors; ++n) {
        pairs.emplace_back("key" + std::to_string(n), Hex(keys->Keys[n].data(), 6));
    }
    char mask[8];
    std::snprintf(mask, sizeof mask, "0x%04X", keys->KeyBMask);
    pairs.emplace_back("key_b_mask", mask);
    return Join(pairs);
}

std::optional<std::string> ParseKeys(Fields fields, const std::string& current,
                                     std::string* error) {
    auto keys = device::DecodeSectorKeys(current).value_or(device::SectorKeys{});
    FieldReader reader{fields, error};
    for (int n = 0; n < device::SectorKeys::kSectors; ++n) {
        if (!reader.HexBytes("key" + std::to_string(n), keys.Keys[n])) {
            return std::nullopt;
        }
    }
    uint32_t mask = keys.KeyBMask;
    if (!reader.Number("key_b_mask", 0xFFFF, mask) || !reader.Finish()) {
        return std::nullopt;
    }
    keys.KeyBMask = static_cast<uint16_t>(mask);
    return device::EncodeSectorKeys(keys);
}

std::string FormatUsart(const std::string& value) {
    const auto block = device::DecodeUsartBlock(value);
    if (!block) {
        return {};
    }
    const uint8_t two = device::kUsartTwoBitMask;
    char words[2][8];
    std::snprintf(words[0], sizeof words[0], "0x%04X", block->AdvancedParameters);
    std::snprintf(words[1], sizeof words[1], "0x%04X", block->AdvancedFeatures);
    return Join(
        {{"plan", ChoiceName(device::UsartPlanNames(), block->Plan)},
         {"mode", ChoiceName(device::UsartModeNames(), block->Mode)},
         {"baud", std::to_string(block->Baud)},
         {"word_length", ChoiceName(device::UsartWordLengthNames(), block->WordLength & two)},
         {"flow_control", ChoiceName(device::UsartFlowControlNames(), block->FlowControl & two)},
         {"parity", ChoiceName(device::UsartParityNames(), block->Parity & two)},
         {"stop_bits", ChoiceName(device::UsartStopBitsNames(), block->StopBits & two)},
         {"advanced_parameters", words[0]},
         {"advanced_features", words[1]}});
}

std::optional<std::string> ParseUsart(Fields fields, const std::string& current,
                                      std::string* error) {
    auto block = device::DecodeUsartBlock(current).value_or(device::UsartBlock{});
    FieldReader reader{fields, error};
    uint32_t plan = block.Plan, mode = block.Mode, baud = block.Baud;
    uint32_t word = block.WordLength, flow = block.FlowControl, parity = block.Parity,
             stop = block.StopBits, parameters = block.AdvancedParameters,
             features = block.AdvancedFeatures;
    if (!reader.Choice("plan", device::UsartPlanNames(), plan) ||
        !reader.Choice("mode", device::UsartModeNames(), mode) ||
        !reader.Number("baud", 65535, baud) ||
        !reader.Choice("word_length", device::UsartWordLengthNames(), word) ||
        !reader.Choice("flow_control", device::UsartFlowControlNames(), flow) ||
        !reader.Choice("parity", device::UsartParityNames(), parity) ||
        !reader.Choice("stop_bits", device::UsartStopBitsNames(), stop) ||
        !reader.Number("advanced_parameters", 0xFFFF, parameters) ||
        !reader.Number("advanced_features", 0xFFFF, features) || !reader.Finish()) {
        return std::nullopt;
    }
    if (baud < 50) {
        *error = "baud must be 50 to 65535 (the block holds 16 bits)";
        return std::nullopt;
    }
    block = {static_cast<uint8_t>(plan),     static_cast<uint8_t>(mode),
             static_cast<uint16_t>(baud),    static_cast<uint8_t>(word),
             static_cast<uint8_t>(flow),     static_cast<uint8_t>(parity),
             static_cast<uint8_t>(stop),     static_cast<uint16_t>(parameters),
             static_cast<uint16_t>(features)};
    return device::EncodeUsartBlock(block);
}

std::string FormatLockers(const std::string& value) {
    const device::LockersList list = device::DecodeLockersList(value);
    std::string text = "rows=" + std::to_string(list.Rows);
    if (!list.Complete) {
        return text + " (incomplete)";
    }
    std::string entries;
    for (const TLockInfo& lock : list.Lockers) {
        if (!entries.empty()) {
            entries += ',';
        }
        entries += std::to_string(lock.Block) + ":" + Utf8FromWin1251(lock.Name);
    }
    return text + " lockers=" + entries;
}

// "62:Шкаф,33:Сейф" into a record with at least the current value's rows.
std::optional<std::string> ParseLockers(const std::string& text, const std::string& current,
                                        std::string* error) {
    std::vector<TLockInfo> locks;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(',', start);
        end = end == std::string::npos ? text.size() : end;
        const std::string entry = text.substr(start, end - start);
        start = end + 1;
        const std::size_t colon = entry.find(':');
        const auto block = ParseUnsigned(entry.substr(0, colon), 63);
        if (colon == std::string::npos || !block ||
            !device::IsLockerBlock(static_cast<int>(*block))) {
            *error = "a locker is BLOCK:NAME with a block of 1 to 62 that is not a sector "
                     "trailer (3, 7, ..., 63), not \"" +
                     entry + "\"";
            return std::nullopt;
        }
        const std::string name = Win1251FromUtf8(entry.substr(colon + 1));
        if (name.size() > device::kLockerNameSize) {
            *error = "locker name \"" + entry.substr(colon + 1) + "\" is longer than 15 bytes";
            return std::nullopt;
        }
        locks.push_back({static_cast<uint8_t>(*block), name});
    }
    const std::size_t rows = std::max<std::size_t>(device::DecodeLockersList(current).Rows, 5);
    if (locks.size() > rows) {
        *error = std::to_string(locks.size()) + " lockers do not fit the controller's " +
                 std::to_string(rows) + " rows";
        return std::nullopt;
    }
    return device::LockersRecord(locks, static_cast<int>(rows));
}

// ---- Flags ----

std::vector<device::BitField> FlagFields(const SettingsItemInfo& item, std::size_t length) {
    switch (item.Kind) {
    case ValueKind::OptoFlags: {
        const auto fields = device::OptoFlagFields();
        return {fields.begin(), fields.end()};
    }
    case ValueKind::DebugFlags: {
        const auto fields = device::DebugFlagFields();
        return {fields.begin(), fields.end()};
    }
    default:
        return device::AuthFlagFields(length);
    }
}

std::string FormatFlags(const SettingsItemInfo& item, const std::string& value) {
    const device::AuthFlags flags = device::DecodeAuthFlags(
        value.substr(0, item.Kind == ValueKind::AuthFlags ? device::AuthFlags::kMaxLength : 1));
    std::vector<std::pair<std::string, std::string>> pairs;
    for (const device::BitField& field : FlagFields(item, flags.Length)) {
        const uint32_t bits = field.Of(flags.Value);
        pairs.emplace_back(field.Name, field.Names.empty() ? std::to_string(bits)
                                                           : ChoiceName(field.Names, bits));
    }
    return Join(pairs);
}

std::optional<std::string> ParseFlags(const SettingsItemInfo& item, Fields fields,
                                      const std::string& current, std::string* error) {
    const std::size_t length =
        item.Kind == ValueKind::AuthFlags ? std::max<std::size_t>(current.size(), 2) : 1;
    device::AuthFlags flags = device::DecodeAuthFlags(current.substr(0, length));
    flags.Length = std::min(length, device::AuthFlags::kMaxLength);
    FieldReader reader{fields, error};
    for (const device::BitField& field : FlagFields(item, flags.Length)) {
        uint32_t bits = field.Of(flags.Value);
        const uint32_t max = (1u << field.Width) - 1;
        if (!(field.Names.empty() ? reader.Number(field.Name, max, bits)
                                  : reader.Choice(field.Name, field.Names, bits))) {
            return std::nullopt;
        }
        flags.Value = (flags.Value & ~field.Mask()) | (bits << field.Shift);
    }
    if (!reader.Finish()) {
        return std::nullopt;
    }
    return device::EncodeAuthFlags(flags);
}

} // namespace

const SettingsItemInfo* ItemByNumberOrName(const std::string& text) {
    if (const auto number = ParseUnsigned(text, 255)) {
        return device::FindSettingsItem(static_cast<uint8_t>(*number));
    }
    return device::FindSettingsItem(Lower(text));
}

bool NeedsCurrentValue(const SettingsItemInfo& item, const std::string& text) {
    return text.rfind("hex:", 0) != 0 && item.Kind != ValueKind::Number &&
           item.Kind != ValueKind::Choice;
}

std::string FormatValue(const SettingsItemInfo& item, const std::string& value) {
    if (value.empty()) {
        return "(none)";
    }
    switch (item.Kind) {
    case ValueKind::Network:
        return FormatNetwork(value);
    case ValueKind::SectorKeys:
        return FormatKeys(value);
    case ValueKind::Lockers:
        return FormatLockers(value);
    case ValueKind::Usart:
        return FormatUsart(value);
    case ValueKind::OptoFlags:
    case ValueKind::DebugFlags:
    case ValueKind::AuthFlags:
        return FormatFlags(item, value);
    case ValueKind::Number:
        return value.size() < item.Width ? "(short: " + eproto_bytes_to_hex(value) + ")"
                                         : std::to_string(device::ReadLe(value, 0, item.Width));
    case ValueKind::Choice: {
        const auto byte = static_cast<uint8_t>(value[0]);
        const TByteMenuInfo* info = FindByteMenuInfo(byte, ByteMenuTableForItem(item.Item));
        return info != nullptr ? Utf8FromWin1251(info->ShortName) : std::to_string(byte);
    }
    }
    return {};
}

std::optional<std::string> ParseValue(const SettingsItemInfo& item, const std::string& text,
                                      const std::string& current, std::string* error) {
    if (text.rfind("hex:", 0) == 0) {
        const std::string digits = text.substr(4);
        const std::string bytes = eproto_hex_to_bytes(digits);
        if (digits.empty() || bytes.size() * 2 != digits.size()) {
            *error = "hex: needs pairs of hexadecimal digits";
            return std::nullopt;
        }
        const bool fixed = item.Kind != ValueKind::Lockers && item.Kind != ValueKind::AuthFlags;
        if (fixed && bytes.size() != item.Width) {
            *error = std::string(item.Name) + " takes " + std::to_string(item.Width) +
                     " bytes, not " + std::to_string(bytes.size());
            return std::nullopt;
        }
        if (bytes.size() > 134) {
            *error = "a value holds at most 134 bytes";
            return std::nullopt;
        }
        return bytes;
    }
    Fields fields;
    switch (item.Kind) {
    case ValueKind::Number: {
        const auto number = ParseUnsigned(text, item.Max);
        if (!number || *number < item.Min) {
            *error = std::string(item.Name) + " must be " + std::to_string(item.Min) + " to " +
                     std::to_string(item.Max) + ", not \"" + text + "\"";
            return std::nullopt;
        }
        std::string bytes;
        device::AppendLe(bytes, *number, item.Width);
        return bytes;
    }
    case ValueKind::Choice: {
        const auto table = ByteMenuTableForItem(item.Item);
        for (const TByteMenuInfo& row : table) {
            if (Lower(row.ShortName) == Lower(text) || std::to_string(row.Value) == text) {
                return std::string(1, static_cast<char>(row.Value));
            }
        }
        *error = std::string(item.Name) + " must be one of";
        for (const TByteMenuInfo& row : table) {
            *error += " " + Utf8FromWin1251(row.ShortName) + " (" + std::to_string(row.Value) + ")";
        }
        return std::nullopt;
    }
    case ValueKind::Lockers:
        return ParseLockers(text, current, error);
    default:
        break;
    }
    if (!SplitFields(text, fields, error)) {
        return std::nullopt;
    }
    switch (item.Kind) {
    case ValueKind::Network:
        return ParseNetwork(fields, current, error);
    case ValueKind::SectorKeys:
        return ParseKeys(fields, current, error);
    case ValueKind::Usart:
        return ParseUsart(fields, current, error);
    default:
        return ParseFlags(item, fields, current, error);
    }
}

} // namespace velkor::cli
