// The configurator against controllers on two networks, run by
// tests/netns/two-networks.sh inside network namespaces made for it: with its defaults
// (discovery to 255.255.255.255 and every interface's directed broadcast,
// port 3052, the default controller 192.168.0.243), and with one interface
// chosen. What each controller received is read from its record file; card
// reads are injected through its control pipe.
#include "protocol/ControllerContract.h"
#include "protocol/Win1251.h"
#include "protocol/eproto.h"
#include "tests/e2e/E2EHarness.h"
#include "ui/main/URfidForm.h"
#include "ui/qt/Configurator.h"
#include "ui/qt/MainWindowView.h"
#include "ui/qt/QtSettingsStore.h"

#include <QAbstractItemModel>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <map>

namespace velkor {

namespace {

struct Received {
    int cmd;
    QString transport;
    std::string data;
};

QString Work() {
    return qEnvironmentVariable("VELKOR_NETNS_WORK");
}

QStringList Controllers() {
    return qEnvironmentVariable("VELKOR_NETNS_CONTROLLERS").split(',');
}

std::vector<Received> ReceivedBy(const QString& address) {
    std::vector<Received> records;
    QFile file(QDir(Work()).filePath(address + ".jsonl"));
    if (!file.open(QIODevice::ReadOnly)) {
        return records;
    }
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QJsonObject record = QJsonDocument::fromJson(line).object();
        if (!record.isEmpty()) {
            records.push_back({record["cmd"].toInt(), record["transport"].toString(),
                               eproto_hex_to_bytes(record["data"].toString().toStdString())});
        }
    }
    return records;
}

// TCP packets since `from` (an index into ReceivedBy), without the pinger's.
std::vector<std::pair<int, std::string>> TcpSince(const QString& address, std::size_t from) {
    std::vector<std::pair<int, std::string>> seen;
    const auto records = ReceivedBy(address);
    for (std::size_t n = from; n < records.size(); ++n) {
        const Received& record = records[n];
        if (record.transport == "tcp" &&
            (record.cmd != contract::kKeepAlive || !record.data.empty())) {
            seen.emplace_back(record.cmd, eproto_bytes_to_hex(record.data));
        }
    }
    return seen;
}

// The controllers a scan listed, in the order listed.
QStringList Listed(MainWindowView& window) {
    QAbstractItemModel* rows = window.DeviceList()->model();
    QStringList listed;
    for (int row = 0; row < rows->rowCount(); ++row) {
        listed << rows->data(rows->index(row, 1)).toString();
    }
    return listed;
}

// A started configurator with these options and settings of its own.
struct App {
    explicit App(VelkorOptions options)
        : app(std::move(options), std::make_unique<QtSettingsStore>(folder.filePath("v.ini"))) {}
    QTemporaryDir folder;
    Configurator app;
};

// The resets a controller has received by UDP.
int Resets(const QString& address) {
    const auto records = ReceivedBy(address);
    return static_cast<int>(std::ranges::count_if(records, [](const Received& record) {
        return record.cmd == contract::kReset && record.transport == "udp";
    }));
}

// Clicks "Reset All" and answers the warning with Yes; then the resets each
// controller received from it, once those in `reached` have heard it and the
// others have had time to.
std::map<QString, int> ResetAll(MainWindowView& window, const QStringList& reached) {
    std::map<QString, int> before;
    for (const QString& controller : Controllers()) {
        before[controller] = Resets(controller);
    }
    e2e::ModalScript script;
    script.On("AskYesNo", [](QDialog& dialog) {
        QTest::mouseClick(static_cast<QMessageBox&>(dialog).button(QMessageBox::Yes),
                          Qt::LeftButton);
    });
    QTest::mouseClick(window.findChild<QPushButton*>("bntResetAll"), Qt::LeftButton);
    const bool all = QTest::qWaitFor(
        [&] {
            return script.Done() == 1 && std::ranges::all_of(reached, [&](const QString& c) {
                       return Resets(c) > before[c];
                   });
        },
        5000);
    if (!all) {
        qWarning("not every controller expected heard \"Reset All\" within 5 s");
    }
    QTest::qWait(300);
    std::map<QString, int> heard;
    for (const QString& controller : Controllers()) {
        heard[controller] = Resets(controller) - before[controller];
    }
    return heard;
}

bool Control(int controller, const QString& command) {
    QFile pipe(QDir(Work()).filePath(QString("c%1.ctl").arg(controller)));
    return pipe.open(QIODevice::WriteOnly) && pipe.write((command + '\n').toUtf8()) > 0;
}

} // namespace

class VelkorNetnsTest : public QObject {
    Q_OBJECT

private slots:
    void theWholeScenarioWithTheDefaults();
    void oneInterfaceReachesOnlyItsNetwork();
};

void VelkorNetnsTest::theWholeScenarioWithTheDefaults() {
    QVERIFY2(!Work().isEmpty(), "run this through tests/netns/two-networks.sh");
    const QString defaultController = contract::kDefaultControllerAddress;
    QVERIFY(Controllers().contains(defaultController));
    const int defaultIndex = static_cast<int>(Controllers().indexOf(defaultController));

    App rig(VelkorOptions{}); // every default, as a user starts it
    Configurator& app = rig.app;
    QVERIFY(app.Start());
    TRFIDMainForm& form = app.Form();
    MainWindowView& window = app.Window();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto click = [&](const char* name) {
        QTest::mouseClick(window.findChild<QPushButton*>(name), Qt::LeftButton);
    };

    // A double click on the empty list connects to the default controller.
    std::size_t from = ReceivedBy(defaultController).size();
    QTableView* list = window.DeviceList();
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
    QTRY_VERIFY_WITH_TIMEOUT(TcpSince(defaultController, from).size() >= 5, 5000);
    QVERIFY(form.pnDevice.Visible());
    auto greeting = TcpSince(defaultController, from);
    QCOMPARE(greeting[0], std::make_pair(6, std::string("0A000F00")));
    QCOMPARE(greeting[1].first, 23);
    QCOMPARE(greeting[2], std::make_pair(8, std::string("11")));

    // A card read at the controller: the panel shows, access is granted.
    from = ReceivedBy(defaultController).size();
    QVERIFY(Control(defaultIndex, "card 0 04A1B2C3D40001"));
    QTRY_VERIFY_WITH_TIMEOUT(form.pnCard.Visible(), 5000);
    QTRY_COMPARE(window.findChild<QLabel*>("labUID")->text(), QString("A1B2C3D4 (195,45729)"));
    QTRY_VERIFY(TcpSince(defaultController, from).size() >= 2);
    const auto access = TcpSince(defaultController, from);
    QCOMPARE(access[0].first, 23);
    QCOMPARE(*e2e::DisplayItem(eproto_hex_to_bytes(access[0].second), 3),
             Win1251FromUtf8("Доступ разрешен"));
    QCOMPARE(access[1], std::make_pair(21, std::string()));

    // "Edit Keys": OK writes the block back, then 34, 36 and 19.
    from = ReceivedBy(defaultController).size();
    e2e::ModalScript script;
    script.On("TfrmSectorKeys", [](QDialog& dialog) {
        dialog.findChild<QCheckBox*>("cbKeyB0")->setChecked(true);
        QTest::mouseClick(dialog.findChild<QPushButton*>("btnOk"), Qt::LeftButton);
    });
    click("btnEditKeys");
    QTRY_COMPARE_WITH_TIMEOUT(script.Done(), 1, 5000);
    QTRY_VERIFY(TcpSince(defaultController, from).size() >= 5);
    const auto keys = TcpSince(defaultController, from);
    QCOMPARE(keys[1], std::make_pair(9, "20" + std::string(192, 'F') + "0100"));
    QCOMPARE(keys[2].first, 34);
    QCOMPARE(keys[3].first, 36);
    QCOMPARE(keys[4].first, 19);

    // "Full Defs": eight writes, 36, 19, 34 and the three reads.
    from = ReceivedBy(defaultController).size();
    click("btnFullDefs");
    QTRY_VERIFY_WITH_TIMEOUT(TcpSince(defaultController, from).size() >= 14, 5000);
    const auto defaults = TcpSince(defaultController, from);
    QCOMPARE(defaults[0], std::make_pair(9, std::string("23CFF0")));
    QCOMPARE(defaults[7].first, 9);
    QCOMPARE(defaults[8].first, 36);
    QCOMPARE(defaults[9].first, 19);
    QCOMPARE(defaults[10].first, 34);

    // "<< Disconnect", then "Scan" to every interface lists the controllers
    // of both networks, each once although most hear two broadcasts.
    click("btnDisconnect");
    QTRY_VERIFY(!form.pnToolBar.Visible());
    QCOMPARE(form.pcMain.ActivePage(), &form.tsMain);
    click("btnScan");
    QTRY_COMPARE_WITH_TIMEOUT(list->model()->rowCount(), static_cast<int>(Controllers().size()),
                              5000);
    QTest::qWait(300); // a doubled answer would be listed by now
    QCOMPARE(Listed(window), (QStringList{"10.1.0.20", "192.168.0.20", "10.1.0.30", "192.168.0.30",
                                          "192.168.0.243"}));
    QCOMPARE(window.findChild<QPushButton*>("btnScan")->text(), QString("Scan (5)"));
    for (const QString& controller : Controllers()) {
        const auto records = ReceivedBy(controller);
        QVERIFY2(std::ranges::any_of(records,
                                     [](const Received& record) {
                                         return record.cmd == contract::kDiscover &&
                                                record.transport == "udp";
                                     }),
                 qPrintable(controller));
    }
    e2e::Screenshot(window, "main-window-two-networks");

    // "Reset All" goes where the scan went, but once to each controller: the
    // network of the default route, which the limited broadcast reaches, does
    // not get its directed broadcast as well.
    const std::map<QString, int> everywhere = {{"10.1.0.20", 1},
                                               {"10.1.0.30", 1},
                                               {"192.168.0.20", 1},
                                               {"192.168.0.30", 1},
                                               {"192.168.0.243", 1}};
    QCOMPARE(ResetAll(window, Controllers()), everywhere);
}

void VelkorNetnsTest::oneInterfaceReachesOnlyItsNetwork() {
    QVERIFY2(!Work().isEmpty(), "run this through tests/netns/two-networks.sh");
    const auto scan = [](MainWindowView& window) {
        QTest::mouseClick(window.findChild<QPushButton*>("btnScan"), Qt::LeftButton);
        QTest::qWait(1000); // every controller that heard it has answered by now
        return Listed(window);
    };
    {
        VelkorOptions options;
        options.Interface = "eth1";
        App rig(options);
        QVERIFY(rig.app.Start());
        MainWindowView& window = rig.app.Window();
        QCOMPARE(scan(window), (QStringList{"10.1.0.20", "10.1.0.30"}));
        // "Reset All" reaches that network alone, as the scan did.
        const std::map<QString, int> thatNetwork = {{"10.1.0.20", 1},
                                                    {"10.1.0.30", 1},
                                                    {"192.168.0.20", 0},
                                                    {"192.168.0.30", 0},
                                                    {"192.168.0.243", 0}};
        QCOMPARE(ResetAll(window, {"10.1.0.20", "10.1.0.30"}), thatNetwork);

        // The user chooses the other network on the discovery page.
        auto* choice = window.findChild<QComboBox*>("cbInterface");
        const int eth0 = choice->findText("eth0 192.168.0.10/24");
        QVERIFY(eth0 > 0);
        choice->setCurrentIndex(eth0);
        emit choice->activated(eth0);
        QCOMPARE(scan(window), (QStringList{"192.168.0.20", "192.168.0.30", "192.168.0.243"}));
    }
    // An explicit address means that address alone: the limited broadcast
    // leaves by the default route's interface only.
    VelkorOptions limited;
    limited.BroadcastAddress = "255.255.255.255";
    App rig(limited);
    QVERIFY(rig.app.Start());
    QCOMPARE(scan(rig.app.Window()),
             (QStringList{"192.168.0.20", "192.168.0.30", "192.168.0.243"}));
}

} // namespace velkor

QTEST_MAIN(velkor::VelkorNetnsTest)
#include "VelkorNetnsTest.moc"
