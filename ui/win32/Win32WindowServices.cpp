#include "ui/win32/Win32WindowServices.h"

#include "ui/main/DirectConnect.h"
#include "ui/win32/PopupMenu.h"
#include "ui/win32/Win32Text.h"

#include <commdlg.h>

#include <cstring>

namespace velkor {

namespace {

// A path from the save dialog in the system's own byte encoding (the ANSI
// code page), which the file functions of the C library take.
std::string SystemPath(const std::wstring& path) {
    const int size = WideCharToMultiByte(CP_ACP, 0, path.c_str(), static_cast<int>(path.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, path.c_str(), static_cast<int>(path.size()), bytes.data(), size,
                        nullptr, nullptr);
    return bytes;
}

std::wstring WithCrLf(const std::wstring& text) {
    std::wstring converted;
    converted.reserve(text.size() + text.size() / 16);
    for (const wchar_t c : text) {
        if (c == L'\n') {
            converted += L'\r';
        }
        converted += c;
    }
    return converted;
}

} // namespace

Win32WindowServices::Win32WindowServices(WindowLocator window, ControlLocator windowOf)
    : window_(std::move(window)), windowOf_(std::move(windowOf)) {
}

bool Win32WindowServices::IsCtrlDown() const {
    return GetKeyState(VK_CONTROL) < 0;
}

void Win32WindowServices::Popup(const TPopupMenu& menu, const TControl* below) {
    if (menu.Items().empty()) {
        return;
    }
    POINT at{};
    GetCursorPos(&at);
    if (const HWND anchor = below != nullptr ? windowOf_(below) : nullptr) {
        RECT place{};
        GetWindowRect(anchor, &place);
        at = {place.left, place.bottom};
    }
    const PopupMenu shown(menu.Items());
    if (const TMenuItem* chosen = shown.Track(window_(), at)) {
        chosen->Click();
    }
}

bool Win32WindowServices::AskYesNo(const std::string& text, const std::string& caption) {
    return MessageBoxW(window_(), Wide(text).c_str(), Wide(caption).c_str(),
                       MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

std::optional<std::vector<std::string>>
Win32WindowServices::ReadLines(const std::string& fileName) {
    return ReadTextFileLines(fileName);
}

std::optional<std::string> Win32WindowServices::AskSaveFileName(const std::string& caption,
                                                                const std::string& fileName,
                                                                const std::string& kind,
                                                                const std::string& pattern) {
    // "CSV files (*.csv)" NUL "*.csv" NUL NUL
    std::wstring filter = Wide(kind + " (" + pattern + ")");
    filter += L'\0';
    filter += Wide(pattern);
    filter += L'\0';
    const std::wstring extension = Wide(pattern.substr(pattern.find('.') + 1));
    const std::wstring title = Wide(caption);
    wchar_t path[MAX_PATH] = {};
    const std::wstring suggested = Wide(fileName);
    suggested.copy(path, MAX_PATH - 1);

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = window_();
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = path;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrTitle = title.c_str();
    dialog.lpstrDefExt = extension.c_str();
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    if (!GetSaveFileNameW(&dialog)) {
        return std::nullopt;
    }
    return SystemPath(path);
}

void Win32WindowServices::SetClipboardText(const std::string& text) {
    const std::wstring converted = WithCrLf(Wide(text));
    const size_t bytes = (converted.size() + 1) * sizeof(wchar_t);
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (memory == nullptr) {
        return;
    }
    std::memcpy(GlobalLock(memory), converted.c_str(), bytes);
    GlobalUnlock(memory);
    if (!OpenClipboard(window_())) {
        GlobalFree(memory);
        return;
    }
    EmptyClipboard();
    if (SetClipboardData(CF_UNICODETEXT, memory) == nullptr) {
        GlobalFree(memory); // the clipboard did not take it
    }
    CloseClipboard();
}

} // namespace velkor
