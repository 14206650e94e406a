#include "ui/dialogs/uTextInput.h"

#include "ui/dialogs/EditOperations.h"

#include <array>

namespace velkor::dialogs {

namespace {

constexpr int kInset = 10;
constexpr int kFrameLetters = 17;
constexpr int kFrameTop = 2;
constexpr int kFrameLines = 6;
constexpr TColour kEnabledFrameColour = RgbColour(0x66, 0x66, 0x99);
constexpr TColour kDisabledFrameColour = RgbColour(0xCC, 0xCC, 0xDD);

struct DelayChoice {
    const char* caption;
    uint32_t holdMs;
};
constexpr std::array<DelayChoice, 6> kDelays = {
    {{"0,5 s", 500}, {"1 s", 1000}, {"2 s", 2000}, {"3 s", 3000}, {"5 s", 5000}, {"15 s", 15000}}};
constexpr int kInitialDelay = 3; // "3 s"

} // namespace

FrameRect TFramedMemo::GuideFrame(int clientWidth, int /*clientHeight*/, int letterWidth,
                                  int letterHeight) {
    const int centre = (kInset + (clientWidth - kInset)) / 2;
    const int halfWidth = kFrameLetters * letterWidth / 2;
    return {centre - halfWidth, kFrameTop, centre + halfWidth, kFrameLines * letterHeight};
}

TColour TFramedMemo::GuideFrameColour() const {
    return Enabled() ? kEnabledFrameColour : kDisabledFrameColour;
}

TfrmTextInput::TfrmTextInput() : DialogForm("TextInput") {
    memText = TFramedMemo("memText");
    memText.SetLines({"Lorem ipsum", "dolor sit amet,", "consectetur adi-", "pisicing elit,",
                      "sed do eiusmo..."});
    btnOk = MakeOkButton();
    btnCancel = MakeCancelButton();
    cbDelay = TComboBox("cbDelay");
    for (const DelayChoice& delay : kDelays) {
        cbDelay.Add(delay.caption);
    }
    cbDelay.SetItemIndex(kInitialDelay);
}

uint32_t TfrmTextInput::HoldMs() const {
    const int position =
        cbDelay.ItemIndex() >= 0 && cbDelay.ItemIndex() < static_cast<int>(kDelays.size())
            ? cbDelay.ItemIndex()
            : kInitialDelay;
    return kDelays[static_cast<std::size_t>(position)].holdMs;
}

std::optional<DisplayTextInput> InputDisplayText(IModalRunner& runner, TfrmTextInput& form) {
    if (runner.Run(form) != mrOk) {
        return std::nullopt;
    }
    return DisplayTextInput{form.memText.Text(), form.HoldMs()};
}

} // namespace velkor::dialogs
