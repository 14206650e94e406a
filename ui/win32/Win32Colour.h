// Model colours on Win32: the one conversion from TColour to COLORREF.
#pragma once

#include "ui/controls/Colour.h"

#include <windows.h>

namespace velkor {

// An RGB model colour as a Win32 colour. The toolkit's own colours
// (kSystemColour and above) have no COLORREF: the caller maps those itself.
COLORREF ModelColour(TColour colour);

} // namespace velkor
