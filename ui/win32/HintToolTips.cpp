#include "ui/win32/HintToolTips.h"

#include "ui/win32/Win32Text.h"

#include <commctrl.h>

namespace velkor {

namespace {

// The structure's size that every version of the common controls takes (the
// full size of the newer headers is refused by version 5).
TOOLINFOW ToolOf(HWND owner, HWND control) {
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = owner;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    return tool;
}

} // namespace

HintToolTips::HintToolTips(HWND owner)
    : owner_(owner),
      tips_(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0,
                            0, 0, owner, nullptr, GetModuleHandleW(nullptr), nullptr)) {
}

HintToolTips::~HintToolTips() {
    DestroyWindow(tips_);
}

void HintToolTips::Show(HWND control, const std::string& hint) {
    TOOLINFOW tool = ToolOf(owner_, control);
    if (hint.empty()) {
        if (tooled_.erase(control) != 0) {
            SendMessageW(tips_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        }
        return;
    }
    std::wstring text = Wide(hint);
    tool.lpszText = text.data();
    if (tooled_.insert(control).second) {
        SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    } else {
        SendMessageW(tips_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

} // namespace velkor
