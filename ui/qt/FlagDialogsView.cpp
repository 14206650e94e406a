// The three flag dialogs: optocoupler inputs, debug flags and authorisation
// flags, one check box per bit and two lists for the wider fields.
#include "ui/dialogs/uAuthFlagsInput.h"
#include "ui/dialogs/uDebugFlagsInput.h"
#include "ui/dialogs/uOptoFlagsInput.h"
#include "ui/qt/BlockComboBox.h"
#include "ui/qt/DialogViews.h"
#include "ui/qt/ModelDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace velkor {

namespace {

void OkRow(ModelDialog& dialog, QVBoxLayout* column, TButton& ok) {
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(dialog.Button(ok));
    column->addLayout(row);
}

} // namespace

TModalResult ShowDialog(dialogs::TfrmOptoFlagsInput& form, QWidget* parent) {
    ModelDialog dialog(form, "TfrmOptoFlagsInput", parent);
    auto* column = new QVBoxLayout(&dialog);
    auto* grid = new QGridLayout;
    for (size_t input = 0; input < dialogs::TfrmOptoFlagsInput::kInputs; ++input) {
        const int row = static_cast<int>(input);
        grid->addWidget(dialog.CheckBox(form.cbUseOpto[input]), row, 0);
        grid->addWidget(dialog.CheckBox(form.cbOptoEdge[input]), row, 1);
    }
    column->addLayout(grid);
    OkRow(dialog, column, form.Button1);
    return dialog.Run();
}

TModalResult ShowDialog(dialogs::TfrmDebugFlagsInput& form, QWidget* parent) {
    ModelDialog dialog(form, "TfrmDebugFlagsInput", parent);
    auto* column = new QVBoxLayout(&dialog);
    column->addWidget(dialog.CheckBox(form.cbDisplayOptoStatus));
    column->addWidget(dialog.CheckBox(form.cbSSD1309));
    column->addWidget(dialog.CheckBox(form.cbNoSplash));
    OkRow(dialog, column, form.Button1);
    return dialog.Run();
}

TModalResult ShowDialog(dialogs::TfrmAuthFlagsInput& form, QWidget* parent) {
    ModelDialog dialog(form, "TfrmAuthFlagsInput", parent);
    auto* column = new QVBoxLayout(&dialog);
    for (TCheckBox* box : {&form.cbnlaAll, &form.cbnlaAuth, &form.cbnlaUnauth, &form.cbnlaNoFinger,
                           &form.cbnlaNetFastReact, &form.cbnlaCTReject, &form.cbnlaUIDUnlock,
                           &form.cbnlaNCAuthSet}) {
        column->addWidget(dialog.CheckBox(*box));
    }
    auto* lists = new QGridLayout;
    lists->addWidget(dialog.Label(form.labReaderLock), 0, 0);
    lists->addWidget(dialog.ComboBox(form.cbReaderLock), 0, 1);
    lists->addWidget(dialog.Label(form.labABlock), 1, 0);
    lists->addWidget(dialog.ComboBox(form.cbABlock), 1, 1);
    lists->setColumnStretch(1, 1);
    column->addLayout(lists);
    OkRow(dialog, column, form.Button1);
    return dialog.Run();
}

} // namespace velkor
