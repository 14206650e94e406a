// The window toolkit services the main window's logic asks for: popup menus
// built from the menu models, the Yes/No message box, the Ctrl key state,
// text files, the save dialog and the clipboard.
#pragma once

#include "ui/main/WindowServices.h"

#include <functional>

class QWidget;

namespace velkor {

class QtWindowServices final : public IWindowServices {
public:
    // `window` gives the main window (menus and message boxes belong to it);
    // `widgetOf` finds the widget that shows a control model (nullptr: none).
    using WindowLocator = std::function<QWidget*()>;
    using WidgetLocator = std::function<QWidget*(const TControl*)>;

    QtWindowServices(WindowLocator window, WidgetLocator widgetOf);

    bool IsCtrlDown() const override;
    void Popup(const TPopupMenu& menu, const TControl* below) override;
    bool AskYesNo(const std::string& text, const std::string& caption) override;
    std::optional<std::vector<std::string>> ReadLines(const std::string& fileName) override;
    std::optional<std::string> AskSaveFileName(const std::string& caption,
                                               const std::string& fileName, const std::string& kind,
                                               const std::string& pattern) override;
    void SetClipboardText(const std::string& text) override;

private:
    WindowLocator window_;
    WidgetLocator widgetOf_;
};

} // namespace velkor
