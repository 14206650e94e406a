// What the main window needs from the window toolkit beyond its controls:
// popup menus, the one message box, the Ctrl key state, text files, the file
// name a save goes to and the clipboard. The Qt front end implements it;
// tests script it.
#pragma once

#include "ui/controls/Controls.h"

#include <optional>
#include <string>
#include <vector>

namespace velkor {

class IWindowServices {
public:
    virtual ~IWindowServices() = default;

    // Whether Ctrl is held while the current click is handled.
    virtual bool IsCtrlDown() const = 0;

    // Shows `menu` with its top-left corner at the bottom-left corner of
    // `below`, or at the mouse position when `below` is null. A chosen entry
    // comes back as a call of its Click().
    virtual void Popup(const TPopupMenu& menu, const TControl* below) = 0;

    // A Yes/No message box; true for Yes.
    virtual bool AskYesNo(const std::string& text, const std::string& caption) = 0;

    // The lines of a file in the working directory, nothing when it is
    // missing or unreadable (ReadTextFileLines does this for plain files).
    virtual std::optional<std::vector<std::string>> ReadLines(const std::string& fileName) = 0;

    // Asks where to save (the system's file dialog), suggesting `fileName`
    // and offering files of `pattern` ("*.csv") under `kind` ("CSV files");
    // nothing when the user cancels. The path is in the system's own byte
    // encoding.
    virtual std::optional<std::string> AskSaveFileName(const std::string& caption,
                                                       const std::string& fileName,
                                                       const std::string& kind,
                                                       const std::string& pattern) = 0;

    // Puts `text` (Windows-1251, lines ending in "\n") on the clipboard.
    virtual void SetClipboardText(const std::string& text) = 0;
};

} // namespace velkor
