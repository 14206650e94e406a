#include "session/DiscoveryExport.h"

#include "base/TextNumbers.h"
#include "protocol/Win1251.h"
#include "protocol/eproto.h"

#include <nlohmann/json.hpp>

namespace velkor {

namespace {

std::optional<std::string> SecondsOrNothing(int32_t seconds) {
    return seconds == -1 ? std::nullopt : std::optional(std::to_string(seconds));
}

// Bit 31 is the sign flag (set: "+"), bits 0-30 the seconds.
std::optional<std::string> SignedSecondsOrNothing(int32_t raw) {
    if (raw == -1) {
        return std::nullopt;
    }
    const auto bits = static_cast<uint32_t>(raw);
    const int64_t seconds = bits & 0x7FFFFFFFu;
    return std::to_string((bits & 0x80000000u) != 0 ? seconds : -seconds);
}

} // namespace

std::vector<DiscoveryField> DiscoveryFields(const DiscoveryAnswer& answer, FieldTexts texts) {
    const TRFIDReaderTLVStruct& items = answer.Items;
    const auto number = [](unsigned value) { return std::optional(std::to_string(value)); };
    const auto text = [texts](const std::string& bytes) {
        return std::optional(texts == FieldTexts::Utf8 ? Utf8FromWin1251(bytes) : bytes);
    };
    return {
        {"mac", false, eproto_bytes_to_hex(items.MAC, "-")},
        {"ip", false, items.IPText},
        {"tcp_port", true, number(items.TCPPort)},
        {"mask", false, items.Addr3Text},
        {"gateway", false, items.Addr4Text},
        {"server", false, items.Addr5Text},
        {"name", false, text(items.Text12)},
        {"type", false, text(items.Text14)},
        {"text13", false, text(items.Text13)},
        {"uptime", true, SecondsOrNothing(items.Seconds)},
        {"signed_seconds", true, SignedSecondsOrNothing(items.SignedSeconds)},
        {"tag7", true, number(items.Tag7Value)},
        {"tag8", true, number(items.Tag8Byte)},
        {"tag9", true, number(items.Tag9Byte)},
        {"from", false, answer.FromIP + ":" + std::to_string(answer.FromPort)},
    };
}

std::string CsvField(std::string_view text) {
    const bool quote = text.find_first_of(",\"\r\n") != std::string_view::npos ||
                       (!text.empty() && (text.front() == ' ' || text.back() == ' '));
    if (!quote) {
        return std::string(text);
    }
    std::string field = "\"";
    for (char c : text) {
        field += c;
        if (c == '"') {
            field += '"';
        }
    }
    return field + "\"";
}

std::string DiscoveryCsv(const std::vector<DiscoveryAnswer>& answers) {
    std::string csv;
    const auto line = [&csv](const std::vector<std::string>& fields) {
        for (std::size_t k = 0; k < fields.size(); ++k) {
            if (k > 0) {
                csv += ',';
            }
            csv += CsvField(fields[k]);
        }
        csv += "\r\n";
    };
    std::vector<std::string> header;
    for (const DiscoveryField& field : DiscoveryFields(DiscoveryAnswer{})) {
        header.emplace_back(field.Name);
    }
    line(header);
    for (const DiscoveryAnswer& answer : answers) {
        std::vector<std::string> row;
        for (const DiscoveryField& field : DiscoveryFields(answer)) {
            row.push_back(field.Value.value_or(""));
        }
        line(row);
    }
    return csv;
}

std::string DiscoveryJson(const std::vector<DiscoveryAnswer>& answers, bool one_per_line) {
    nlohmann::ordered_json array = nlohmann::ordered_json::array();
    for (const DiscoveryAnswer& answer : answers) {
        nlohmann::ordered_json object = nlohmann::ordered_json::object();
        for (const DiscoveryField& field : DiscoveryFields(answer)) {
            if (!field.Value) {
                object[field.Name] = nullptr;
            } else if (const auto number =
                           field.Numeric ? base::ParseSigned(*field.Value, INT64_MIN, INT64_MAX)
                                         : std::nullopt) {
                object[field.Name] = *number;
            } else {
                object[field.Name] = *field.Value;
            }
        }
        array.push_back(std::move(object));
    }
    if (!one_per_line) {
        return array.dump(2) + "\n";
    }
    std::string lines;
    for (const auto& object : array) {
        lines += object.dump() + "\n";
    }
    return lines;
}

} // namespace velkor
