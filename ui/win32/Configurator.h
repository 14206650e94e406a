// The whole configurator put together on Win32: the main-thread bridge, the
// window services, the dialogs, the main window's logic with its reader, and
// the main window itself. Velkor's entry and the tests build the same thing.
#pragma once

#include "ui/dialogs/uTextInput.h"
#include "ui/main/CommandLine.h"

#include <memory>
#include <string>

namespace velkor {

class ISettingsStore;
class DialogEditors;
class Win32MainThread;
class Win32ModalRunner;
class Win32WindowServices;
class MainWindowView;
class TRFIDMainForm;

class Configurator {
public:
    // `settings` keeps what the window remembers between runs.
    Configurator(VelkorOptions options, std::unique_ptr<ISettingsStore> settings);
    // Stops the reader before the window goes away.
    ~Configurator();
    Configurator(const Configurator&) = delete;
    Configurator& operator=(const Configurator&) = delete;

    // Opens the log file (if any), starts the window's logic and shows the
    // window where it was last time; false with `error` set when the log file
    // cannot be opened.
    bool Start(std::string* error = nullptr);

    TRFIDMainForm& Form() { return *form_; }
    MainWindowView& Window() { return *view_; }
    Win32MainThread& MainThread() { return *mainThread_; }

private:
    VelkorOptions options_;
    std::unique_ptr<ISettingsStore> settings_;
    std::unique_ptr<Win32MainThread> mainThread_;
    std::unique_ptr<Win32WindowServices> services_;
    std::unique_ptr<Win32ModalRunner> modalRunner_;
    // The application-wide display-text dialog: its text and delay are kept
    // from one use to the next.
    dialogs::TfrmTextInput textInput_;
    std::unique_ptr<DialogEditors> editors_;
    std::unique_ptr<TRFIDMainForm> form_;
    std::unique_ptr<MainWindowView> view_;
};

} // namespace velkor
