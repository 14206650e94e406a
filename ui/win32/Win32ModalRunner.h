// The modal-dialog seam on Win32: each dialog model is shown in its Win32
// dialog window, owned by (and disabling while it runs) the main window.
#pragma once

#include "ui/dialogs/ModalDialog.h"

#include <windows.h>

namespace velkor {

class Win32ModalRunner final : public dialogs::IModalRunner {
public:
    // `owner` is the window the dialogs belong to (may be nullptr).
    explicit Win32ModalRunner(HWND owner);

    // For a runner made before its main window exists.
    void SetOwner(HWND owner) { owner_ = owner; }

private:
    TModalResult Show(dialogs::AnyDialog dialog) override;

    HWND owner_;
};

} // namespace velkor
