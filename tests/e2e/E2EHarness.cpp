#include "tests/e2e/E2EHarness.h"

#include "protocol/ControllerContract.h"
#include "ui/main/URfidForm.h"
#include "ui/qt/MainWindowView.h"
#include "ui/qt/QtSettingsStore.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTimer>

namespace velkor {

using namespace std::chrono_literals;

namespace e2e {

sim::FleetOptions LoopbackFleet(std::vector<std::string> addresses) {
    sim::FleetOptions options;
    options.addresses = std::move(addresses);
    options.udp_port = 0;
    options.tcp_port = 0;
    return options;
}

Rig::Rig(sim::FleetOptions fleetOptions, VelkorOptions options)
    : fleet_(std::make_unique<sim::SimulatedFleet>(std::move(fleetOptions))) {
    std::string fleetError;
    if (!fleet_->Start(&fleetError)) {
        error_ = "fleet: " + QString::fromStdString(fleetError);
        return;
    }
    options.BroadcastAddress = kLoopbackBroadcast;
    options.ControllerUdpPort = fleet_->UdpPort();
    app_ = std::make_unique<Configurator>(
        options, std::make_unique<QtSettingsStore>(settings_.filePath("velkor.ini")));
    started_ = app_->Start(&error_) && QTest::qWaitForWindowExposed(&app_->Window());
}

Rig::~Rig() {
    app_.reset();
    fleet_->Stop();
}

TRFIDMainForm& Rig::Form() {
    return app_->Form();
}
MainWindowView& Rig::Window() {
    return app_->Window();
}

void Rig::Click(const char* name, Qt::KeyboardModifiers modifiers) {
    auto* button = Find<QPushButton>(name);
    QVERIFY2(button != nullptr, name);
    QTest::mouseClick(button, Qt::LeftButton, modifiers);
}

bool Rig::ScanFor(int count) {
    // A scan starts the list afresh; until the view has shown that, the rows
    // counted are the previous scan's.
    QAbstractItemModel* rows = Window().DeviceList()->model();
    QSignalSpy reset(rows, &QAbstractItemModel::modelReset);
    QSignalSpy removed(rows, &QAbstractItemModel::rowsRemoved);
    const bool wasEmpty = rows->rowCount() == 0;
    Click("btnScan");
    return QTest::qWaitFor(
        [&] {
            const bool fresh = wasEmpty || !reset.isEmpty() || !removed.isEmpty();
            return fresh && rows->rowCount() >= count;
        },
        5000);
}

QModelIndex Rig::Entry(const std::string& address) {
    QAbstractItemModel* rows = Window().DeviceList()->model();
    for (int row = 0; row < rows->rowCount(); ++row) {
        if (RowText(row).contains("[" + QString::fromStdString(address) + ":")) {
            return rows->index(row, 1);
        }
    }
    return {};
}

QString Rig::RowText(int row) {
    QAbstractItemModel* rows = Window().DeviceList()->model();
    return rows->data(rows->index(row, 0), Qt::ToolTipRole).toString();
}

bool Rig::ConnectTo(const std::string& address) {
    const QModelIndex index = Entry(address);
    if (!index.isValid()) {
        return false;
    }
    QTableView* list = Window().DeviceList();
    const std::size_t controller = *fleet_->Find(address);
    const std::size_t from = fleet_->NextSequence(controller);
    const QPoint at = list->visualRect(index).center();
    // A press comes first, as from a real mouse, so the entry is selected.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    // Connected once the last of the three settings reads has arrived.
    return QTest::qWaitFor(
        [&] {
            const auto reads = ReceivedTcp(*fleet_, controller, from, contract::kSettingsRead);
            return Form().pnDevice.Visible() && reads.size() >= 3;
        },
        5000);
}

void ModalScript::On(const char* dialogName, Act act) {
    auto* poll = new QTimer(this);
    poll->setInterval(10);
    connect(poll, &QTimer::timeout, this, [this, poll, name = QString(dialogName), act] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || dialog->objectName() != name || !dialog->isVisible()) {
            return;
        }
        poll->stop();
        poll->deleteLater();
        ++done_;
        act(*dialog);
        if (QTest::currentTestFailed() && dialog->isVisible()) {
            dialog->reject(); // a failed check must not leave the test inside the dialog
        }
    });
    poll->start();
}

std::vector<sim::ReceivedRecord> ReceivedTcp(const sim::SimulatedFleet& fleet, std::size_t index,
                                             std::size_t from, std::optional<uint8_t> cmd) {
    std::vector<sim::ReceivedRecord> picked;
    for (sim::ReceivedRecord& record : fleet.Received(index)) {
        if (record.sequence >= from && record.transport == sim::Transport::Tcp &&
            (!cmd || record.cmd == *cmd)) {
            picked.push_back(std::move(record));
        }
    }
    return picked;
}

std::optional<sim::ReceivedRecord> WaitTcp(const sim::SimulatedFleet& fleet, std::size_t index,
                                           uint8_t cmd, std::size_t from,
                                           std::chrono::milliseconds timeout) {
    std::optional<sim::ReceivedRecord> found;
    (void)QTest::qWaitFor(
        [&] {
            const auto records = ReceivedTcp(fleet, index, from, cmd);
            if (!records.empty()) {
                found = records.front();
            }
            return found.has_value();
        },
        static_cast<int>(timeout.count()));
    return found;
}

void Screenshot(QWidget& widget, const char* name) {
    const QString directory = qEnvironmentVariable("VELKOR_SCREENSHOT_DIR");
    if (directory.isEmpty()) {
        return;
    }
    QDir().mkpath(directory);
    QCoreApplication::processEvents();
    const QString path = QDir(directory).filePath(QString::fromLatin1(name) + ".png");
    QVERIFY2(widget.grab().save(path), qPrintable(path));
}

std::optional<std::string> DisplayItem(const std::string& data, uint8_t tag) {
    for (std::size_t at = 0; at + 2 <= data.size();) {
        const auto itemTag = static_cast<uint8_t>(data[at]);
        const auto length = static_cast<uint8_t>(data[at + 1]);
        if (at + 2 + length > data.size()) {
            break;
        }
        if (itemTag == tag) {
            return data.substr(at + 2, length);
        }
        at += 2u + length;
    }
    return std::nullopt;
}

} // namespace e2e

} // namespace velkor
