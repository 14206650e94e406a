// Discovery answers as named fields, written as CSV (RFC 4180) or JSON, for
// the command-line tool and the window's device-table export alike. Texts of
// the answers are Windows-1251 bytes and come out as UTF-8.
#pragma once

#include "session/DiscoveryAnswer.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velkor {

// One field of an answer: its value as text (decimal for numbers), or nothing
// when the answer did not carry it.
struct DiscoveryField {
    const char* Name;
    bool Numeric;
    std::optional<std::string> Value;
};

// How the texts the controller sent (name, type, text13) come out.
enum class FieldTexts { Utf8, Win1251 };

// Every field of the answer, always the same names in the same order: mac, ip,
// tcp_port, mask, gateway, server, name, type, text13, uptime,
// signed_seconds, tag7, tag8, tag9, from. The window keeps the controller's
// texts as Windows-1251 bytes like all its texts; files get UTF-8.
std::vector<DiscoveryField> DiscoveryFields(const DiscoveryAnswer& answer,
                                            FieldTexts texts = FieldTexts::Utf8);

// A header line and one line per answer, CRLF line ends; an absent value is
// an empty field.
std::string DiscoveryCsv(const std::vector<DiscoveryAnswer>& answers);
// One JSON object per answer, the fields in their fixed order, absent values
// null; `one_per_line` writes JSON lines instead of one array.
std::string DiscoveryJson(const std::vector<DiscoveryAnswer>& answers, bool one_per_line = false);

// A CSV field: quoted (with inner quotes doubled) when it holds a comma, a
// quote, a line break or surrounding blanks.
std::string CsvField(std::string_view text);

} // namespace velkor
