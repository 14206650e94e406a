#include "ui/dialogs/Controls.h"

#include <utility>

namespace velkor::dialogs {

std::string TMemo::Text() const {
    std::string text;
    for (std::size_t n = 0; n < lines.size(); ++n) {
        if (n > 0) {
            text += "\r\n";
        }
        text += lines[n];
    }
    return text;
}

void TMenuItem::Click() const {
    if (Enabled && OnClick) {
        OnClick();
    }
}

TLabel MakeLabel(const char* name, const char* caption) {
    TLabel label;
    label.name = name;
    label.caption = caption;
    return label;
}

TCheckBox MakeCheckBox(std::string name, const char* caption) {
    TCheckBox box;
    box.name = std::move(name);
    box.caption = caption;
    return box;
}

TButton MakeOkButton(const char* name) {
    TButton button;
    button.name = name;
    button.caption = "Ok";
    button.modalResult = mrOk;
    button.isDefault = true;
    return button;
}

TButton MakeCancelButton() {
    TButton button;
    button.name = "btnCancel";
    button.caption = "Cancel";
    button.modalResult = mrCancel;
    button.isCancel = true;
    return button;
}

} // namespace velkor::dialogs
