// Dotted-decimal IPv4 text. The numbers here are in host byte order: the
// first octet is the most significant byte ("1.2.3.4" is 0x01020304), so
// they compare and count like addresses. The socket layer keeps its own
// network-order form on top of these.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace base {

// Exactly four decimal octets of one to three digits each, no sign, no
// blanks ("010" is ten, not octal).
std::optional<uint32_t> ParseIPv4HostOrder(std::string_view text);

std::string IPv4TextFromHostOrder(uint32_t address);

} // namespace base
