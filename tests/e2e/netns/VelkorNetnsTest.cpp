// The configurator with its defaults (discovery to 255.255.255.255, port 3052,
// the default controller 192.168.0.243) against controllers on a bridge, run
// by run-netns-e2e.sh inside network namespaces made for it. What each
// controller received is read from its record file; card reads are injected
// through its control pipe.
#include "protocol/ControllerContract.h"
#include "protocol/Win1251.h"
#include "protocol/eproto.h"
#include "tests/e2e/E2EHarness.h"
#include "ui/main/URfidForm.h"
#include "ui/qt/Configurator.h"
#include "ui/qt/MainWindowView.h"

#include <QAbstractItemModel>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>

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

bool Control(int controller, const QString& command) {
    QFile pipe(QDir(Work()).filePath(QString("c%1.ctl").arg(controller)));
    return pipe.open(QIODevice::WriteOnly) && pipe.write((command + '\n').toUtf8()) > 0;
}

} // namespace

class VelkorNetnsTest : public QObject {
    Q_OBJECT

private slots:
    void theWholeScenarioWithTheLimitedBroadcast();
};

void VelkorNetnsTest::theWholeScenarioWithTheLimitedBroadcast() {
    QVERIFY2(!Work().isEmpty(), "run this through run-netns-e2e.sh");
    const QString defaultController = contract::kDefaultControllerAddress;
    QVERIFY(Controllers().contains(defaultController));
    const int defaultIndex = static_cast<int>(Controllers().indexOf(defaultController));

    Configurator app(VelkorOptions{}); // every default, as a user starts it
    QVERIFY(app.Start());
    TRFIDMainForm& form = app.Form();
    MainWindowView& window = app.Window();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto click = [&](const char* name) {
        QTest::mouseClick(window.findChild<QPushButton*>(name), Qt::LeftButton);
    };

    // A double click on the empty list connects to the default controller.
    std::size_t from = ReceivedBy(defaultController).size();
    QListView* list = window.DeviceList();
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

    // "<< Disconnect", then "Scan" by the limited broadcast lists everyone.
    click("btnDisconnect");
    QTRY_VERIFY(!form.pnToolBar.Visible());
    QCOMPARE(form.pcMain.ActivePage(), &form.tsMain);
    click("btnScan");
    QAbstractItemModel* rows = list->model();
    QTRY_COMPARE_WITH_TIMEOUT(rows->rowCount(), static_cast<int>(Controllers().size()), 5000);
    QVERIFY(rows->data(rows->index(0, 0)).toString().contains("[192.168.0.20:8080]"));
    QVERIFY(rows->data(rows->index(1, 0)).toString().contains("[192.168.0.30:8080]"));
    QVERIFY(rows->data(rows->index(2, 0)).toString().contains("[192.168.0.243:8080]"));
    for (const QString& controller : Controllers()) {
        const auto records = ReceivedBy(controller);
        QVERIFY2(std::ranges::any_of(records,
                                     [](const Received& record) {
                                         return record.cmd == contract::kDiscover &&
                                                record.transport == "udp";
                                     }),
                 qPrintable(controller));
    }
}

} // namespace velkor

QTEST_MAIN(velkor::VelkorNetnsTest)
#include "VelkorNetnsTest.moc"
