#include "ui/qt/QtWindowServices.h"

#include "ui/main/DirectConnect.h"
#include "ui/qt/QtMenu.h"
#include "ui/qt/QtText.h"

#include <QClipboard>
#include <QCursor>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QWidget>

namespace velkor {

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
    QMenu* shown = BuildQtMenu(menu, window_());
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
