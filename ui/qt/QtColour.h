// Model colours on Qt: the one conversion from TColour to QColor.
#pragma once

#include "ui/controls/Colour.h"

#include <QColor>

namespace velkor {

// An RGB model colour as a Qt colour; invalid for the toolkit's own colours
// (kSystemColour and above), which the caller maps to the widget's palette.
QColor ModelColour(TColour colour);

} // namespace velkor
