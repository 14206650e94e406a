// The main window's traffic log, device list and status bar hints.
#include "tests/qt/QtTests.h"

#include "ui/main/URfidForm.h"
#include "ui/qt/Configurator.h"
#include "ui/qt/DeviceListModel.h"
#include "ui/qt/MainWindowView.h"
#include "ui/qt/QtText.h"
#include "version/ProjectVersion.h"

#include <QApplication>
#include <QCursor>
#include <QFontInfo>
#include <QFontMetrics>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QToolButton>

#include <cstring>

namespace velkor {

namespace {

TRFIDDeviceBaseCaps Device(uint8_t a, uint8_t b, uint8_t c, uint8_t d) {
    TRFIDDeviceBaseCaps caps;
    const uint8_t bytes[4] = {a, b, c, d};
    std::memcpy(&caps.IP, bytes, sizeof bytes);
    caps.IPText = std::to_string(a) + "." + std::to_string(b) + "." + std::to_string(c) + "." +
                  std::to_string(d);
    return caps;
}

QStringList Rows(const DeviceListModel& model) {
    QStringList rows;
    for (int row = 0; row < model.rowCount(); ++row) {
        rows << model.data(model.index(row, 0), Qt::DisplayRole).toString();
    }
    return rows;
}

QStringList Entries(const DeviceListBox& list) {
    QStringList entries;
    for (int i = 0; i < list.Count(); ++i) {
        entries << QString::fromStdString(list.Entry(i).Text);
    }
    return entries;
}

} // namespace

void MainWindowViewTest::logKeepsTheNewestLinesScrolledToTheBottom() {
    VelkorOptions options;
    options.BroadcastAddress = "127.255.255.255";
    Configurator app(options);
    QVERIFY(app.Start());
    QPlainTextEdit* log = app.Window().Log();
    for (int n = 1; n <= 150; ++n) {
        app.Form().AddLog("line " + std::to_string(n));
    }
    app.Form().AddLog("\xC4\xEE\xF1\xF2\xF3\xEF"); // Windows-1251 bytes
    QTRY_COMPARE(log->blockCount(), 100);
    QCOMPARE(log->document()->firstBlock().text(), QString("line 52"));
    QCOMPARE(log->document()->lastBlock().text(), QString::fromUtf8("Доступ"));
    QCOMPARE(log->verticalScrollBar()->value(), log->verticalScrollBar()->maximum());
    // The font as drawn: fixed pitch by its own account and by its advances,
    // Cyrillic included.
    QVERIFY2(QFontInfo(log->font()).fixedPitch(), qPrintable(QFontInfo(log->font()).family()));
    const QFontMetrics metrics(log->font());
    QCOMPARE(metrics.horizontalAdvance(QString::fromUtf8("WWЖЖ")),
             metrics.horizontalAdvance("iiii"));

    log->setFocus();
    QTest::keyClick(log, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(log->textCursor().selectedText().size(), log->toPlainText().size());
    QTest::keyClick(log, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(log, Qt::Key_A);
    QVERIFY(log->toPlainText().endsWith(QString::fromUtf8("Доступa")));
}

void MainWindowViewTest::deviceListAppliesBurstsTogetherAndKeepsSelection() {
    ChangeTracker tracker;
    DeviceListBox list(tracker, "lbDeviceList");
    DeviceListModel model(list);
    QSignalSpy applied(&model, &DeviceListModel::RowsApplied);

    list.Add(Device(10, 0, 0, 7), "c");
    list.Add(Device(192, 168, 0, 5), "a");
    QCOMPARE(model.rowCount(), 0); // nothing before the event loop turns
    QTRY_COMPARE(model.rowCount(), 2);
    QCOMPARE(Rows(model), (QStringList{"a", "c"}));
    QCOMPARE(applied.count(), 1);

    // The user picks row 1 ("c") while two more answers wait to be applied.
    list.Add(Device(1, 0, 0, 1), "first");
    list.Add(Device(1, 0, 0, 9), "last");
    QCOMPARE(model.EntryIndex(1), 2);
    QCOMPARE(list.Entry(model.EntryIndex(1)).Text, std::string("c"));
    QCOMPARE(model.EntryIndex(5), -1);

    for (int n = 0; n < 500; ++n) {
        list.Add(Device(10, 1, static_cast<uint8_t>(n / 250), static_cast<uint8_t>(n % 250)),
                 "burst " + std::to_string(n));
    }
    applied.clear();
    model.Flush();
    QCOMPARE(applied.count(), 1);
    QCOMPARE(Rows(model), Entries(list));

    list.Clear();
    list.Add(Device(2, 0, 0, 2), "after");
    QCOMPARE(model.EntryIndex(0), -1); // the rows shown are gone
    model.Flush();
    QCOMPARE(Rows(model), QStringList{"after"});
}

void MainWindowViewTest::statusBarShowsTheHintUnderTheMouse() {
    VelkorOptions options;
    options.BroadcastAddress = "127.255.255.255";
    Configurator app(options);
    QVERIFY(app.Start());
    QVERIFY(QTest::qWaitForWindowExposed(&app.Window()));
    TRFIDMainForm& form = app.Form();
    form.ShowConnecting();
    form.labConnecting.SetVisible(false);
    form.pnDevice.SetVisible(true);
    app.Window().Synchronize();
    QCoreApplication::processEvents(); // lays the device page out
    const auto pointAt = [&app](const char* name) {
        auto* widget = app.Window().findChild<QWidget*>(name);
        const QPoint at = widget->mapToGlobal(widget->rect().center());
        return QApplication::widgetAt(at) == widget ? at : QPoint(-1, -1);
    };
    QStatusBar* status = app.Window().statusBar();

    QCursor::setPos(pointAt("trbVolume"));
    QTRY_COMPARE(status->currentMessage(), QString("Sound Volume"));
    QCursor::setPos(pointAt("btnBeep")); // a control without a hint
    QTRY_COMPARE(status->currentMessage(), QString());

    // Entries of a popup menu show theirs while the mouse is on them.
    form.btnLocksContextPopup();
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY(menu);
    QAction* kit = menu->actions().at(1);
    const QString hint = ToQt(form.pmLocks.Items().at(1).Hint);
    QVERIFY(!hint.isEmpty());
    QCursor::setPos(menu->mapToGlobal(menu->actionGeometry(kit).center()));
    QTRY_COMPARE(menu->activeAction(), kit);
    QTRY_COMPARE(status->currentMessage(), hint);
    menu->close();
    QTRY_COMPARE(status->currentMessage(), QString());
}

void MainWindowViewTest::aboutEntryShowsTheVersion() {
    VelkorOptions options;
    options.BroadcastAddress = "127.255.255.255";
    Configurator app(options);
    QVERIFY(app.Start());
    auto* about = app.Window().findChild<QToolButton*>("btnAbout");
    QVERIFY(about && about->isVisibleTo(&app.Window()));

    QString shown;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown = box->windowTitle() + "\n" + box->text();
            box->accept();
        }
    });
    poll.start();
    about->click(); // returns when the box is closed
    QVERIFY(shown.startsWith("About Velkor\nRFID Reader Configurator"));
    QVERIFY2(shown.contains(kProjectVersion), qPrintable(shown));
}

} // namespace velkor
