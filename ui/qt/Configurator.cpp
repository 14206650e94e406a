#include "ui/qt/Configurator.h"

#include "session/RFIDReader.h"
#include "ui/main/DialogEditors.h"
#include "ui/main/URfidForm.h"
#include "ui/qt/LogFileMirror.h"
#include "ui/qt/MainWindowView.h"
#include "ui/qt/QtMainThread.h"
#include "ui/qt/QtModalRunner.h"
#include "ui/qt/QtWindowServices.h"

namespace velkor {

Configurator::Configurator(VelkorOptions options)
    : options_(std::move(options)), logFile_(std::make_unique<LogFileMirror>()),
      mainThread_(std::make_unique<QtMainThread>()) {
    auto window = [this]() -> QWidget* { return view_.get(); };
    services_ = std::make_unique<QtWindowServices>(
        window, [this](const TControl* model) { return view_ ? view_->WidgetOf(model) : nullptr; });
    modalRunner_ = std::make_unique<QtModalRunner>(window);
    editors_ = std::make_unique<DialogEditors>(*modalRunner_, textInput_);
    auto readerFactory = [this]() -> std::unique_ptr<IReaderLink> {
        auto reader = std::make_unique<TRFIDReader>(*mainThread_);
        ReaderNetSettings settings;
        settings.BroadcastAddresses = {options_.BroadcastAddress};
        settings.ControllerUdpPort = options_.ControllerUdpPort;
        reader->SetNetSettings(settings);
        return reader;
    };
    form_ = std::make_unique<TRFIDMainForm>(readerFactory, *mainThread_, *services_, *editors_);
    view_ = std::make_unique<MainWindowView>(
        *form_, [this](const std::string& line) { logFile_->Write(line); });
}

Configurator::~Configurator() {
    view_->Detach();
    form_.reset(); // the reader's thread ends here
    view_.reset();
}

bool Configurator::Start(QString* error) {
    if (!options_.LogFile.empty() &&
        !logFile_->Open(QString::fromLocal8Bit(options_.LogFile), error)) {
        return false;
    }
    form_->FormCreate();
    view_->Synchronize();
    view_->show();
    return true;
}

} // namespace velkor
