#include "ui/qt/QtModalRunner.h"

#include "ui/qt/DialogViews.h"

namespace velkor {

QtModalRunner::QtModalRunner(std::function<QWidget*()> owner) : owner_(std::move(owner)) {
}

TModalResult QtModalRunner::Show(dialogs::AnyDialog dialog) {
    return std::visit([this](auto* form) { return ShowDialog(*form, owner_()); }, dialog);
}

} // namespace velkor
