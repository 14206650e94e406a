// The device page of the main window: the "Connecting..." label, the device
// controls and the card panel.
#include "ui/qt/MainWindowView.h"

#include "ui/qt/LampWidget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace velkor {

namespace {

constexpr int kCardPanelWidth = 230;
constexpr int kVolumeWidth = 160;

QHBoxLayout* Row(QVBoxLayout* column) {
    auto* row = new QHBoxLayout;
    column->addLayout(row);
    return row;
}

} // namespace

QWidget* MainWindowView::BuildDevicePage() {
    auto* page = new QWidget(this);
    page->setObjectName("tsDevice");
    auto* grid = new QGridLayout(page);
    QLabel* connecting = Label(form_.labConnecting);
    connecting->setAlignment(Qt::AlignCenter);
    grid->addWidget(connecting, 0, 0);
    grid->addWidget(BuildDeviceControls(), 0, 0);
    return page;
}

QWidget* MainWindowView::BuildDeviceControls() {
    auto* panel = new QWidget(this);
    mirror_->Bind(form_.pnDevice, panel);
    auto* split = new QHBoxLayout(panel);
    split->setContentsMargins(0, 0, 0, 0);
    auto* column = new QVBoxLayout;
    split->addLayout(column, 1);
    split->addWidget(BuildCardPanel());

    QHBoxLayout* row = Row(column);
    row->addWidget(Label(form_.Label2));
    row->addWidget(Lamp(form_.shInput1, 1));
    row->addWidget(Lamp(form_.shInput2, 2));
    row->addWidget(Lamp(form_.shInput3, 3));
    row->addStretch();
    QSlider* volume = TrackBar(form_.trbVolume);
    volume->setFixedWidth(kVolumeWidth);
    row->addWidget(volume);

    row = Row(column);
    row->addWidget(Button(form_.btnBeep, [this] { form_.btnBeepClick(); }));
    row->addWidget(Button(form_.btnQuack, [this] { form_.btnQuackClick(); }));
    row->addWidget(Button(form_.btnText, [this] { form_.btnTextClick(); }));
    row->addSpacing(12);
    for (TControl* apButton : {&form_.Button1, &form_.Button2}) {
        row->addWidget(Button(*apButton, [this, apButton] { form_.btnRelayClick(*apButton); }));
    }
    row->addStretch();

    row = Row(column);
    for (TControl* relay :
         {&form_.btnRelay1, &form_.btnRelay2, &form_.btnRelay3, &form_.btnRelay4}) {
        row->addWidget(Button(*relay, [this, relay] { form_.btnRelayClick(*relay); }));
    }
    row->addStretch();

    row = Row(column);
    row->addWidget(Label(form_.Label5));
    row->addWidget(ComboBox(form_.cbLEDBrightness, false));
    row->addWidget(Button(form_.btnSetLEDBrightness, [this] { form_.btnSetLEDBrightnessClick(); }));
    row->addSpacing(12);
    row->addWidget(Label(form_.Label6));
    row->addWidget(ComboBox(form_.cbLLMC, true));
    row->addSpacing(12);
    for (TControl* byteButton : {&form_.btnLang, &form_.btnNoNet, &form_.btnLMode}) {
        row->addWidget(
            Button(*byteButton, [this, byteButton] { form_.ByteMenuPopup(*byteButton); }));
    }
    row->addStretch();

    auto readButton = [this](TControl& button) {
        return Button(button, [this, &button] { form_.ReadButtonClick(button); });
    };
    row = Row(column);
    row->addWidget(readButton(form_.btnEditKeys));
    QPushButton* locks = Button(form_.btnLocks, [this] { form_.btnLocksClick(); });
    OnContextMenu(locks, [this] { form_.btnLocksContextPopup(); });
    row->addWidget(locks);
    row->addWidget(readButton(form_.btnDBWaitTMO));
    row->addWidget(readButton(form_.btnNetCfgEdit));
    row->addWidget(readButton(form_.btnRelayOpenTime));
    row->addStretch();

    row = Row(column);
    row->addWidget(readButton(form_.btnEditOptoFlagsClose));
    row->addWidget(readButton(form_.btnEditOptoFlagsOpen));
    row->addWidget(readButton(form_.btnEditOptoFlagsRHold));
    row->addWidget(readButton(form_.btnEditAuthFlags));
    row->addWidget(readButton(form_.btnDebugFlags));
    row->addStretch();

    row = Row(column);
    row->addWidget(Button(form_.btnIntNetRestart, [this] { form_.btnIntNetRestartClick(); }));
    QPushButton* restart = Button(form_.btnCDevRestart, [this] { form_.btnCDevRestartClick(); });
    OnContextMenu(restart, [this] { form_.btnCDevRestartContextPopup(); });
    row->addWidget(restart);
    row->addWidget(Button(form_.btnGlobalSoundVol, [this] { form_.btnGlobalSoundVolClick(); }));
    row->addWidget(Button(form_.btnFullDefs, [this] { form_.FullDefaults(); }));
    row->addWidget(CheckBox(form_.cbTermDefs));
    row->addWidget(CheckBox(form_.cbPreRes));
    row->addStretch();

    // Created hidden; nothing in the window shows them.
    row = Row(column);
    row->addWidget(Button(form_.btnResetBehavior, [this] { form_.btnResetBehaviorClick(); }));
    row->addWidget(readButton(form_.Button5));
    row->addWidget(Button(form_.btnNetRepeatTest, [this] { form_.btnNetRepeatTestClick(); }));
    for (TControl* finger :
         {&form_.btnSetUseFinger, &form_.btnSetNotUseFinger, &form_.btnSetFingerTest,
          &form_.btnSetNoFingerTest, &form_.btnFingerShot, &form_.btnFingerRaw}) {
        row->addWidget(Button(*finger, [this, finger] { form_.FingerButtonClick(*finger); }));
    }
    row->addStretch();
    column->addStretch();
    return panel;
}

QWidget* MainWindowView::BuildCardPanel() {
    auto* panel = new QFrame(this);
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setFixedWidth(kCardPanelWidth);
    mirror_->Bind(form_.pnCard, panel);
    auto* grid = new QGridLayout(panel);

    QLabel* uid = Label(form_.labUID);
    uid->setAlignment(Qt::AlignCenter);
    uid->setStyleSheet("font-weight: bold; color: grey;");
    grid->addWidget(uid, 0, 0, 1, 2);

    QLabel* cabinetHeading = Label(form_.Label3);
    QLabel* cellHeading = Label(form_.Label4);
    QLabel* cabinet = Label(form_.labCab);
    QLabel* cell = Label(form_.labCell);
    for (QLabel* label : {cabinetHeading, cellHeading, cabinet, cell}) {
        label->setAlignment(Qt::AlignCenter);
    }
    for (QLabel* number : {cabinet, cell}) {
        number->setStyleSheet("font-size: 32pt; font-weight: bold; color: green;");
    }
    grid->addWidget(cabinetHeading, 1, 0);
    grid->addWidget(cellHeading, 1, 1);
    grid->addWidget(cabinet, 2, 0);
    grid->addWidget(cell, 2, 1);
    for (auto [button, columnAt] : {std::pair{&form_.Button3, 0}, std::pair{&form_.Button4, 1}}) {
        TControl* model = button;
        QPushButton* write = Button(*model, [this, model] { form_.btnWriteNumberClick(*model); });
        write->setMaximumWidth(70);
        grid->addWidget(write, 3, columnAt, Qt::AlignCenter);
    }
    grid->setRowStretch(4, 1);
    return panel;
}

} // namespace velkor
