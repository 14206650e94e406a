#include "ui/win32/DialogFont.h"

namespace velkor {

namespace {

constexpr const wchar_t* kPreferredFace = L"MS Sans Serif";
constexpr int kPreferredPoints = 8;

int CALLBACK NoteFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool FaceExists(const wchar_t* face) {
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(wanted.lfFaceName, face, LF_FACESIZE);
    bool found = false;
    const HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &wanted, NoteFound, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

} // namespace

FontChoice WindowFontChoice() {
    if (FaceExists(kPreferredFace)) {
        return {kPreferredFace, kPreferredPoints};
    }
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    const LONG height = metrics.lfMessageFont.lfHeight < 0 ? -metrics.lfMessageFont.lfHeight
                                                           : metrics.lfMessageFont.lfHeight;
    const int points = height > 0 ? MulDiv(static_cast<int>(height), 72, dpi) : kPreferredPoints;
    return {metrics.lfMessageFont.lfFaceName, points};
}

} // namespace velkor
