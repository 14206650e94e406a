// Writing a whole text file in one go (saved logs, exported tables).
#pragma once

#include <string>
#include <string_view>

namespace velkor {

// Replaces the file at `path` (the system's own byte encoding) with `bytes`;
// false with `error` set when it cannot be written in full.
bool WriteTextFile(const std::string& path, std::string_view bytes, std::string* error);

} // namespace velkor
