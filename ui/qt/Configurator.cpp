#include "ui/qt/Configurator.h"

#include "ui/main/DialogEditors.h"
#include "ui/main/NetworkReader.h"
#include "ui/main/URfidForm.h"
#include "ui/qt/MainWindowView.h"
#include "ui/qt/QtMainThread.h"
#include "ui/qt/QtModalRunner.h"
#include "ui/qt/QtWindowServices.h"

namespace velkor {

Configurator::Configurator(VelkorOptions options, std::unique_ptr<ISettingsStore> settings)
    : options_(std::move(options)), settings_(std::move(settings)),
      mainThread_(std::make_unique<QtMainThread>()) {
    auto window = [this]() -> QWidget* { return view_.get(); };
    services_ = std::make_unique<QtWindowServices>(
        window, [this](const TControl* model) { return view_ ? view_->WidgetOf(model) : nullptr; });
    modalRunner_ = std::make_unique<QtModalRunner>(window);
    editors_ = std::make_unique<DialogEditors>(*modalRunner_, textInput_);
    form_ = std::make_unique<TRFIDMainForm>(NetworkReaderFactory(*mainThread_, options_),
                                            *mainThread_, *services_, *editors_);
    form_->SetStartOptions(options_);
    form_->SetSettingsStore(settings_.get());
    view_ = std::make_unique<MainWindowView>(*form_);
}

Configurator::~Configurator() {
    view_->Detach();
    form_.reset(); // the reader's thread ends here
    view_.reset();
}

bool Configurator::Start(QString* error) {
    std::string failure;
    if (!form_->OpenLogFile(&failure)) {
        if (error != nullptr) {
            *error = QString::fromLocal8Bit(failure);
        }
        return false;
    }
    form_->FormCreate();
    view_->Synchronize();
    view_->RestoreGeometry();
    view_->show();
    return true;
}

} // namespace velkor
