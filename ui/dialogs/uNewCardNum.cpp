#include "ui/dialogs/uNewCardNum.h"

#include "protocol/Win1251.h"
#include "ui/dialogs/EditOperations.h"
#include "ui/dialogs/NumberText.h"

namespace velkor::dialogs {

TfrmNewCardNum::TfrmNewCardNum() : DialogForm(Win1251FromUtf8("Запись номера")) {
    Label1 = TLabel("Label1", Win1251FromUtf8("Введите новый номер:"));
    edCardNum = TEdit("edCardNum");
    btnOK = TButton("btnOK", Win1251FromUtf8("ОК"));
    btnOK.SetModalResult(mrOk);
    btnOK.SetDefault(true);
}

int32_t TfrmNewCardNum::CardNumber() const {
    return FieldToInt(edCardNum.Text());
}

std::optional<int32_t> InputCardNumber(IModalRunner& runner) {
    TfrmNewCardNum form;
    if (runner.Run(form) != mrOk) {
        return std::nullopt;
    }
    return form.CardNumber();
}

} // namespace velkor::dialogs
