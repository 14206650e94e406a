// Remembered settings in one ini file, without a window toolkit: for a front
// end whose platform has no settings service of its own at hand (an ini file
// under %APPDATA% on Windows). A key "section/name" is the line "name=value"
// under "[section]"; a key without "/" goes under "[General]". Values keep
// their bytes; a backslash, CR and LF are written as \\, \r and \n.
#pragma once

#include "ui/main/SettingsStore.h"

#include <map>
#include <string>

namespace velkor {

class IniSettingsStore final : public ISettingsStore {
public:
    // Reads the file at `path` (the system's own byte encoding) if there is
    // one; lines that are not "[section]" or "name=value" are skipped.
    explicit IniSettingsStore(std::string path);

    std::optional<std::string> Read(const std::string& key) const override;
    // Writes the whole file again, making its folder first if needed; a
    // file that cannot be written keeps the value for this run only.
    void Write(const std::string& key, const std::string& value) override;

private:
    void Save() const;

    std::string path_;
    std::map<std::string, std::map<std::string, std::string>> sections_;
};

} // namespace velkor
