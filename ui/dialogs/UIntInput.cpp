#include "ui/dialogs/UIntInput.h"

#include "ui/dialogs/EditOperations.h"
#include "ui/dialogs/NumberText.h"

#include <algorithm>

namespace velkor::dialogs {

namespace {

constexpr uint32_t kMinWaitTimeout = 300;
constexpr uint32_t kMaxWaitTimeout = 65535;
constexpr uint32_t kMinRelayOpenTime = 50;
constexpr uint32_t kMaxRelayOpenTime = 99999;

// Edits the `width`-byte little-endian value within [low, high]; nothing when
// the value is too short or the dialog is cancelled.
std::string EditLeValue(IModalRunner& runner, const std::string& value, uint8_t width, uint32_t low,
                        uint32_t high, const std::string& caption) {
    if (value.size() < width) {
        return {};
    }
    const uint32_t chosen = InputInteger(runner, low, high, ReadLe(value, 0, width), caption, 0);
    if (chosen < low) {
        return {};
    }
    std::string result;
    AppendLe(result, chosen, width);
    return result;
}

} // namespace

TfrmIntInput::TfrmIntInput() : DialogForm("Input a number") {
    edNum = TEdit("edNum");
    edNum.SetText("edNum");
    Button1 = MakeOkButton("Button1");
}

uint32_t TfrmIntInput::Value() const {
    const auto value = static_cast<uint32_t>(FieldToInt(edNum.Text()));
    return std::max(lowBound, std::min(value, highBound));
}

uint32_t InputInteger(IModalRunner& runner, uint32_t low, uint32_t high, uint32_t initial,
                      const std::string& caption, uint32_t onCancel) {
    TfrmIntInput form;
    form.lowBound = low;
    form.highBound = high;
    form.SetCaption(caption);
    form.edNum.SetText(std::to_string(initial));
    for (;;) {
        if (runner.Run(form) != mrOk) {
            return onCancel;
        }
        const uint32_t value = form.Value();
        const std::string shown = std::to_string(value);
        if (form.edNum.Text() == shown) {
            return value;
        }
        form.edNum.SetText(shown);
    }
}

std::string EditWaitTimeout(IModalRunner& runner, const std::string& value,
                            const std::string& caption) {
    return EditLeValue(runner, value, 2, kMinWaitTimeout, kMaxWaitTimeout, caption);
}

std::string EditRelayOpenTime(IModalRunner& runner, const std::string& value,
                              const std::string& caption) {
    return EditLeValue(runner, value, 4, kMinRelayOpenTime, kMaxRelayOpenTime, caption);
}

} // namespace velkor::dialogs
