// The hints of the main window's controls as tooltips too, as the Qt window
// shows them (the status bar shows them as well). One tooltip window serves
// every control; a control without a hint has no tooltip.
#pragma once

#include <windows.h>

#include <string>
#include <unordered_set>

namespace velkor {

class HintToolTips {
public:
    explicit HintToolTips(HWND owner);
    ~HintToolTips();
    HintToolTips(const HintToolTips&) = delete;
    HintToolTips& operator=(const HintToolTips&) = delete;

    HWND Window() const { return tips_; }
    // Gives `control` the tooltip `hint` (Windows-1251); an empty hint removes it.
    void Show(HWND control, const std::string& hint);

private:
    HWND owner_;
    HWND tips_;
    std::unordered_set<HWND> tooled_;
};

} // namespace velkor
