#include "ui/win32/Win32ModalRunner.h"

#include "ui/win32/DialogViews.h"

namespace velkor {

Win32ModalRunner::Win32ModalRunner(HWND owner) : owner_(owner) {
}

TModalResult Win32ModalRunner::Show(dialogs::AnyDialog dialog) {
    return std::visit([this](auto* form) { return ShowDialog(*form, owner_); }, dialog);
}

} // namespace velkor
