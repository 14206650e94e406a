// The device page of the main window: the "Connecting..." label, the device
// controls and the card panel.
#include "ui/win32/MainWindowView.h"

#include "ui/win32/ChildWindows.h"
#include "ui/win32/WindowNames.h"

#include <algorithm>

namespace velkor {

namespace {

// Sizes at 96 dots per inch.
constexpr int kCardPanelWidth = 230;
constexpr int kVolumeWidth = 160;
constexpr int kLampSize = 21;
constexpr int kGroupGap = 12;
constexpr int kWriteButtonWidth = 70;
constexpr COLORREF kUidColour = RGB(128, 128, 128);
constexpr COLORREF kNumberColour = RGB(0, 128, 0);

} // namespace

void MainWindowView::BuildDevicePage() {
    devicePage_ = CreatePanel(window_);
    SetWindowName(devicePage_, form_.tsDevice.Name());
    connecting_ = Label(devicePage_, form_.labConnecting, SS_CENTER);
    deviceControls_ = CreatePanel(devicePage_);
    binder_->Bind(form_.pnDevice, deviceControls_);
    BuildDeviceRows(deviceControls_);
    BuildCardPanel(deviceControls_);
}

void MainWindowView::BuildDeviceRows(HWND panel) {
    auto button = [this, panel](TControl& model, std::function<void()> onClick) {
        return LayoutItem{Button(panel, model, std::move(onClick))};
    };
    auto readButton = [this, &button](TControl& model) {
        return button(model, [this, &model] { form_.ReadButtonClick(model); });
    };
    auto relay = [this, &button](TControl& model) {
        return button(model, [this, &model] { form_.btnRelayClick(model); });
    };
    auto byteMenu = [this, &button](TControl& model) {
        return button(model, [this, &model] { form_.ByteMenuPopup(model); });
    };
    auto finger = [this, &button](TControl& model) {
        return button(model, [this, &model] { form_.FingerButtonClick(model); });
    };

    LayoutItem lockItem = button(form_.btnLocks, [this] { form_.btnLocksClick(); });
    OnContextMenu(lockItem.window, [this] { form_.btnLocksContextPopup(); });
    LayoutItem restartItem = button(form_.btnCDevRestart, [this] { form_.btnCDevRestartClick(); });
    OnContextMenu(restartItem.window, [this] { form_.btnCDevRestartContextPopup(); });
    LayoutItem volume{TrackBar(panel, form_.trbVolume), kVolumeWidth, false, kGroupGap};
    LayoutItem firstAp = relay(form_.Button1);
    firstAp.gapBefore = kGroupGap;
    LayoutItem cabinetLabel{Label(panel, form_.Label6), 0, false, kGroupGap};
    LayoutItem firstByteMenu = byteMenu(form_.btnLang);
    firstByteMenu.gapBefore = kGroupGap;

    deviceRows_ = {
        {{Label(panel, form_.Label2)},
         {Lamp(panel, form_.shInput1, 1), kLampSize},
         {Lamp(panel, form_.shInput2, 2), kLampSize},
         {Lamp(panel, form_.shInput3, 3), kLampSize},
         volume},
        {button(form_.btnBeep, [this] { form_.btnBeepClick(); }),
         button(form_.btnQuack, [this] { form_.btnQuackClick(); }),
         button(form_.btnText, [this] { form_.btnTextClick(); }), firstAp, relay(form_.Button2)},
        {relay(form_.btnRelay1), relay(form_.btnRelay2), relay(form_.btnRelay3),
         relay(form_.btnRelay4)},
        {{Label(panel, form_.Label5)},
         {ComboBox(panel, form_.cbLEDBrightness, false)},
         button(form_.btnSetLEDBrightness, [this] { form_.btnSetLEDBrightnessClick(); }),
         cabinetLabel,
         {ComboBox(panel, form_.cbLLMC, true)},
         firstByteMenu,
         byteMenu(form_.btnNoNet),
         byteMenu(form_.btnLMode)},
        {readButton(form_.btnEditKeys), lockItem, readButton(form_.btnDBWaitTMO),
         readButton(form_.btnNetCfgEdit), readButton(form_.btnRelayOpenTime)},
        {readButton(form_.btnEditOptoFlagsClose), readButton(form_.btnEditOptoFlagsOpen),
         readButton(form_.btnEditOptoFlagsRHold), readButton(form_.btnEditAuthFlags),
         readButton(form_.btnDebugFlags)},
        {button(form_.btnIntNetRestart, [this] { form_.btnIntNetRestartClick(); }),
         restartItem,
         button(form_.btnGlobalSoundVol, [this] { form_.btnGlobalSoundVolClick(); }),
         button(form_.btnFullDefs, [this] { form_.FullDefaults(); }),
         {CheckBox(panel, form_.cbTermDefs)},
         {CheckBox(panel, form_.cbPreRes)}},
        // Created hidden; nothing in the window shows them.
        {button(form_.btnResetBehavior, [this] { form_.btnResetBehaviorClick(); }),
         readButton(form_.Button5),
         button(form_.btnNetRepeatTest, [this] { form_.btnNetRepeatTestClick(); }),
         finger(form_.btnSetUseFinger), finger(form_.btnSetNotUseFinger),
         finger(form_.btnSetFingerTest), finger(form_.btnSetNoFingerTest),
         finger(form_.btnFingerShot), finger(form_.btnFingerRaw)},
    };
}

void MainWindowView::BuildCardPanel(HWND parent) {
    cardPanel_ = CreatePanel(parent, WS_EX_STATICEDGE);
    binder_->Bind(form_.pnCard, cardPanel_);
    card_.uid = Label(cardPanel_, form_.labUID, SS_CENTER);
    card_.cabinetHeading = Label(cardPanel_, form_.Label3, SS_CENTER);
    card_.cellHeading = Label(cardPanel_, form_.Label4, SS_CENTER);
    card_.cabinet = Label(cardPanel_, form_.labCab, SS_CENTER);
    card_.cell = Label(cardPanel_, form_.labCell, SS_CENTER);
    card_.writeCabinet =
        Button(cardPanel_, form_.Button3, [this] { form_.btnWriteNumberClick(form_.Button3); });
    card_.writeCell =
        Button(cardPanel_, form_.Button4, [this] { form_.btnWriteNumberClick(form_.Button4); });
    textColours_[card_.uid] = kUidColour;
    textColours_[card_.cabinet] = kNumberColour;
    textColours_[card_.cell] = kNumberColour;
}

void MainWindowView::LayoutDevicePage(int width, int height) {
    const RowLayout layout(font_.Handle(), dpi_);
    const int m = layout.Margin();
    PlaceWindow(connecting_, 0, 0, width, height);
    PlaceWindow(deviceControls_, 0, 0, width, height);
    const int cardWidth = layout.Px(kCardPanelWidth);
    const int cardLeft = width - m - cardWidth;
    PlaceWindow(cardPanel_, cardLeft, m, cardWidth, std::max(0, height - 2 * m));
    LayoutCardPanel(cardWidth, height - 2 * m);
    int y = m;
    for (const LayoutRow& row : deviceRows_) {
        y = layout.Place(row, m, y, cardLeft - layout.Gap());
    }
}

void MainWindowView::LayoutCardPanel(int width, int) {
    const RowLayout layout(font_.Handle(), dpi_);
    const int m = layout.Margin();
    const int half = (width - 2 * m) / 2;
    const int ch = layout.ControlHeight();
    int y = m;
    PlaceWindow(card_.uid, m, y, width - 2 * m, ch);
    y += ch + layout.Gap();
    PlaceWindow(card_.cabinetHeading, m, y, half, ch);
    PlaceWindow(card_.cellHeading, m + half, y, half, ch);
    y += ch;
    const int numberHeight = LineHeight(numberFont_.Handle()) + layout.Px(4);
    PlaceWindow(card_.cabinet, m, y, half, numberHeight);
    PlaceWindow(card_.cell, m + half, y, half, numberHeight);
    y += numberHeight + layout.Gap();
    for (const auto& [button, left] :
         {std::pair{card_.writeCabinet, m}, std::pair{card_.writeCell, m + half}}) {
        const int buttonWidth = std::min(layout.NaturalWidth(button), layout.Px(kWriteButtonWidth));
        PlaceWindow(button, left + (half - buttonWidth) / 2, y, buttonWidth, ch);
    }
}

} // namespace velkor
