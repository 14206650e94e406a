// Velkor on Windows: the RFID reader configurator with its native window.
#include "ui/main/CommandLine.h"
#include "ui/win32/Configurator.h"
#include "ui/win32/IniSettingsStore.h"
#include "ui/win32/MainWindowView.h"
#include "ui/win32/MessagePump.h"

#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

namespace {

// The arguments in the system's own byte encoding (the ANSI code page), as
// the file functions of the C library take paths.
std::vector<std::string> Arguments() {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int n = 0; n < count; ++n) {
        const int size = WideCharToMultiByte(CP_ACP, 0, wide[n], -1, nullptr, 0, nullptr, nullptr);
        std::string argument(static_cast<size_t>(size > 0 ? size - 1 : 0), '\0');
        WideCharToMultiByte(CP_ACP, 0, wide[n], -1, argument.data(), size, nullptr, nullptr);
        arguments.push_back(std::move(argument));
    }
    LocalFree(wide);
    return arguments;
}

std::wstring FromSystem(const std::string& text) {
    const int size =
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    return wide;
}

// Writes `text` where the user started Velkor from: the redirected output,
// or the console of the command prompt it was started in. A program started
// from the desktop has neither; then a message box shows the text.
void Tell(const std::string& text, bool error) {
    const HANDLE stream = GetStdHandle(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    DWORD written = 0;
    if (stream != nullptr && stream != INVALID_HANDLE_VALUE &&
        GetFileType(stream) != FILE_TYPE_UNKNOWN) {
        WriteFile(stream, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        const HANDLE console = CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                                           OPEN_EXISTING, 0, nullptr);
        const std::wstring wide = FromSystem(text);
        const bool shown = console != INVALID_HANDLE_VALUE &&
                           WriteConsoleW(console, wide.c_str(), static_cast<DWORD>(wide.size()),
                                         &written, nullptr);
        if (console != INVALID_HANDLE_VALUE) {
            CloseHandle(console);
        }
        FreeConsole();
        if (shown) {
            return;
        }
    }
    MessageBoxW(nullptr, FromSystem(text).c_str(), L"Velkor",
                MB_OK | (error ? MB_ICONERROR : MB_ICONINFORMATION));
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const std::vector<std::string> arguments = Arguments();
    const std::string program =
        velkor::ProgramFileName(arguments.empty() ? "Velkor.exe" : arguments.front());
    const velkor::CommandLineResult command = velkor::ParseCommandLine(arguments);
    switch (command.action) {
    case velkor::CommandLineResult::Action::ShowHelp:
    case velkor::CommandLineResult::Action::ShowVersion:
        Tell(command.message, false);
        return 0;
    case velkor::CommandLineResult::Action::Fail:
        Tell(program + ": " + command.message + " (see --help)\n", true);
        return 2;
    case velkor::CommandLineResult::Action::Run:
        break;
    }
    if (const auto wrong = velkor::CheckInterfaceOption(command.options)) {
        Tell(program + ": " + *wrong + "\n", true);
        return 2;
    }

    velkor::Configurator configurator(command.options,
                                      std::make_unique<velkor::IniSettingsStore>());
    configurator.Window().SetClosedHandler([] { PostQuitMessage(0); });
    std::string error;
    if (!configurator.Start(&error)) {
        Tell("Velkor: " + error + "\n", true);
        return 1;
    }
    return velkor::RunMessageLoop();
}
