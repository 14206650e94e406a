#include "ui/qt/QtText.h"

#include "protocol/Win1251.h"

namespace velkor {

QString ToQt(std::string_view win1251) {
    const std::string utf8 = Utf8FromWin1251(win1251);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string FromQt(const QString& text) {
    return Win1251FromUtf8(text.toStdString());
}

} // namespace velkor
