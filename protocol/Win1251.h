// Windows-1251 text helper. The system's texts travel as Windows-1251 bytes;
// source literals are UTF-8 and are converted once with these functions.
#pragma once

#include <string>
#include <string_view>

namespace velkor {

// UTF-8 to Windows-1251; a character the code page lacks becomes '?'.
std::string Win1251FromUtf8(std::string_view utf8);

// Windows-1251 to UTF-8; the one unassigned byte (0x98) becomes U+FFFD.
std::string Utf8FromWin1251(std::string_view win1251);

} // namespace velkor
