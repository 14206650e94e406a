// The fonts of Velkor's windows, made for a given resolution (dots per inch):
// the 8-point "MS Sans Serif" where the system has it, else the system's
// message font; a fixed-pitch font for the traffic log; larger variants for
// the card panel. Each font is owned by the object that made it.
#pragma once

#include <windows.h>

namespace velkor {

class UiFont {
public:
    UiFont() = default;
    explicit UiFont(HFONT font) : font_(font) {}
    ~UiFont();
    UiFont(UiFont&& other) noexcept : font_(other.font_) { other.font_ = nullptr; }
    UiFont& operator=(UiFont&& other) noexcept;
    UiFont(const UiFont&) = delete;
    UiFont& operator=(const UiFont&) = delete;

    HFONT Handle() const { return font_; }

private:
    HFONT font_ = nullptr;
};

// The resolution `window` is drawn at (the screen's, before Windows 10).
UINT WindowDpi(HWND window);
// `pixels` at 96 dots per inch, scaled to `dpi`.
int Scale(int pixels, UINT dpi);

// The window font: 8-point "MS Sans Serif", else the message font.
UiFont MakeWindowFont(UINT dpi);
// The window font's face at `points`, bold or not.
UiFont MakeWindowFont(UINT dpi, int points, bool bold);
// "Courier New" where the system has it, else its fixed-pitch font.
UiFont MakeLogFont(UINT dpi);

// Whether the system has a font family of this name.
bool HasFontFamily(const wchar_t* family);
// Whether every character of `font` has the same advance.
bool IsFixedPitch(HFONT font);
// The height of a line of `font`, in pixels.
int LineHeight(HFONT font);

} // namespace velkor
