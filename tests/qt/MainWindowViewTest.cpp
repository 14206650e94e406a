// The main window's traffic log, device list and status bar hints.
#include "tests/DeviceAnswer.h"
#include "tests/qt/QtTests.h"

#include "ui/main/URfidForm.h"
#include "ui/qt/Configurator.h"
#include "ui/qt/DeviceTableModel.h"
#include "ui/qt/MainWindowView.h"
#include "ui/qt/QtSettingsStore.h"
#include "ui/qt/QtText.h"
#include "version/ProjectVersion.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCursor>
#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QToolButton>

namespace velkor {

namespace {

// The IP column of each row.
QStringList Rows(const QAbstractItemModel& model) {
    QStringList rows;
    for (int row = 0; row < model.rowCount(); ++row) {
        rows << model.data(model.index(row, 1), Qt::DisplayRole).toString();
    }
    return rows;
}

QStringList Entries(const DeviceListBox& list) {
    QStringList entries;
    for (int row = 0; row < list.RowCount(); ++row) {
        entries << QString::fromStdString(list.Row(row).Caps.IPText);
    }
    return entries;
}

// A configurator aimed at loopback whose settings live in a folder of its own.
struct App {
    explicit App(const QString& settings = {}) : app(Options(), Store(settings)) {}
    static VelkorOptions Options() {
        VelkorOptions options;
        options.BroadcastAddress = "127.255.255.255";
        return options;
    }
    std::unique_ptr<ISettingsStore> Store(const QString& path) {
        return std::make_unique<QtSettingsStore>(path.isEmpty() ? folder.filePath("velkor.ini")
                                                                : path);
    }
    QTemporaryDir folder;
    Configurator app;
};

} // namespace

void MainWindowViewTest::logKeepsTheNewestLinesScrolledToTheBottom() {
    App rig;
    Configurator& app = rig.app;
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
    DeviceTableModel model(list);
    QSignalSpy applied(&model, &DeviceTableModel::RowsApplied);

    list.Add(DeviceAt(10, 0, 0, 7));
    list.Add(DeviceAt(192, 168, 0, 5));
    QCOMPARE(model.rowCount(), 0); // nothing before the event loop turns
    QTRY_COMPARE(model.rowCount(), 2);
    QCOMPARE(Rows(model), (QStringList{"192.168.0.5", "10.0.0.7"}));
    QCOMPARE(model.data(model.index(1, 0), Qt::ToolTipRole).toString(),
             QString::fromStdString(list.Row(1).Text)); // the entry text of the log
    QCOMPARE(applied.count(), 1);

    // The user picks row 1 while two more answers wait to be applied.
    list.Add(DeviceAt(1, 0, 0, 1));
    list.Add(DeviceAt(1, 0, 0, 9));
    QCOMPARE(model.EntryIndex(1), 2);
    QCOMPARE(list.Row(model.EntryIndex(1)).Caps.IPText, std::string("10.0.0.7"));
    QCOMPARE(model.EntryIndex(5), -1);

    for (int n = 0; n < 500; ++n) {
        list.Add(DeviceAt(10, 1, static_cast<uint8_t>(n / 250), static_cast<uint8_t>(n % 250)));
    }
    applied.clear();
    model.Flush();
    QCOMPARE(applied.count(), 1);
    QCOMPARE(Rows(model), Entries(list));

    // A re-sort replaces the rows; the cells shown stay valid after a clear
    // until the view takes the change.
    list.SortBy(1);
    QCOMPARE(model.EntryIndex(0), -1);
    model.Flush();
    QCOMPARE(Rows(model), Entries(list));
    list.Clear();
    QCOMPARE(model.data(model.index(0, 1), Qt::DisplayRole).toString(), QString("1.0.0.1"));
    list.Add(DeviceAt(2, 0, 0, 2));
    model.Flush();
    QCOMPARE(Rows(model), QStringList{"2.0.0.2"});
}

void MainWindowViewTest::deviceTableSortsFiltersCopiesAndTheWindowRemembersItsPlace() {
    QTemporaryDir folder;
    const QString settings = folder.filePath("velkor.ini");
    {
        App rig(settings);
        QVERIFY(rig.app.Start());
        MainWindowView& window = rig.app.Window();
        TRFIDMainForm& form = rig.app.Form();
        for (const auto& answer :
             {DeviceAt(10, 0, 0, 7), DeviceAt(192, 168, 0, 5), DeviceAt(1, 2, 3, 4)}) {
            form.ReaderDevice(answer);
        }
        QTableView* table = window.DeviceList();
        QTRY_COMPARE(table->model()->rowCount(), 3);
        QCOMPARE(Rows(*table->model()), (QStringList{"1.2.3.4", "192.168.0.5", "10.0.0.7"}));

        QHeaderView* header = table->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(1) + 5, header->height() / 2));
        QTRY_COMPARE(Rows(*table->model()), (QStringList{"1.2.3.4", "10.0.0.7", "192.168.0.5"}));
        QVERIFY(header->isSortIndicatorShown());
        QCOMPARE(header->sortIndicatorSection(), 1);

        auto* filter = window.findChild<QLineEdit*>("edFilter");
        QTest::keyClicks(filter, "10.0");
        QTRY_COMPARE(Rows(*table->model()), QStringList{"10.0.0.7"});
        filter->clear();
        QTRY_COMPARE(table->model()->rowCount(), 3);

        table->setFocus();
        table->selectRow(0);
        table->selectionModel()->select(table->model()->index(2, 0),
                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QTest::keyClick(table, Qt::Key_C, Qt::ControlModifier);
        const QStringList copied = QGuiApplication::clipboard()->text().split('\n');
        QCOMPARE(copied.size(), 4); // header, two rows, the empty rest after the last line end
        QVERIFY(copied[1].contains("\t1.2.3.4\t"));
        QVERIFY(copied[2].contains("\t192.168.0.5\t"));

        window.findChild<QCheckBox*>("cbLogTimestamps")->setChecked(true);
        form.AddLog("stamped");
        QTRY_VERIFY(window.Log()->toPlainText().contains(
            QRegularExpression(R"(\d\d:\d\d:\d\d\.\d\d\d stamped)")));
        window.setGeometry(40, 50, 700, 560);
        window.close();
    }
    App again(settings);
    QVERIFY(again.app.Start());
    QCOMPARE(again.app.Window().geometry(), QRect(40, 50, 700, 560));
    QVERIFY(again.app.Form().cbLogTimestamps.Checked());

    // A settings file that cannot be written (its folder is a file) says so.
    QFile notAFolder(folder.filePath("file"));
    QVERIFY(notAFolder.open(QIODevice::WriteOnly));
    notAFolder.close();
    QtSettingsStore unwritable(folder.filePath("file/velkor.ini"));
    std::string error;
    QVERIFY(!unwritable.Write("key", "value", error));
    QVERIFY2(error.ends_with("file/velkor.ini"), error.c_str());
}

void MainWindowViewTest::statusBarShowsTheHintUnderTheMouse() {
    App rig;
    Configurator& app = rig.app;
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
    App rig;
    Configurator& app = rig.app;
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
