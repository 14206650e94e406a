// Remembered settings on Qt: QSettings, per user in the platform's usual
// place (~/.config/Velkor/Velkor.conf on Linux), or in one ini file.
#pragma once

#include "ui/main/SettingsStore.h"

#include <QSettings>
#include <QString>

namespace velkor {

class QtSettingsStore final : public ISettingsStore {
public:
    // The user's own settings.
    QtSettingsStore();
    // The settings in the ini file at `path` (tests, portable use).
    explicit QtSettingsStore(const QString& path);

    std::optional<std::string> Read(const std::string& key) const override;
    bool Write(const std::string& key, const std::string& value, std::string& error) override;

private:
    QSettings settings_;
};

} // namespace velkor
