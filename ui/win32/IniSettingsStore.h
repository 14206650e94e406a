// Remembered settings on Windows: one ini file per user,
// %APPDATA%\Velkor\Velkor.ini, section [Velkor], one key per setting.
#pragma once

#include "ui/main/SettingsStore.h"

#include <string>

namespace velkor {

class IniSettingsStore final : public ISettingsStore {
public:
    // The user's own settings (the folder is made on the first write).
    IniSettingsStore();
    // The settings in the ini file at `path` (tests, portable use).
    explicit IniSettingsStore(std::wstring path);

    const std::wstring& Path() const { return path_; }
    std::optional<std::string> Read(const std::string& key) const override;
    bool Write(const std::string& key, const std::string& value, std::string& error) override;

private:
    std::wstring path_;
};

} // namespace velkor
