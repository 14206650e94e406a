// The small input dialogs: integer, string, display text with its delay, and
// the card number.
#include "ui/dialogs/UIntInput.h"
#include "ui/dialogs/uNewCardNum.h"
#include "ui/dialogs/uStrInput.h"
#include "ui/dialogs/uTextInput.h"
#include "ui/qt/BlockComboBox.h"
#include "ui/qt/DialogViews.h"
#include "ui/qt/FramedMemo.h"
#include "ui/qt/ModelDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace velkor {

namespace {

constexpr int kFieldWidth = 220;

TModalResult ShowOneLine(dialogs::DialogForm& form, const char* className, TEdit& field,
                         TButton& ok, QWidget* parent) {
    ModelDialog dialog(form, className, parent);
    auto* row = new QHBoxLayout(&dialog);
    QLineEdit* edit = dialog.Edit(field);
    edit->setMinimumWidth(kFieldWidth);
    row->addWidget(edit, 1);
    row->addWidget(dialog.Button(ok));
    dialog.Refresh();
    edit->selectAll(); // typing replaces the value shown
    return dialog.Run();
}

} // namespace

TModalResult ShowDialog(dialogs::TfrmIntInput& form, QWidget* parent) {
    return ShowOneLine(form, "TfrmIntInput", form.edNum, form.Button1, parent);
}

TModalResult ShowDialog(dialogs::TfrmStrInput& form, QWidget* parent) {
    return ShowOneLine(form, "TfrmStrInput", form.edStr, form.Button1, parent);
}

TModalResult ShowDialog(dialogs::TfrmTextInput& form, QWidget* parent) {
    ModelDialog dialog(form, "TfrmTextInput", parent);
    dialog.setSizeGripEnabled(true);
    dialog.setMinimumSize(dialogs::TfrmTextInput::kMinWidth, dialogs::TfrmTextInput::kMinHeight);
    dialog.resize(480, 300);
    auto* column = new QVBoxLayout(&dialog);
    auto* memo = new FramedMemo(form.memText, &dialog);
    memo->setObjectName(QString::fromStdString(form.memText.Name()));
    column->addWidget(memo, 1);
    auto* row = new QHBoxLayout;
    row->addWidget(dialog.ComboBox(form.cbDelay));
    row->addStretch();
    row->addWidget(dialog.Button(form.btnOk));
    row->addWidget(dialog.Button(form.btnCancel));
    column->addLayout(row);
    memo->setFocus();
    return dialog.Run();
}

TModalResult ShowDialog(dialogs::TfrmNewCardNum& form, QWidget* parent) {
    ModelDialog dialog(form, "TfrmNewCardNum", parent);
    auto* column = new QVBoxLayout(&dialog);
    column->addWidget(dialog.Label(form.Label1));
    auto* row = new QHBoxLayout;
    row->addWidget(dialog.Edit(form.edCardNum), 1);
    row->addWidget(dialog.Button(form.btnOK));
    column->addLayout(row);
    return dialog.Run();
}

} // namespace velkor
