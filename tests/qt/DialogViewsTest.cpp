// The dialog windows through the real edit operations: keys the user types,
// pastes, Escape and Enter, the block list's arrow keys, the memo's frame and
// Cyrillic texts from Windows-1251 bytes.
#include "tests/qt/QtTests.h"

#include "protocol/Win1251.h"
#include "protocol/eproto.h"
#include "ui/dialogs/EditOperations.h"
#include "ui/dialogs/uCombo.h"
#include "ui/dialogs/uNewCardNum.h"
#include "ui/dialogs/uTextInput.h"
#include "ui/qt/BlockComboBox.h"
#include "ui/qt/FramedMemo.h"
#include "ui/qt/QtColour.h"
#include "ui/qt/QtModalRunner.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyleOptionViewItem>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <functional>

namespace velkor {

namespace {

// Runs `act` on the next modal dialog from inside its modal loop; a dialog a
// failed check leaves open is cancelled so the test can go on.
void OnNextDialog(std::function<void(QDialog&)> act) {
    auto* poll = new QTimer(qApp);
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        // Active, not just visible: focus changes (and the padding done when a
        // field loses focus) happen only in the active window.
        if (dialog == nullptr || !dialog->isVisible() || !dialog->isActiveWindow()) {
            return;
        }
        poll->stop();
        poll->deleteLater();
        act(*dialog);
        if (dialog->isVisible()) {
            dialog->reject();
        }
    });
    poll->start();
}

QtModalRunner Runner() {
    return QtModalRunner([] { return nullptr; });
}

} // namespace

void DialogViewsTest::netConfigIgnoresEscapeAndTakesEnterAsOk() {
    const std::string record =
        eproto_hex_to_bytes("001122AABBCCC0A8010AFFFFFF00C0A80101EC0B901F5000");
    bool escapeIgnored = false;
    OnNextDialog([&](QDialog& dialog) {
        QCOMPARE(dialog.windowTitle(), QString("for: 192.168.1.10"));
        QCOMPARE(dialog.findChild<QLabel*>("labMAC")->text(), QString("001122AABBCC"));
        QVERIFY(!dialog.findChild<QLineEdit*>("edUDPPort")->isEnabled());
        QTest::keyClick(&dialog, Qt::Key_Escape);
        escapeIgnored = dialog.isVisible();
        auto* port = dialog.findChild<QLineEdit*>("edTCPPort");
        port->setFocus();
        port->selectAll();
        QTest::keyClicks(port, " 9000 ");
        auto* octet = dialog.findChild<QLineEdit*>("edIP4");
        QCOMPARE(octet->maxLength(), 3);
        QTest::keyClick(port, Qt::Key_Return);
    });
    QtModalRunner runner = Runner();
    const std::string result = dialogs::EditNetConfig(runner, record, "for: 192.168.1.10");
    QVERIFY(escapeIgnored);
    QCOMPARE(eproto_bytes_to_hex(result),
             std::string("001122AABBCCC0A8010AFFFFFF00C0A80101EC0B28235000"));

    OnNextDialog([](QDialog& dialog) { dialog.findChild<QPushButton*>("btnCancel")->click(); });
    QVERIFY(dialogs::EditNetConfig(runner, record, "Network Config").empty());
}

void DialogViewsTest::sectorKeyFieldsFilterTypingAndPasting() {
    std::string block(96, '\x11');
    block += std::string("\x05\x80", 2);
    OnNextDialog([](QDialog& dialog) {
        auto* key0 = dialog.findChild<QLineEdit*>("edPassword0");
        auto* key1 = dialog.findChild<QLineEdit*>("edPassword1");
        QCOMPARE(key0->text(), QString("111111111111"));
        key0->setFocus();
        key0->clear();
        QTest::keyClicks(key0, "a-g 9");
        QCOMPARE(key0->text(), QString("A9")); // lower case raised, g, minus and blank dropped
        QTest::keyClick(key0, Qt::Key_Backspace);
        QCOMPARE(key0->text(), QString("A"));
        QApplication::clipboard()->setText("aa:bb");
        QTest::keyClick(key0, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(key0->text(), QString("Aaabb")); // pasted case kept, colon dropped
        key1->setFocus();                         // leaving the field pads it
        QCOMPARE(key0->text(), QString("FFFFFFFAaabb"));
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    QtModalRunner runner = Runner();
    QVERIFY(dialogs::EditSectorKeys(runner, block, "Sector Keys").empty());

    OnNextDialog([](QDialog& dialog) {
        QVERIFY(dialog.findChild<QCheckBox*>("cbKeyB15")->isChecked());
        dialog.findChild<QPushButton*>("btnOk")->click();
    });
    QCOMPARE(eproto_bytes_to_hex(dialogs::EditSectorKeys(runner, block, "Sector Keys")),
             eproto_bytes_to_hex(block));
}

void DialogViewsTest::blockListArrowKeysSkipEntriesThatCannotBeChosen() {
    dialogs::TComboBox model("cbABlock");
    for (int n = 0; n < 8; ++n) {
        model.Add(std::to_string(n), (n + 1) % 4 == 0 ? std::nullopt : std::optional<int>(n));
    }
    model.SetItemIndex(2);
    int beeps = 0;
    QWidget window;
    BlockComboBox combo(model, &window);
    model.OnBeep = [&beeps] { ++beeps; };
    window.show();
    QCOMPARE(combo.currentIndex(), 2);
    QTest::keyClick(&combo, Qt::Key_Down);
    QCOMPARE(combo.currentIndex(), 4);
    QCOMPARE(model.ItemIndex(), 4);
    QTest::keyClick(&combo, Qt::Key_Up);
    QCOMPARE(combo.currentIndex(), 2);
    QTest::keyClick(&combo, Qt::Key_Up);
    QCOMPARE(combo.currentIndex(), 1); // a selectable neighbour is one plain step
    combo.setCurrentIndex(6);
    QTest::keyClick(&combo, Qt::Key_Down);
    QCOMPARE(combo.currentIndex(), 6);
    QCOMPARE(beeps, 1);

    // Entries that cannot be chosen are drawn grey on silver.
    QImage picture(200, 20, QImage::Format_RGB32);
    QPainter painter(&picture);
    QStyleOptionViewItem option;
    option.rect = picture.rect();
    option.fontMetrics = combo.fontMetrics();
    combo.itemDelegate()->paint(&painter, option, combo.model()->index(3, 0));
    painter.end();
    QCOMPARE(QColor(picture.pixel(100, 2)), QColor(0xC0, 0xC0, 0xC0));
    QCOMPARE(QColor(picture.pixel(1, 2)), QColor(Qt::white));

    // The entry remembered while the list is down is drawn on navy, not maroon.
    model.SetItemIndex(1);
    model.DropDown(); // remembers entry 1
    painter.begin(&picture);
    combo.itemDelegate()->paint(&painter, option, combo.model()->index(1, 0));
    painter.end();
    QCOMPARE(QColor(picture.pixel(100, 2)), QColor(0, 0, 0x80));
    QCOMPARE(ModelColour(clRed), QColor(Qt::red));
    QVERIFY(!ModelColour(clWindow).isValid() && !ModelColour(clDefault).isValid());
}

void DialogViewsTest::framedMemoDrawsItsGuideFrameWithXor() {
    dialogs::TFramedMemo model;
    FramedMemo memo(model);
    memo.resize(400, 200);
    memo.show();
    QVERIFY(QTest::qWaitForWindowExposed(&memo));
    const QRect frame = memo.GuideFrame();
    QCOMPARE(frame.top(), 2);
    QCOMPARE(frame.center().x(), memo.viewport()->width() / 2);
    const QImage picture = memo.viewport()->grab().toImage();
    // White under a pen of 0x996666 (blue 0x99, green and red 0x66) XORs to
    // red and green 0x99, blue 0x66; inside the frame the white stays.
    QCOMPARE(QColor(picture.pixel(frame.center().x(), frame.top())), QColor(0x99, 0x99, 0x66));
    QCOMPARE(QColor(picture.pixel(frame.center().x(), frame.center().y())), QColor(Qt::white));

    QTest::keyClicks(&memo, "Hi");
    QCOMPARE(model.Text(), std::string("Hi"));
}

void DialogViewsTest::cyrillicCaptionsShowFromTheirCodePageBytes() {
    OnNextDialog([](QDialog& dialog) {
        QCOMPARE(dialog.windowTitle(), QString::fromUtf8("Запись номера"));
        QCOMPARE(dialog.findChild<QLabel*>("Label1")->text(),
                 QString::fromUtf8("Введите новый номер:"));
        QCOMPARE(dialog.findChild<QPushButton*>("btnOK")->text(), QString::fromUtf8("ОК"));
        QTest::keyClicks(dialog.findChild<QLineEdit*>("edCardNum"), "70000");
        QTest::keyClick(&dialog, Qt::Key_Return);
    });
    QtModalRunner runner = Runner();
    QCOMPARE(dialogs::InputCardNumber(runner), std::optional<int32_t>(70000));

    // Typed Cyrillic reaches the model as Windows-1251 bytes.
    dialogs::TfrmTextInput form;
    OnNextDialog([](QDialog& dialog) {
        auto* memo = dialog.findChild<QTextEdit*>("memText");
        memo->setPlainText(QString::fromUtf8("Привет\nмир"));
        dialog.findChild<QPushButton*>("btnOk")->click();
    });
    const auto text = dialogs::InputDisplayText(runner, form);
    QVERIFY(text);
    QCOMPARE(text->text, Win1251FromUtf8("Привет\r\nмир"));
    QCOMPARE(text->holdMs, 3000u);
}

} // namespace velkor
