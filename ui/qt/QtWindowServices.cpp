#include "ui/qt/QtWindowServices.h"

#include "ui/main/DirectConnect.h"
#include "ui/qt/QtText.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QCursor>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QStatusTipEvent>
#include <QWidget>

namespace velkor {

namespace {

void AddEntries(QMenu* menu, const std::vector<TMenuItem>& items) {
    for (const TMenuItem& item : items) {
        if (item.IsSeparator()) {
            menu->addSeparator();
            continue;
        }
        if (!item.Items.empty()) {
            QMenu* sub = menu->addMenu(ToQt(item.Caption));
            sub->setEnabled(item.Enabled);
            AddEntries(sub, item.Items);
            continue;
        }
        QAction* action = menu->addAction(ToQt(item.Caption));
        action->setEnabled(item.Enabled);
        action->setStatusTip(ToQt(item.Hint));
        action->setData(item.Tag);
        QObject::connect(action, &QAction::triggered, menu, [item] { item.Click(); });
    }
}

} // namespace

QMenu* BuildQtMenu(const std::vector<TMenuItem>& items, QWidget* parent) {
    auto* menu = new QMenu(parent);
    AddEntries(menu, items);
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

QtWindowServices::QtWindowServices(WindowLocator window, WidgetLocator widgetOf)
    : window_(std::move(window)), widgetOf_(std::move(widgetOf)) {
}

bool QtWindowServices::IsCtrlDown() const {
    return QGuiApplication::keyboardModifiers().testFlag(Qt::ControlModifier);
}

void QtWindowServices::Popup(const TPopupMenu& menu, const TControl* below) {
    if (menu.Items().empty()) {
        return;
    }
    QMenu* shown = BuildQtMenu(menu.Items(), window_());
    shown->setObjectName(QString::fromStdString(menu.Name()));
    shown->setAttribute(Qt::WA_DeleteOnClose);
    QPoint at = QCursor::pos();
    if (QWidget* anchor = below != nullptr ? widgetOf_(below) : nullptr) {
        at = anchor->mapToGlobal(QPoint(0, anchor->height()));
    }
    shown->popup(at);
}

bool QtWindowServices::AskYesNo(const std::string& text, const std::string& caption) {
    QMessageBox box(QMessageBox::Warning, ToQt(caption), ToQt(text),
                    QMessageBox::Yes | QMessageBox::No, window_());
    box.setObjectName("AskYesNo");
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

std::optional<std::vector<std::string>> QtWindowServices::ReadLines(const std::string& fileName) {
    return ReadTextFileLines(fileName);
}

std::optional<std::string> QtWindowServices::AskSaveFileName(const std::string& caption,
                                                             const std::string& fileName,
                                                             const std::string& kind,
                                                             const std::string& pattern) {
    QFileDialog dialog(window_(), ToQt(caption), ToQt(fileName),
                       ToQt(kind) + " (" + ToQt(pattern) + ")");
    dialog.setObjectName("AskSaveFileName");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().front().toLocal8Bit().toStdString();
}

void QtWindowServices::SetClipboardText(const std::string& text) {
    QGuiApplication::clipboard()->setText(ToQt(text));
}

} // namespace velkor
