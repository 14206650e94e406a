// The one place where the system's Windows-1251 byte strings meet the
// wide-character API of Windows. The conversion goes through the project's
// own code-page table, so both front ends show every byte the same way.
#pragma once

#include <string>
#include <string_view>

namespace velkor {

std::wstring Wide(std::string_view win1251);
// A character the code page lacks becomes '?'.
std::string Narrow(std::wstring_view text);

} // namespace velkor
