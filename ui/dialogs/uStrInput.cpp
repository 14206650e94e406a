#include "ui/dialogs/uStrInput.h"

#include "ui/dialogs/EditOperations.h"
#include "ui/dialogs/NumberText.h"

namespace velkor::dialogs {

TfrmStrInput::TfrmStrInput() : DialogForm("Input a string") {
    edStr = TEdit("edStr");
    edStr.SetText("edStr");
    Button1 = MakeOkButton("Button1");
}

std::string InputString(IModalRunner& runner, const std::string& initial,
                        const std::string& caption) {
    TfrmStrInput form;
    form.SetCaption(caption);
    form.edStr.SetText(initial);
    if (runner.Run(form) != mrOk) {
        return initial;
    }
    return std::string(TrimBlanks(form.edStr.Text()));
}

} // namespace velkor::dialogs
