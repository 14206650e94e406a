// Drives the real configurator window against a simulated fleet on loopback:
// the fleet answers broadcasts to 127.255.255.255 on a port of its own, and
// Velkor is pointed at that port.
#pragma once

#include "tools/SimulatedFleet.h"
#include "ui/qt/Configurator.h"
#include "ui/qt/MainWindowView.h"

#include <QDialog>
#include <QModelIndex>
#include <QObject>
#include <QString>
#include <QTemporaryDir>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QPushButton;
class QWidget;

namespace velkor {
class TRFIDMainForm;

namespace e2e {

inline constexpr const char* kLoopbackBroadcast = "127.255.255.255";

sim::FleetOptions LoopbackFleet(std::vector<std::string> addresses);

// A started fleet and a started configurator aimed at it, with settings in a
// folder of its own.
class Rig {
public:
    explicit Rig(sim::FleetOptions fleetOptions, VelkorOptions options = {});
    ~Rig();

    bool Started() const { return started_; }
    const QString& Error() const { return error_; }
    sim::SimulatedFleet& Fleet() { return *fleet_; }
    Configurator& App() { return *app_; }
    TRFIDMainForm& Form();
    MainWindowView& Window();

    // The widget of the window with this object name (control names).
    template <typename T = QWidget> T* Find(const char* name);
    // Clicks a button of the window.
    void Click(const char* name, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // Scans and waits until `count` controllers are listed.
    bool ScanFor(int count);
    // The device table's row of the controller at `address` (invalid: none).
    QModelIndex Entry(const std::string& address);
    // The entry text of a row (its tooltip), as the log shows it.
    QString RowText(int row);
    // Double-clicks the list entry of the controller at `address`; true once
    // the device page shows and the controller has received the greeting.
    bool ConnectTo(const std::string& address);

private:
    QTemporaryDir settings_;
    std::unique_ptr<sim::SimulatedFleet> fleet_;
    std::unique_ptr<Configurator> app_;
    bool started_ = false;
    QString error_;
};

template <typename T> T* Rig::Find(const char* name) {
    return Window().template findChild<T*>(QString::fromLatin1(name));
}

// Runs `act` once on the modal dialog with this object name when it shows
// (from inside its modal loop, where the test cannot otherwise reach it).
class ModalScript : public QObject {
public:
    using Act = std::function<void(QDialog&)>;
    void On(const char* dialogName, Act act);
    int Done() const { return done_; }

private:
    int done_ = 0;
};

// The packets a controller received by TCP since `from`, with this command.
std::vector<sim::ReceivedRecord> ReceivedTcp(const sim::SimulatedFleet& fleet, std::size_t index,
                                             std::size_t from, std::optional<uint8_t> cmd = {});

// Waits (processing events) until the controller has received a TCP packet
// with `cmd` at or after sequence `from`.
std::optional<sim::ReceivedRecord> WaitTcp(const sim::SimulatedFleet& fleet, std::size_t index,
                                           uint8_t cmd, std::size_t from,
                                           std::chrono::milliseconds timeout);

// Saves a picture of `widget` as <name>.png in $VELKOR_SCREENSHOT_DIR, when set.
void Screenshot(QWidget& widget, const char* name);

// The value of display item `tag` in the data of a display command (23).
std::optional<std::string> DisplayItem(const std::string& data, uint8_t tag);

} // namespace e2e

} // namespace velkor
