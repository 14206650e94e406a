#include "ui/qt/BlockComboBox.h"

#include "ui/dialogs/uCombo.h"
#include "ui/qt/ComboItems.h"
#include "ui/qt/QtColour.h"
#include "ui/qt/QtText.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTimer>

namespace velkor {

namespace {

// Draws the entries of a block list from the model's item styles.
class BlockItemDelegate final : public QStyledItemDelegate {
public:
    BlockItemDelegate(const dialogs::TComboBox& model, QObject* parent)
        : QStyledItemDelegate(parent), model_(model) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const dialogs::ComboItemStyle style = model_.ItemStyle(index.row());
        painter->save();
        painter->fillRect(option.rect, ModelColour(style.areaFill));
        QRect textArea = option.rect.adjusted(dialogs::TComboBox::kTextIndent, 0, 0, 0);
        painter->fillRect(textArea, ModelColour(style.textAreaFill));
        painter->setPen(ModelColour(style.textColour));
        const QString text = option.fontMetrics.elidedText(index.data().toString(), Qt::ElideRight,
                                                           textArea.width());
        painter->drawText(textArea, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, text);
        painter->restore();
    }

private:
    const dialogs::TComboBox& model_;
};

} // namespace

BlockComboBox::BlockComboBox(dialogs::TComboBox& model, QWidget* parent)
    : QComboBox(parent), model_(model) {
    setEditable(false);
    if (model_.IsBlockList()) {
        setItemDelegate(new BlockItemDelegate(model_, this));
        model_.OnBeep = [] { QApplication::beep(); };
    }
    connect(this, &QComboBox::currentIndexChanged, this,
            [this](int index) { model_.SetItemIndex(index); });
    Refresh();
}

void BlockComboBox::Refresh() {
    ShowComboItems(this, model_);
}

void BlockComboBox::keyPressEvent(QKeyEvent* event) {
    const bool up = event->key() == Qt::Key_Up;
    const bool down = event->key() == Qt::Key_Down;
    if (model_.IsBlockList() && (up || down) && event->modifiers() == Qt::NoModifier) {
        model_.SetItemIndex(currentIndex());
        if (up ? model_.KeyUp() : model_.KeyDown()) {
            Refresh();
            event->accept();
            return;
        }
    }
    QComboBox::keyPressEvent(event);
}

void BlockComboBox::showPopup() {
    model_.SetItemIndex(currentIndex());
    popupIndex_ = currentIndex();
    model_.DropDown();
    QComboBox::showPopup();
}

void BlockComboBox::hidePopup() {
    QComboBox::hidePopup();
    // The entry highlighted in the list is the one being chosen.
    const int chosen =
        view()->currentIndex().isValid() ? view()->currentIndex().row() : currentIndex();
    model_.SetItemIndex(chosen);
    if (model_.CloseUp()) {
        // Refused: back to the earlier entry (after the list has reported the
        // refused choice), and the list opens again.
        QTimer::singleShot(0, this, [this, restore = popupIndex_] {
            model_.SetItemIndex(restore);
            Refresh();
            showPopup();
        });
    }
}

} // namespace velkor
