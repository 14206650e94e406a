// The font of the configurator's windows: 8-point "MS Sans Serif" where the
// system has it, else the system's message font.
#pragma once

#include <windows.h>

#include <string>

namespace velkor {

struct FontChoice {
    std::wstring face;
    int points;
};

FontChoice WindowFontChoice();

} // namespace velkor
