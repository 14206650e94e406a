// UTF-8 at the program's edges on every system: the command line's arguments,
// the text shown on a console and the file names given by the user. One
// platform file per system.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace velkor::cli {

// The program's arguments after its name, in UTF-8 whatever the system's code
// page (Windows hands `main` its arguments in the ANSI code page).
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// Makes a console show the UTF-8 the program writes; nothing to do where
// terminals take UTF-8 already.
void ShowUtf8OnConsole();

// A file name given in UTF-8, as a path the system opens.
inline std::filesystem::path PathFromUtf8(const std::string& name) {
    return std::filesystem::path(std::u8string(name.begin(), name.end()));
}

} // namespace velkor::cli
