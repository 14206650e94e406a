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

void QtSettingsStore::Write(const std::string& key, const std::string& value) {
    settings_.setValue(QString::fromStdString(key), ToQt(value));
}

} // namespace velkor
