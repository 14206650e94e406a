#include "ui/win32/UiFonts.h"

#include "ui/win32/DialogFont.h"

#include <cwchar>

namespace velkor {

namespace {

constexpr int kLogPoints = 10;
constexpr const wchar_t* kBitmapFamily = L"MS Sans Serif";
constexpr const wchar_t* kScalableFamily = L"Microsoft Sans Serif";
constexpr const wchar_t* kLogFamily = L"Courier New";

int PointsToPixels(int points, UINT dpi) {
    return -MulDiv(points, static_cast<int>(dpi), 72);
}

LOGFONTW WindowFontDescription(UINT dpi) {
    const FontChoice choice = WindowFontChoice();
    LOGFONTW font{};
    font.lfHeight = PointsToPixels(choice.points, dpi);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    choice.face.copy(font.lfFaceName, LF_FACESIZE - 1);
    return font;
}

int CALLBACK FamilyFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

TEXTMETRICW MetricsOf(HFONT font) {
    const HDC screen = GetDC(nullptr);
    const HGDIOBJ old = SelectObject(screen, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(screen, &metrics);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    return metrics;
}

} // namespace

UiFont::~UiFont() {
    if (font_ != nullptr) {
        DeleteObject(font_);
    }
}

UiFont& UiFont::operator=(UiFont&& other) noexcept {
    if (this != &other) {
        if (font_ != nullptr) {
            DeleteObject(font_);
        }
        font_ = other.font_;
        other.font_ = nullptr;
    }
    return *this;
}

UINT WindowDpi(HWND window) {
    // GetDpiForWindow exists from Windows 10 on; earlier systems have one
    // resolution for every screen.
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32"), "GetDpiForWindow")));
    if (getDpiForWindow != nullptr && window != nullptr) {
        if (const UINT dpi = getDpiForWindow(window); dpi != 0) {
            return dpi;
        }
    }
    const HDC screen = GetDC(nullptr);
    const UINT dpi = static_cast<UINT>(GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
    return dpi;
}

int Scale(int pixels, UINT dpi) {
    return MulDiv(pixels, static_cast<int>(dpi), 96);
}

UiFont MakeWindowFont(UINT dpi) {
    const LOGFONTW font = WindowFontDescription(dpi);
    return UiFont(CreateFontIndirectW(&font));
}

UiFont MakeWindowFont(UINT dpi, int points, bool bold) {
    LOGFONTW font = WindowFontDescription(dpi);
    font.lfHeight = PointsToPixels(points, dpi);
    font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    if (std::wcscmp(font.lfFaceName, kBitmapFamily) == 0) {
        // The bitmap face has no large sizes; the system's scalable sans serif has.
        std::wcscpy(font.lfFaceName, kScalableFamily);
    }
    return UiFont(CreateFontIndirectW(&font));
}

UiFont MakeLogFont(UINT dpi) {
    LOGFONTW font{};
    font.lfHeight = PointsToPixels(kLogPoints, dpi);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    if (HasFontFamily(kLogFamily)) {
        std::wcscpy(font.lfFaceName, kLogFamily);
    }
    return UiFont(CreateFontIndirectW(&font));
}

bool HasFontFamily(const wchar_t* family) {
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    std::wcsncpy(wanted.lfFaceName, family, LF_FACESIZE - 1);
    bool found = false;
    const HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &wanted, FamilyFound, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

bool IsFixedPitch(HFONT font) {
    // The flag's name says the opposite of its meaning: set for variable pitch.
    return (MetricsOf(font).tmPitchAndFamily & TMPF_FIXED_PITCH) == 0;
}

int LineHeight(HFONT font) {
    return MetricsOf(font).tmHeight;
}

} // namespace velkor
