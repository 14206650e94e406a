// A modal QDialog bound to a dialog model: each bound widget takes the
// model's state at Refresh and writes the user's edits straight back into the
// model, so the model's own handlers always work on what the user sees.
// Buttons with a modal result close the dialog with it; Enter clicks the
// default button and Escape only the cancel button, as the models say.
#pragma once

#include "ui/controls/Controls.h"
#include "ui/dialogs/ModalDialog.h"

#include <QDialog>

#include <functional>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace velkor {
class BlockComboBox;

namespace dialogs {
class TComboBox;
}

class ModelDialog : public QDialog {
    Q_OBJECT

public:
    ModelDialog(dialogs::DialogForm& form, const char* className, QWidget* parent);

    QLabel* Label(TLabel& model);
    QLineEdit* Edit(TEdit& model);
    QCheckBox* CheckBox(TCheckBox& model);
    QPushButton* Button(TButton& model, std::function<void()> onClick = {});
    BlockComboBox* ComboBox(dialogs::TComboBox& model);

    // Copies every bound model into its widget.
    void Refresh();
    // Shows the dialog modally; a close by the close box counts as mrCancel.
    TModalResult Run();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Common(const TControl& model, QWidget* widget);

    dialogs::DialogForm& form_;
    std::vector<std::function<void()>> refreshers_;
    QPushButton* cancelButton_ = nullptr;
};

} // namespace velkor
