// The configurator's window against a simulated fleet on loopback: scan,
// connect, card read, settings edits, "Full Defs", the reset question and
// disconnect, checked on the screen and at the controllers.
#include "tests/e2e/E2EHarness.h"
#include "tests/e2e/FullDefsTraffic.h"

#include "protocol/ControllerContract.h"
#include "protocol/Win1251.h"
#include "protocol/eproto.h"
#include "ui/main/URfidForm.h"
#include "ui/qt/MainWindowView.h"
#include "ui/qt/QtSettingsStore.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QCheckBox>
#include <QCursor>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <thread>

namespace velkor {

using namespace std::chrono_literals;
using e2e::Rig;

namespace {

// Listed order: the last octet weighs most, then the third, second, first.
const std::vector<std::string> kFleet = {"127.0.0.5", "127.1.0.3", "127.0.9.7",
                                         "127.0.1.4", "127.2.0.2", "127.0.3.7"};
const std::vector<std::string> kListed = {"127.2.0.2", "127.1.0.3", "127.0.1.4",
                                          "127.0.0.5", "127.0.3.7", "127.0.9.7"};

std::string Hex(const std::string& bytes) {
    return eproto_bytes_to_hex(bytes);
}

// Commands and data hex of what a controller received by TCP since `from`.
std::vector<std::pair<int, std::string>> Traffic(Rig& rig, std::size_t index, std::size_t from) {
    std::vector<std::pair<int, std::string>> seen;
    for (const auto& record : e2e::ReceivedTcp(rig.Fleet(), index, from)) {
        if (record.cmd != contract::kKeepAlive || !record.data.empty()) { // skip the pinger
            seen.emplace_back(record.cmd, Hex(record.data));
        }
    }
    return seen;
}

// The reset commands (41) a controller received, as transport and data hex.
std::vector<std::string> Resets(Rig& rig, const std::string& address) {
    std::vector<std::string> resets;
    for (const auto& record : rig.Fleet().Received(*rig.Fleet().Find(address))) {
        if (record.cmd == contract::kReset) {
            resets.push_back((record.transport == sim::Transport::Udp ? "udp " : "tcp ") +
                             Hex(record.data));
        }
    }
    return resets;
}

// Clicks through a popup menu along the captions of `path`, opening each
// submenu on the way, as a user does with the mouse.
bool Choose(QMenu* menu, const QStringList& path) {
    for (qsizetype step = 0; step < path.size(); ++step) {
        const QList<QAction*> actions = menu->actions();
        const auto found = std::find_if(actions.begin(), actions.end(), [&](QAction* action) {
            return action->text() == path[step];
        });
        if (found == actions.end()) {
            return false;
        }
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(*found).center());
        if (step + 1 < path.size()) {
            menu = (*found)->menu();
            if (menu == nullptr || !QTest::qWaitFor([menu] { return menu->isVisible(); }, 2000)) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

class VelkorLoopbackTest : public QObject {
    Q_OBJECT

private slots:
    void scanListsTheFleetInAddressOrder();
    void doubleClickConnectsWithTheGreetingSequence();
    void cardReadShowsThePanelAndGrantsAccess();
    void editKeysWritesTheKeysBackAndCommits();
    void fullDefsSendsTheDefaultConfiguration();
    void disconnectReturnsToTheDiscoveryPage();
    void resetAllAsksBeforeResettingEveryController();
    void rightClickOnAnEntryResetsThatControllerOnly();
    void ctrlClickOnLocksWritesAKitFromItsMenu();
    void everyDialogShowsItsCaption();
    void logFileReceivesEveryLogLine();
    void closingWhileTheReaderWaitsDoesNotHang();
};

void VelkorLoopbackTest::scanListsTheFleetInAddressOrder() {
    Rig rig(e2e::LoopbackFleet(kFleet));
    QVERIFY2(rig.Started(), qPrintable(rig.Error()));
    QCOMPARE(rig.Window().windowTitle(), QString("RFID Reader Configurator"));
    QVERIFY(!rig.Find<QWidget>("pnToolBar")->isVisible());
    QCOMPARE(rig.Find<QPushButton>("btnScan")->text(), QString("Scan"));

    QVERIFY(rig.ScanFor(static_cast<int>(kFleet.size())));
    QTest::qWait(200); // a late or doubled answer would show up now
    QCOMPARE(rig.Window().DeviceList()->model()->rowCount(), static_cast<int>(kFleet.size()));
    for (std::size_t row = 0; row < kListed.size(); ++row) {
        const std::size_t index = *rig.Fleet().Find(kListed[row]);
        const QString expected = QString::fromStdString(
            eproto_bytes_to_hex(rig.Fleet().Mac(index), "-") + " [" + kListed[row] + ":" +
            std::to_string(rig.Fleet().TcpPort(index)) + "] [");
        QVERIFY2(rig.RowText(static_cast<int>(row)).startsWith(expected),
                 qPrintable(rig.RowText(static_cast<int>(row)) + " / " + expected));
    }
    QTRY_COMPARE(rig.Find<QPushButton>("btnScan")->text(), QString("Scan (6)"));
    QVERIFY(rig.Window().Log()->toPlainText().contains("discovered device: "));
    e2e::Screenshot(rig.Window(), "main-window-discovery");

    // A second scan starts the list afresh.
    QVERIFY(rig.ScanFor(static_cast<int>(kFleet.size())));
    QTest::qWait(200);
    QCOMPARE(rig.Window().DeviceList()->model()->rowCount(), static_cast<int>(kFleet.size()));
}

void VelkorLoopbackTest::doubleClickConnectsWithTheGreetingSequence() {
    Rig rig(e2e::LoopbackFleet({"127.0.4.2", "127.0.4.3"}));
    QVERIFY2(rig.Started(), qPrintable(rig.Error()));
    QVERIFY(rig.ScanFor(2));
    const std::size_t index = *rig.Fleet().Find("127.0.4.3");
    const std::size_t from = rig.Fleet().NextSequence(index);
    QVERIFY(rig.ConnectTo("127.0.4.3"));
    QTRY_VERIFY(rig.Find<QWidget>("pnToolBar")->isVisible());

    const auto seen = Traffic(rig, index, from);
    QCOMPARE(seen.size(), std::size_t{5});
    QCOMPARE(seen[0], std::make_pair(6, std::string("0A000F00")));
    QCOMPARE(seen[1].first, 23);
    const auto text = e2e::DisplayItem(eproto_hex_to_bytes(seen[1].second), 3);
    QVERIFY(text);
    QCOMPARE(*text, std::string("connected"));
    QCOMPARE(seen[2], std::make_pair(8, std::string("11")));
    QCOMPARE(seen[3], std::make_pair(8, std::string("1A")));
    QCOMPARE(seen[4], std::make_pair(8, std::string("1B")));
    // The replies put the short names on the byte-setting buttons.
    QTRY_VERIFY(rig.Find<QPushButton>("btnLang")->text().startsWith("Lang: "));
    QVERIFY(rig.Window().Log()->toPlainText().contains("dblclicked on ["));
    QCOMPARE(rig.Fleet().ConnectionCount(index), std::size_t{1});
}

void VelkorLoopbackTest::cardReadShowsThePanelAndGrantsAccess() {
    Rig rig(e2e::LoopbackFleet({"127.0.5.2"}));
    QVERIFY2(rig.Started(), qPrintable(rig.Error()));
    QVERIFY(rig.ScanFor(1));
    QVERIFY(rig.ConnectTo("127.0.5.2"));
    QTRY_VERIFY(!rig.Find<QWidget>("pnCard")->isVisible());
    const std::size_t from = rig.Fleet().NextSequence(0);

    QCOMPARE(rig.Fleet().SendCardRead(0, eproto_hex_to_bytes("04A1B2C3D40001")), std::size_t{1});
    QTRY_VERIFY(rig.Find<QWidget>("pnCard")->isVisible());
    QTRY_COMPARE(rig.Find<QLabel>("labUID")->text(), QString("A1B2C3D4 (195,45729)"));
    QCOMPARE(rig.Find<QLabel>("labCab")->text(), QString("---"));
    QCOMPARE(rig.Find<QLabel>("labCell")->text(), QString("---"));
    QCOMPARE(rig.Find<QLabel>("Label3")->text(), QString::fromUtf8("Шкаф"));
    QCOMPARE(rig.Find<QLabel>("Label4")->text(), QString::fromUtf8("Ячейка"));

    const auto display = e2e::WaitTcp(rig.Fleet(), 0, contract::kDisplay, from, 3s);
    QVERIFY(display);
    const auto text = e2e::DisplayItem(display->data, 3);
    QVERIFY(text);
    QCOMPARE(Hex(*text), Hex(Win1251FromUtf8("Доступ разрешен")));
    const auto pulse = e2e::WaitTcp(rig.Fleet(), 0, contract::kRelayPulse, from, 3s);
    QVERIFY(pulse);
    QCOMPARE(int(pulse->code), 0x04); // relay 1, 4 x 50 ms
    QVERIFY(pulse->sequence > display->sequence);

    // The lamps follow the input states the controller reports.
    rig.Fleet().SendInputState(0, 0x05);
    QTRY_COMPARE(rig.Form().shInput1.Colour(), clGreen);
    QCOMPARE(rig.Form().shInput2.Colour(), clSilver);
    QCOMPARE(rig.Form().shInput3.Colour(), clGreen);
    e2e::Screenshot(rig.Window(), "main-window-device");
}

void VelkorLoopbackTest::editKeysWritesTheKeysBackAndCommits() {
    Rig rig(e2e::LoopbackFleet({"127.0.6.2"}));
    QVERIFY2(rig.Started(), qPrintable(rig.Error()));
    QVERIFY(rig.ScanFor(1));
    QVERIFY(rig.ConnectTo("127.0.6.2"));
    const std::size_t from = rig.Fleet().NextSequence(0);

    e2e::ModalScript script;
    script.On("TfrmSectorKeys", [](QDialog& dialog) {
        QCOMPARE(dialog.windowTitle(), QString("Sector Keys"));
        auto* key0 = dialog.findChild<QLineEdit*>("edPassword0");
        QVERIFY(key0);
        QCOMPARE(key0->text(), QString("FFFFFFFFFFFF"));
        key0->clear();
        key0->setFocus();
        QTest::keyClicks(key0, "a0-b1 c2"); // lower case goes in as upper case, junk is dropped
        QCOMPARE(key0->text(), QString("A0B1C2"));
        dialog.findChild<QCheckBox*>("cbKeyB2")->setChecked(true);
        e2e::Screenshot(dialog, "dialog-sector-keys");
        QTest::mouseClick(dialog.findChild<QPushButton*>("btnOk"), Qt::LeftButton);
    });
    rig.Click("btnEditKeys");
    QTRY_COMPARE(script.Done(), 1);
    const auto commit = e2e::WaitTcp(rig.Fleet(), 0, contract::kCommit, from, 3s);
    QVERIFY(commit);

    std::vector<std::pair<int, std::string>> writes;
    for (const auto& [cmd, data] : Traffic(rig, 0, from)) {
        if (cmd != contract::kSettingsRead) {
            writes.emplace_back(cmd, data);
        }
    }
    const std::string keys = "FFFFFFA0B1C2" + std::string(15 * 12, 'F') + "0400";
    QCOMPARE(writes.size(), std::size_t{4});
    QCOMPARE(writes[0], std::make_pair(9, "20" + keys));
    QCOMPARE(writes[1].first, 34);
    QCOMPARE(writes[2].first, 36);
    QCOMPARE(writes[3].first, 19);
    QCOMPARE(Hex(rig.Fleet().Setting(0, contract::kItemSectorKeys)), keys);
    QTRY_VERIFY(rig.Window().Log()->toPlainText().contains(
        QString::fromStdString("settings data[20" + keys + "]")));
}

void VelkorLoopbackTest::fullDefsSendsTheDefaultConfiguration() {
    Rig rig(e2e::LoopbackFleet({"127.0.7.2"}));
    QVERIFY2(rig.Started(), qPrintable(rig.Error()));
    QVERIFY(rig.ScanFor(1));
    QVERIFY(rig.ConnectTo("127.0.7.2"));
    const std::size_t from = rig.Fleet().NextSequence(0);

    rig.Click("btnFullDefs");
    QVERIFY(e2e::WaitTcp(rig.Fleet(), 0, contract::kSettingsRead, from, 3s));
    QTest::qWait(200);
    const std::vector<std::pair<int, std::string>> expected = e2e::FullDefsTraffic();
    QCOMPARE(Traffic(rig, 0, from), expected);
    const QString log = rig.Window().Log()->toPlainText();
    QVERIFY(log.contains("set TARN cfg: data[1B00]"));
    QVERIFY(log.contains("set 2 LOCKS cfg: data[21023E"));
}

void VelkorLoopbackTest::disconnectReturnsToTheDiscoveryPage() {
    Rig rig(e2e::LoopbackFleet({"127.0.8.2"}));
    QVERIFY2(rig.Started(), qPrintable(rig.Error()));
    QVERIFY(rig.ScanFor(1));
    QVERIFY(rig.ConnectTo("127.0.8.2"));
    const std::size_t from = rig.Fleet().NextSequence(0);

    rig.Click("btnDisconnect");
    QTRY_VERIFY(!rig.Find<QWidget>("pnToolBar")->isVisible());
    QCOMPARE(rig.Form().pcMain.ActivePage(), &rig.Form().tsMain);
    QTRY_VERIFY(rig.Find<QWidget>("tsMain")->isVisible());
    const auto farewell = e2e::WaitTcp(rig.Fleet(), 0, contract::kDisplay, from, 3s);
    QVERIFY(farewell);
    QCOMPARE(*e2e::DisplayItem(farewell->data, 3), std::string("disconnected"));
    QTRY_COMPARE(rig.Fleet().ConnectionCount(0), std::size_t{0});
    // The list is still there for the next connection.
    QCOMPARE(rig.Window().DeviceList()->model()->rowCount(), 1);
}

void VelkorLoopbackTest::resetAllAsksBeforeResettingEveryController() {
    Rig rig(e2e::LoopbackFleet({"127.0.9.2", "127.0.9.3"}));
    QVERIFY2(rig.Started(), qPrintable(rig.Error()));
    auto resets = [&](std::size_t index) {
        int count = 0;
        for (const auto& record : rig.Fleet().Received(index)) {
            count += record.cmd == contract::kReset && record.data == "\x03" &&
                     record.transport == sim::Transport::Udp;
        }
        return count;
    };
    e2e::ModalScript script;
    auto answer = [&script](QMessageBox::StandardButton button) {
        script.On("AskYesNo", [button](QDialog& dialog) {
            auto& box = static_cast<QMessageBox&>(dialog);
            QCOMPARE(box.windowTitle(), QString("Warning!"));
            QCOMPARE(box.text(), QString("This command will reset all devices in range. Do you "
                                         "want to proceed?"));
            e2e::Screenshot(box, "dialog-reset-all-warning");
            QTest::mouseClick(box.button(button), Qt::LeftButton);
        });
    };
    answer(QMessageBox::No);
    rig.Click("bntResetAll");
    QTRY_COMPARE(script.Done(), 1);
    QTest::qWait(200);
    QCOMPARE(resets(0) + resets(1), 0);

    answer(QMessageBox::Yes);
    rig.Click("bntResetAll");
    QTRY_COMPARE(script.Done(), 2);
    QTRY_COMPARE(resets(0), 1);
    QTRY_COMPARE(resets(1), 1);
}

void VelkorLoopbackTest::rightClickOnAnEntryResetsThatControllerOnly() {
    Rig rig(e2e::LoopbackFleet({"127.0.14.2", "127.0.14.3"}));
    QVERIFY2(rig.Started(), qPrintable(rig.Error()));
    QVERIFY(rig.ScanFor(2));
    struct Choice {
        std::string address;
        QStringList path;
        std::string reset;
    };
    const std::vector<Choice> choices = {{"127.0.14.3", {"Reset NetCard", "Reset"}, "udp 12"},
                                         {"127.0.14.2", {"Reset RFID+OLED", "OLED"}, "udp 21"}};
    QTableView* list = rig.Window().DeviceList();
    for (const Choice& choice : choices) {
        const QModelIndex entry = rig.Entry(choice.address);
        QVERIFY(entry.isValid());
        const QPoint at = list->viewport()->mapToGlobal(list->visualRect(entry).center());
        QCursor::setPos(at); // the pointer rests on the entry when the button goes down
        QTest::mouseClick(rig.Window().windowHandle(), Qt::RightButton, {},
                          rig.Window().mapFromGlobal(at));
        QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu);
        QCOMPARE(menu->objectName(), QString("pmReset"));
        QCOMPARE(menu->pos(), at);
        QCOMPARE(rig.Form().lbDeviceList.Selected()->Caps.IPText, choice.address);
        e2e::Screenshot(*menu, "menu-reset");
        QVERIFY2(Choose(menu, choice.path), qPrintable(choice.path.join(" / ")));
        QTRY_COMPARE(Resets(rig, choice.address).size(), std::size_t{1});
        QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
    }
    QTest::qWait(100); // a reset sent to the wrong controller has arrived by now
    for (const Choice& choice : choices) {
        QCOMPARE(Resets(rig, choice.address), std::vector<std::string>{choice.reset});
    }
}

void VelkorLoopbackTest::ctrlClickOnLocksWritesAKitFromItsMenu() {
    Rig rig(e2e::LoopbackFleet({"127.0.10.2"}));
    QVERIFY2(rig.Started(), qPrintable(rig.Error()));
    QVERIFY(rig.ScanFor(1));
    QVERIFY(rig.ConnectTo("127.0.10.2"));
    const std::size_t from = rig.Fleet().NextSequence(0);

    rig.Click("btnLocks", Qt::ControlModifier);
    QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY(menu);
    QCOMPARE(menu->objectName(), QString("pmLocks"));
    auto* button = rig.Find<QPushButton>("btnLocks");
    QCOMPARE(menu->pos(), button->mapToGlobal(QPoint(0, button->height())));
    e2e::Screenshot(*menu, "menu-lock-kits");
    QAction* kit = nullptr;
    for (QAction* action : menu->actions()) {
        if (action->text() == "62 only") {
            kit = action;
        }
    }
    QVERIFY2(kit, "no \"62 only\" kit");
    kit->trigger();
    menu->close();
    QVERIFY(e2e::WaitTcp(rig.Fleet(), 0, contract::kPostWrite36, from, 3s));
    const auto seen = Traffic(rig, 0, from);
    QCOMPARE(seen.size(), std::size_t{2});
    QCOMPARE(seen[0].second, "21013E" + Hex(Win1251FromUtf8("Шкаф")) + std::string(2 * 91, '0'));
    QCOMPARE(seen[1].first, 36);

    // Without Ctrl the click reads the list and opens the lockers dialog.
    e2e::ModalScript script;
    script.On("TfrmLockersInput", [](QDialog& dialog) {
        QCOMPARE(dialog.windowTitle(), QString("Lockers list data"));
        QCOMPARE(dialog.findChild<QPushButton*>("btnLock0")->text(), QString("Block 62"));
        e2e::Screenshot(dialog, "dialog-lockers");
        dialog.reject();
    });
    rig.Click("btnLocks");
    QTRY_COMPARE(script.Done(), 1);
}

void VelkorLoopbackTest::everyDialogShowsItsCaption() {
    Rig rig(e2e::LoopbackFleet({"127.0.11.2"}));
    QVERIFY2(rig.Started(), qPrintable(rig.Error()));
    QVERIFY(rig.ScanFor(1));
    QVERIFY(rig.ConnectTo("127.0.11.2"));

    struct Case {
        std::function<void()> open;
        const char* dialog;
        QString caption;
        const char* screenshot;
    };
    TRFIDMainForm& form = rig.Form();
    const std::vector<Case> cases = {
        {[&] { rig.Click("btnNetCfgEdit"); }, "TfrmNetConfig", "Network Config",
         "dialog-network-config"},
        {[&] { rig.Click("btnDBWaitTMO"); }, "TfrmIntInput", "DB Wait TMO", "dialog-integer"},
        {[&] { rig.Click("btnRelayOpenTime"); }, "TfrmIntInput", "Relay Open Time", nullptr},
        {[&] { rig.Click("btnEditOptoFlagsClose"); }, "TfrmOptoFlagsInput", "Relay Close Flags",
         "dialog-opto-flags"},
        {[&] { rig.Click("btnEditAuthFlags"); }, "TfrmAuthFlagsInput", "Auth Flags",
         "dialog-auth-flags"},
        {[&] { rig.Click("btnDebugFlags"); }, "TfrmDebugFlagsInput", "Debug Flags",
         "dialog-debug-flags"},
        {[&] { form.ReadButtonClick(form.Button5); }, "TfrmUSARTCfg", "USART Flags",
         "dialog-usart"},
        {[&] { rig.Click("btnText"); }, "TfrmTextInput", "TextInput", "dialog-display-text"},
        {[&] { rig.Click("Button3"); }, "TfrmNewCardNum", QString::fromUtf8("Запись номера"),
         "dialog-card-number"},
    };
    for (const Case& test : cases) {
        e2e::ModalScript script;
        script.On(test.dialog, [&test](QDialog& dialog) {
            QCOMPARE(dialog.windowTitle(), test.caption);
            if (test.screenshot != nullptr) {
                e2e::Screenshot(dialog, test.screenshot);
            }
            dialog.reject();
        });
        test.open();
        QTRY_COMPARE_WITH_TIMEOUT(script.Done(), 1, 5000);
    }

    // The string prompt of DirectTCP, from the discovery page.
    rig.Click("btnDisconnect");
    QTRY_VERIFY(rig.Find<QWidget>("tsMain")->isVisible());
    e2e::ModalScript prompt;
    prompt.On("TfrmStrInput", [](QDialog& dialog) {
        QCOMPARE(dialog.windowTitle(), QString("Input a string"));
        e2e::Screenshot(dialog, "dialog-string");
        dialog.reject();
    });
    rig.Click("btnDirectConnect", Qt::ControlModifier);
    QTRY_COMPARE(prompt.Done(), 1);
    QCOMPARE(form.pcMain.ActivePage(), &form.tsMain);
}

void VelkorLoopbackTest::logFileReceivesEveryLogLine() {
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString path = directory.filePath("traffic.log");
    {
        QFile earlier(path);
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("earlier capture\n");
    }
    {
        VelkorOptions plain; // the screen's format, so the file can be compared with it
        plain.LogFile = path.toStdString();
        plain.LogTimestamps = false;
        plain.LogSent = false;
        Rig rig(e2e::LoopbackFleet({"127.0.12.2", "127.0.12.3"}), plain);
        QVERIFY2(rig.Started(), qPrintable(rig.Error()));
        QVERIFY(rig.ScanFor(2));
        QTest::qWait(100);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QStringList lines = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.takeFirst(), QString("earlier capture"));
        QCOMPARE(lines.join('\n'), rig.Window().Log()->toPlainText());
        QCOMPARE(lines.filter("discovered device: ").size(), 2);
    }

    // A file that cannot be opened stops the start with a reason.
    VelkorOptions options;
    options.BroadcastAddress = e2e::kLoopbackBroadcast;
    options.LogFile = directory.filePath("missing/dir/traffic.log").toStdString();
    Configurator app(options, std::make_unique<QtSettingsStore>(directory.filePath("v.ini")));
    QString error;
    QVERIFY(!app.Start(&error));
    QVERIFY2(error.contains("missing/dir/traffic.log"), qPrintable(error));
}

void VelkorLoopbackTest::closingWhileTheReaderWaitsDoesNotHang() {
    sim::FleetOptions options = e2e::LoopbackFleet({});
    options.count = 200;
    options.first_address = "127.0.13.2";
    auto rig = std::make_unique<Rig>(options);
    QVERIFY2(rig->Started(), qPrintable(rig->Error()));
    rig->Click("btnScan");
    // No events are processed now, so the answers wait in the reader's queue
    // while the window closes.
    std::this_thread::sleep_for(300ms);
    QElapsedTimer closing;
    closing.start();
    rig->Window().close();
    rig.reset();
    QVERIFY2(closing.elapsed() < 5000, "closing took too long");
}

} // namespace velkor

QTEST_MAIN(velkor::VelkorLoopbackTest)
#include "VelkorLoopbackTest.moc"
