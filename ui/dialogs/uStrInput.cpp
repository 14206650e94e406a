#include "ui/dialogs/uStrInput.h"

#include "ui/dialogs/EditOperations.h"
#include "ui/dialogs/NumberText.h"

namespace velkor::dialogs {

TfrmStrInput::TfrmStrInput() : DialogForm("Input a string") {
    edStr.name = "edStr";
    edStr.text = "edStr";
    Button1 = MakeOkButton("Button1");
}

std::string InputString(IModalRunner& runner, const std::string& initial,
                        const std::string& caption) {
    TfrmStrInput form;
    form.caption = caption;
    form.edStr.text = initial;
    if (runner.Run(form) != mrOk) {
        return initial;
    }
    return std::string(TrimBlanks(form.edStr.text));
}

} // namespace velkor::dialogs
