#include "ui/qt/ComboItems.h"

#include "ui/qt/QtText.h"

#include <QComboBox>
#include <QSignalBlocker>

namespace velkor {

void ShowComboItems(QComboBox* combo, const TComboBox& model) {
    const QSignalBlocker quiet(combo);
    const std::vector<ComboItem>& items = model.Items();
    bool same = combo->count() == static_cast<int>(items.size());
    for (int i = 0; same && i < combo->count(); ++i) {
        same = combo->itemText(i) == ToQt(items[static_cast<size_t>(i)].text);
    }
    if (!same) {
        combo->clear();
        for (const ComboItem& item : items) {
            combo->addItem(ToQt(item.text));
        }
    }
    combo->setCurrentIndex(model.ItemIndex());
}

} // namespace velkor
