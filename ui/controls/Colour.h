// The one colour type of the window and dialog models. An RGB colour is
// 0x00BBGGRR: red in the lowest byte, then green, then blue (the layout of a
// Win32 COLORREF). Values at or above kSystemColour are not RGB: they name one
// of the toolkit's own colours, which each front end maps itself. A front end
// converts in one place: ui/qt/QtColour.h, ui/win32/Win32Colour.h.
#pragma once

#include <cstdint>

namespace velkor {

using TColour = uint32_t;

constexpr TColour RgbColour(uint8_t red, uint8_t green, uint8_t blue) {
    return static_cast<TColour>(red) | static_cast<TColour>(green) << 8 |
           static_cast<TColour>(blue) << 16;
}
constexpr uint8_t RedOf(TColour colour) {
    return colour & 0xFF;
}
constexpr uint8_t GreenOf(TColour colour) {
    return colour >> 8 & 0xFF;
}
constexpr uint8_t BlueOf(TColour colour) {
    return colour >> 16 & 0xFF;
}

inline constexpr TColour kSystemColour = 0x1000000;
inline constexpr TColour clDefault = kSystemColour;    // the control's own default
inline constexpr TColour clWindow = kSystemColour + 5; // normal window background

inline constexpr TColour clBlack = RgbColour(0, 0, 0);
inline constexpr TColour clWhite = RgbColour(255, 255, 255);
inline constexpr TColour clGrey = RgbColour(128, 128, 128);
inline constexpr TColour clSilver = RgbColour(192, 192, 192);
inline constexpr TColour clNavy = RgbColour(0, 0, 128);
inline constexpr TColour clGreen = RgbColour(0, 128, 0);
inline constexpr TColour clRed = RgbColour(255, 0, 0);

} // namespace velkor
