// The sector keys dialog: one row per sector with its key field and key-B box.
// Typing, pasting and leaving a key field go through the model's rules.
#include "ui/dialogs/USectorKeys.h"
#include "ui/qt/DialogViews.h"
#include "ui/qt/ModelDialog.h"
#include "ui/qt/QtText.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace velkor {

namespace {

// Filters the keys typed into one key field and tidies the field on leaving.
class KeyFieldFilter final : public QObject {
public:
    KeyFieldFilter(dialogs::TfrmSectorKeys& form, int sector, ModelDialog& dialog)
        : QObject(&dialog), form_(form), sector_(sector), dialog_(dialog) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* edit = qobject_cast<QLineEdit*>(watched);
        if (edit == nullptr || !dialog_.isVisible()) {
            return false; // closing: the model's answer is taken already
        }
        if (event->type() == QEvent::FocusOut) {
            form_.edPasswordExit(sector_);
            dialog_.Refresh();
            return false;
        }
        if (event->type() != QEvent::KeyPress) {
            return false;
        }
        const auto* key = static_cast<QKeyEvent*>(event);
        const std::string typed = FromQt(key->text());
        if (typed.size() != 1 || key->modifiers().testFlag(Qt::ControlModifier)) {
            return false; // navigation, shortcuts and control keys keep their meaning
        }
        const char accepted = dialogs::TfrmSectorKeys::edPasswordKeyPress(typed[0]);
        if (accepted == typed[0]) {
            return false;
        }
        if (accepted != '\0') {
            edit->insert(ToQt(std::string(1, accepted)));
        }
        return true;
    }

private:
    dialogs::TfrmSectorKeys& form_;
    int sector_;
    ModelDialog& dialog_;
};

} // namespace

TModalResult ShowDialog(dialogs::TfrmSectorKeys& form, QWidget* parent) {
    ModelDialog dialog(form, "TfrmSectorKeys", parent);
    auto* grid = new QGridLayout(&dialog);
    grid->addWidget(dialog.Label(form.Label17), 0, 2, Qt::AlignCenter);
    const QFontMetrics metrics(dialog.font());
    for (int n = 0; n < dialogs::TfrmSectorKeys::kSectors; ++n) {
        const auto at = static_cast<size_t>(n);
        grid->addWidget(dialog.Label(form.rowLabels[at]), n + 1, 0);
        QLineEdit* key = dialog.Edit(form.edPassword[at]);
        key->setMinimumWidth(metrics.horizontalAdvance("DDDDDDDDDDDDDD"));
        key->installEventFilter(new KeyFieldFilter(form, n, dialog));
        QObject::connect(key, &QLineEdit::textEdited, &dialog,
                         [&form, &dialog, n](const QString& text) {
                             form.edPassword[static_cast<size_t>(n)].SetText(FromQt(text));
                             form.edPasswordChange(n);
                             dialog.Refresh();
                         });
        grid->addWidget(key, n + 1, 1);
        grid->addWidget(dialog.CheckBox(form.cbKeyB[at]), n + 1, 2, Qt::AlignCenter);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(dialog.Button(form.btnOk));
    buttons->addWidget(dialog.Button(form.btnCancel));
    grid->addLayout(buttons, dialogs::TfrmSectorKeys::kSectors + 1, 0, 1, 3);
    return dialog.Run();
}

} // namespace velkor
