// Appends the traffic-log lines to a file as UTF-8, one line each, flushed at
// once so a capture is complete even if the program ends abruptly.
#pragma once

#include <QFile>
#include <QString>

#include <string>

namespace velkor {

class LogFileMirror {
public:
    // Opens `path` for appending; false with `error` set when it cannot.
    bool Open(const QString& path, QString* error);
    // `line` holds Windows-1251 bytes.
    void Write(const std::string& line);

private:
    QFile file_;
};

} // namespace velkor
