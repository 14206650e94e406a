// The window services the main window's logic asks for, on Win32: popup
// menus built from the menu models, the Yes/No message box, the Ctrl key
// state, text files, the save dialog and the clipboard.
#pragma once

#include "ui/main/WindowServices.h"

#include <windows.h>

#include <functional>

namespace velkor {

class Win32WindowServices final : public IWindowServices {
public:
    // `window` gives the main window (menus and message boxes belong to it);
    // `windowOf` finds the window that shows a control model (nullptr: none).
    using WindowLocator = std::function<HWND()>;
    using ControlLocator = std::function<HWND(const TControl*)>;

    Win32WindowServices(WindowLocator window, ControlLocator windowOf);

    bool IsCtrlDown() const override;
    void Popup(const TPopupMenu& menu, const TControl* below) override;
    // A warning box whose default button is No.
    bool AskYesNo(const std::string& text, const std::string& caption) override;
    std::optional<std::vector<std::string>> ReadLines(const std::string& fileName) override;
    std::optional<std::string> AskSaveFileName(const std::string& caption,
                                               const std::string& fileName, const std::string& kind,
                                               const std::string& pattern) override;
    // As Unicode text with CR LF line ends.
    void SetClipboardText(const std::string& text) override;

private:
    WindowLocator window_;
    ControlLocator windowOf_;
};

} // namespace velkor
