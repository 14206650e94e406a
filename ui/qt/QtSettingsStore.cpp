#include "ui/qt/QtSettingsStore.h"

#include "ui/qt/QtText.h"

namespace velkor {

QtSettingsStore::QtSettingsStore()
    : settings_(QSettings::NativeFormat, QSettings::UserScope, "Velkor", "Velkor") {
}

QtSettingsStore::QtSettingsStore(const QString& path) : settings_(path, QSettings::IniFormat) {
}

std::optional<std::string> QtSettingsStore::Read(const std::string& key) const {
    const QVariant value = settings_.value(QString::fromStdString(key));
    if (!value.isValid()) {
        return std::nullopt;
    }
    return FromQt(value.toString());
}

bool QtSettingsStore::Write(const std::string& key, const std::string& value, std::string& error) {
    settings_.setValue(QString::fromStdString(key), ToQt(value));
    settings_.sync(); // now, so a failure is known while the user is there
    if (settings_.status() == QSettings::NoError) {
        return true;
    }
    error = "cannot write " + FromQt(settings_.fileName());
    return false;
}

} // namespace velkor
