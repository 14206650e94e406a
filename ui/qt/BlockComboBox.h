// The combo box of the dialogs, bound to its model. A block list (the model
// decides by its name) draws entries that may not be chosen grey on silver,
// lets the arrow keys skip them and refuses them at close-up unless its tag
// allows them; any other combo behaves as a plain drop-down list.
#pragma once

#include <QComboBox>

namespace velkor {

namespace dialogs {
class TComboBox;
}

class BlockComboBox final : public QComboBox {
    Q_OBJECT

public:
    BlockComboBox(dialogs::TComboBox& model, QWidget* parent = nullptr);

    // Copies the model's entries and selection into the widget.
    void Refresh();
    void showPopup() override;
    void hidePopup() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    dialogs::TComboBox& model_;
    int popupIndex_ = -1; // the selection when the list dropped down
};

} // namespace velkor
