// The one place where the system's Windows-1251 byte strings meet Qt's
// Unicode strings.
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace velkor {

QString ToQt(std::string_view win1251);
std::string FromQt(const QString& text);

} // namespace velkor
