// The lockers list dialog: six rows of block selector and name; a block
// selector opens the sector and block menu below itself.
#include "ui/dialogs/ULockersInput.h"
#include "ui/qt/DialogViews.h"
#include "ui/qt/ModelDialog.h"
#include "ui/qt/QtMenu.h"
#include "ui/qt/QtText.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

namespace velkor {

TModalResult ShowDialog(dialogs::TfrmLockersInput& form, QWidget* parent) {
    ModelDialog dialog(form, "TfrmLockersInput", parent);
    auto* grid = new QGridLayout(&dialog);
    for (int n = 0; n < dialogs::TfrmLockersInput::kRows; ++n) {
        const auto at = static_cast<size_t>(n);
        // The click rebuilds the model's menu first, then the menu opens.
        QPushButton* selector =
            dialog.Button(form.btnLock[at], [&form, n] { form.btnLockClick(n); });
        grid->addWidget(selector, n, 0);
        QObject::connect(selector, &QPushButton::clicked, &dialog, [&form, &dialog, selector] {
            QMenu* menu =
                BuildQtMenu(form.pmLockers, &dialog, [&form, &dialog](const TMenuItem& item) {
                    form.pmLockersChoose(item);
                    dialog.Refresh();
                });
            menu->popup(selector->mapToGlobal(QPoint(0, selector->height())));
        });
        QLineEdit* name = dialog.Edit(form.edLock[at]);
        name->setMinimumWidth(160);
        grid->addWidget(name, n, 1);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(dialog.Button(form.Button1));
    buttons->addWidget(dialog.Button(form.Button2));
    grid->addLayout(buttons, dialogs::TfrmLockersInput::kRows, 0, 1, 2);
    return dialog.Run();
}

} // namespace velkor
