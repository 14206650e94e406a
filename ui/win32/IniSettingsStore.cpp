#include "ui/win32/IniSettingsStore.h"

#include "net/SocketPlatform.h"
#include "ui/win32/Win32Text.h"

#include <windows.h>

#include <vector>

namespace velkor {

namespace {

constexpr const wchar_t* kSection = L"Velkor";
// What a missing key reads as; no value written here can look like it, as
// every value is written between quotes.
constexpr const wchar_t* kMissing = L"\x1F<missing>\x1F";

std::wstring UserSettingsPath() {
    std::vector<wchar_t> folder(MAX_PATH);
    const DWORD length = GetEnvironmentVariableW(L"APPDATA", folder.data(), MAX_PATH);
    std::wstring path =
        length > 0 && length < MAX_PATH ? std::wstring(folder.data(), length) : std::wstring(L".");
    return path + L"\\Velkor\\Velkor.ini";
}

} // namespace

IniSettingsStore::IniSettingsStore() : path_(UserSettingsPath()) {
}

IniSettingsStore::IniSettingsStore(std::wstring path) : path_(std::move(path)) {
}

std::optional<std::string> IniSettingsStore::Read(const std::string& key) const {
    std::vector<wchar_t> value(4096);
    const DWORD length =
        GetPrivateProfileStringW(kSection, Wide(key).c_str(), kMissing, value.data(),
                                 static_cast<DWORD>(value.size()), path_.c_str());
    const std::wstring text(value.data(), length);
    if (text == kMissing) {
        return std::nullopt;
    }
    return Narrow(text);
}

bool IniSettingsStore::Write(const std::string& key, const std::string& value, std::string& error) {
    const size_t folderEnd = path_.find_last_of(L"\\/");
    if (folderEnd != std::wstring::npos) {
        CreateDirectoryW(path_.substr(0, folderEnd).c_str(), nullptr); // may exist already
    }
    // Between quotes, which the reading strips, so blanks at either end stay.
    const std::wstring quoted = L"\"" + Wide(value) + L"\"";
    if (WritePrivateProfileStringW(kSection, Wide(key).c_str(), quoted.c_str(), path_.c_str())) {
        return true;
    }
    const auto code = static_cast<int>(GetLastError());
    error = "cannot write " + Narrow(path_) + ": " + sockplat::ErrorText(code);
    return false;
}

} // namespace velkor
