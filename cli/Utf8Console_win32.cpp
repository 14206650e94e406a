#include "cli/Utf8Console.h"

#include <windows.h>

#include <shellapi.h>

namespace velkor::cli {

namespace {

std::string Utf8FromWide(const wchar_t* text) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) {
        return {};
    }
    std::string utf8(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), size, nullptr, nullptr);
    utf8.pop_back(); // the terminating zero
    return utf8;
}

} // namespace

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    // The ANSI arguments in `argv` have lost what the code page cannot hold
    // (Cyrillic on a Western system); the wide command line has everything.
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == nullptr) {
        return std::vector<std::string>(argv + 1, argv + argc);
    }
    std::vector<std::string> arguments;
    for (int k = 1; k < count; ++k) {
        arguments.push_back(Utf8FromWide(wide[k]));
    }
    ::LocalFree(wide);
    return arguments;
}

void ShowUtf8OnConsole() {
    ::SetConsoleOutputCP(CP_UTF8);
}

} // namespace velkor::cli
