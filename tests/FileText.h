// Test support: a file's whole content, byte for byte (empty when it cannot be read).
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace testfiles {

inline std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

} // namespace testfiles
