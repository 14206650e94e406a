// The USART dialog: the basic settings, the advanced parameters and the
// advanced features in three groups, with "Defaults" and "Ok". Its lists drop
// down when the user types.
#include "ui/dialogs/uUSARTCfg.h"
#include "ui/win32/DialogViews.h"
#include "ui/win32/DialogWindow.h"

namespace velkor {

namespace {

constexpr int kWidth = 270;
constexpr int kMinWidth = 450; // pixels
constexpr int kMinHeight = 540;
constexpr int kRowStep = 15;
constexpr int kLabelLeft = 15;
constexpr int kFieldLeft = 122;
constexpr int kFieldWidth = kWidth - 15 - kFieldLeft;

// Lays out one group box and its rows from `top` down.
class GroupRows {
public:
    GroupRows(DialogWindow& dialog, const TGroupBox& group, int top, int rows)
        : dialog_(dialog), next_(top + 12) {
        dialog.GroupBox(group, {7, top, kWidth - 14, 12 + rows * kRowStep + 2}, kGrowRight);
    }

    void List(TLabel& label, dialogs::TComboBox& list) {
        dialog_.Label(label, {kLabelLeft, next_ + 2, kFieldLeft - kLabelLeft - 4, 8});
        dialog_.ComboBox(list, {kFieldLeft, next_, kFieldWidth, 12}, kGrowRight, true);
        next_ += kRowStep;
    }
    void Field(TLabel& label, TEdit& field) {
        dialog_.Label(label, {kLabelLeft, next_ + 2, kFieldLeft - kLabelLeft - 4, 8});
        dialog_.Edit(field, {kFieldLeft, next_, kFieldWidth, 12}, kGrowRight);
        next_ += kRowStep;
    }
    // A check box whose caption reads like a field label in front of the box.
    void Box(TCheckBox& box) {
        dialog_.CheckBox(box, {kLabelLeft, next_ + 1, kFieldLeft - kLabelLeft + 10, 10}, true);
        next_ += kRowStep;
    }
    int Bottom() const { return next_ + 2; }

private:
    DialogWindow& dialog_;
    int next_;
};

} // namespace

TModalResult ShowDialog(dialogs::TfrmUSARTCfg& form, HWND owner) {
    constexpr int kHeight = 7 + (12 + 7 * kRowStep + 2) + 6 + (12 + 3 * kRowStep + 2) + 6 +
                            (12 + 8 * kRowStep + 2) + 7 + 14 + 7;
    DialogWindow dialog(form, "TfrmUSARTCfg", owner,
                        {kWidth, kHeight, true, kMinWidth, kMinHeight});

    GroupRows basic(dialog, form.gbBasic, 7, 7);
    basic.List(form.labPlan, form.cbPlan);
    basic.Field(form.labBaudrate, form.edBaudrate);
    basic.List(form.labMode, form.cbMode);
    basic.List(form.labWordLen, form.cbWordLen);
    basic.List(form.labHFC, form.cbHFC);
    basic.List(form.labParity, form.cbParity);
    basic.List(form.labStopBits, form.cbStopBits);

    GroupRows parameters(dialog, form.gbAdvancedParameters, basic.Bottom() + 6, 3);
    parameters.List(form.labDataDir, form.cbDataDir);
    parameters.List(form.labOverSampling, form.cbOverSampling);
    parameters.Box(form.cbSingleSample);

    GroupRows features(dialog, form.gbAdvancedFeatures, parameters.Bottom() + 6, 8);
    features.Box(form.cbAutoBaud);
    features.List(form.labAutoBaudMode, form.cbAutoBaudMode);
    for (TCheckBox& box : form.CheckBox) {
        features.Box(box);
    }

    const int buttonTop = features.Bottom() + 7;
    dialog.Button(form.btnDefaults, {7, buttonTop, 50, 14}, kMoveDown,
                  [&form] { form.btnDefaultsClick(); });
    dialog.Button(form.Button1, {kWidth - 7 - 50, buttonTop, 50, 14}, kMoveRight | kMoveDown);
    return dialog.Run();
}

} // namespace velkor
