// The modal-dialog seam on Qt: each dialog model is shown in its Qt window,
// centred over the main window.
#pragma once

#include "ui/dialogs/ModalDialog.h"

#include <functional>

class QWidget;

namespace velkor {

class QtModalRunner final : public dialogs::IModalRunner {
public:
    // `owner` gives the window the dialogs belong to (may return nullptr).
    explicit QtModalRunner(std::function<QWidget*()> owner);

private:
    TModalResult Show(dialogs::AnyDialog dialog) override;

    std::function<QWidget*()> owner_;
};

} // namespace velkor
