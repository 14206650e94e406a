#include "ui/qt/QtMenu.h"

#include "ui/qt/QtText.h"

#include <QCoreApplication>
#include <QMenu>
#include <QStatusTipEvent>

namespace velkor {

namespace {

void AddEntries(QMenu* menu, const std::vector<TMenuItem>& items, const MenuChoice& choose) {
    for (const TMenuItem& item : items) {
        if (item.IsSeparator()) {
            menu->addSeparator();
            continue;
        }
        if (!item.Items.empty()) {
            QMenu* sub = menu->addMenu(ToQt(item.Caption));
            sub->setEnabled(item.Enabled);
            AddEntries(sub, item.Items, choose);
            continue;
        }
        QAction* action = menu->addAction(ToQt(item.Caption));
        action->setEnabled(item.Enabled);
        action->setStatusTip(ToQt(item.Hint));
        action->setData(item.Tag);
        QObject::connect(action, &QAction::triggered, menu, [item, choose] {
            if (choose) {
                choose(item);
            } else {
                item.Click();
            }
        });
    }
}

} // namespace

QMenu* BuildQtMenu(const TPopupMenu& model, QWidget* parent, MenuChoice choose) {
    auto* menu = new QMenu(parent);
    menu->setObjectName(QString::fromStdString(model.Name()));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    AddEntries(menu, model.Items(), choose);
    if (parent != nullptr) {
        // The menu is a window of its own, where an entry's status tip would
        // stop: hand it to the parent, whose window shows it in the status
        // bar, and take it away again when the menu closes.
        QObject::connect(menu, &QMenu::hovered, menu,
                         [parent](QAction* action) { action->showStatusText(parent); });
        QObject::connect(menu, &QMenu::aboutToHide, parent, [parent] {
            QStatusTipEvent clear({});
            QCoreApplication::sendEvent(parent, &clear);
        });
    }
    return menu;
}

} // namespace velkor
