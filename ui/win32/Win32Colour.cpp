#include "ui/win32/Win32Colour.h"

#include <cassert>

namespace velkor {

COLORREF ModelColour(TColour colour) {
    assert(colour < kSystemColour);
    return RGB(RedOf(colour), GreenOf(colour), BlueOf(colour));
}

} // namespace velkor
