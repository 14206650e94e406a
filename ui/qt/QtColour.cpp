#include "ui/qt/QtColour.h"

namespace velkor {

QColor ModelColour(TColour colour) {
    if (colour >= kSystemColour) {
        return {};
    }
    return QColor::fromRgb(RedOf(colour), GreenOf(colour), BlueOf(colour));
}

} // namespace velkor
