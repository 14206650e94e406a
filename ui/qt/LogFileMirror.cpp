#include "ui/qt/LogFileMirror.h"

#include "ui/qt/QtText.h"

namespace velkor {

bool LogFileMirror::Open(const QString& path, QString* error) {
    file_.setFileName(path);
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        if (error != nullptr) {
            *error = "Cannot open the log file " + path + ": " + file_.errorString();
        }
        return false;
    }
    return true;
}

void LogFileMirror::Write(const std::string& line) {
    if (!file_.isOpen()) {
        return;
    }
    file_.write((ToQt(line) + '\n').toUtf8());
    file_.flush();
}

} // namespace velkor
