#include "ui/win32/Configurator.h"

#include "ui/main/DialogEditors.h"
#include "ui/main/NetworkReader.h"
#include "ui/main/URfidForm.h"
#include "ui/win32/MainWindowView.h"
#include "ui/win32/Win32MainThread.h"
#include "ui/win32/Win32ModalRunner.h"
#include "ui/win32/Win32WindowServices.h"

namespace velkor {

Configurator::Configurator(VelkorOptions options, std::unique_ptr<ISettingsStore> settings)
    : options_(std::move(options)), settings_(std::move(settings)),
      mainThread_(std::make_unique<Win32MainThread>()) {
    services_ = std::make_unique<Win32WindowServices>(
        [this] { return view_ ? view_->Window() : nullptr; },
        [this](const TControl* model) { return view_ ? view_->WindowOf(model) : nullptr; });
    modalRunner_ = std::make_unique<Win32ModalRunner>(nullptr);
    editors_ = std::make_unique<DialogEditors>(*modalRunner_, textInput_);
    form_ = std::make_unique<TRFIDMainForm>(NetworkReaderFactory(*mainThread_, options_),
                                            *mainThread_, *services_, *editors_);
    form_->SetStartOptions(options_);
    form_->SetSettingsStore(settings_.get());
    view_ = std::make_unique<MainWindowView>(*form_);
    modalRunner_->SetOwner(view_->Window());
}

Configurator::~Configurator() {
    view_->Detach();
    form_.reset(); // the reader's thread ends here
    view_.reset();
}

bool Configurator::Start(std::string* error) {
    std::string failure;
    if (!form_->OpenLogFile(&failure)) {
        if (error != nullptr) {
            *error = failure;
        }
        return false;
    }
    form_->FormCreate();
    view_->Synchronize();
    view_->Show();
    return true;
}

} // namespace velkor
