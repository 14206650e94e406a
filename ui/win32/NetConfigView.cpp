// The network configuration dialog: MAC, the three addresses as four octet
// fields each, and the three ports. The controls are made in their tab order.
#include "ui/dialogs/uNetConfig.h"
#include "ui/win32/DialogViews.h"
#include "ui/win32/DialogWindow.h"

#include <utility>

namespace velkor {

namespace {

constexpr int kWidth = 186;
constexpr int kRowStep = 16;
constexpr int kFieldsLeft = 58;
constexpr int kOctetStep = 30;
constexpr int kOctetWidth = 26;
constexpr int kPortWidth = 40;

} // namespace

TModalResult ShowDialog(dialogs::TfrmNetConfig& form, HWND owner) {
    constexpr int kButtonTop = 7 + 7 * kRowStep;
    DialogWindow dialog(form, "TfrmNetConfig", owner, {kWidth, kButtonTop + 21});
    dialog.Label(form.Label4, {7, 9, 48, 8});
    dialog.Label(form.labMAC, {kFieldsLeft, 9, kWidth - 7 - kFieldsLeft, 8});
    int top = 7 + kRowStep;
    for (auto [label, fields] :
         {std::pair{&form.labIP, &form.edIP}, std::pair{&form.labMask, &form.edMask},
          std::pair{&form.labGateway, &form.edGateway}}) {
        dialog.Label(*label, {7, top + 2, 48, 8});
        for (int i = 0; i < 4; ++i) {
            dialog.Edit((*fields)[static_cast<size_t>(i)],
                        {kFieldsLeft + i * kOctetStep, top, kOctetWidth, 12});
        }
        top += kRowStep;
    }
    for (auto [label, field] :
         {std::pair{&form.Label1, &form.edUDPPort}, std::pair{&form.Label2, &form.edTCPPort},
          std::pair{&form.Label3, &form.edDebugPort}}) {
        dialog.Label(*label, {7, top + 2, 48, 8});
        dialog.Edit(*field, {kFieldsLeft, top, kPortWidth, 12});
        top += kRowStep;
    }
    dialog.Button(form.btnOk, {kWidth - 7 - 50 - 4 - 50, kButtonTop, 50, 14});
    dialog.Button(form.btnCancel, {kWidth - 7 - 50, kButtonTop, 50, 14});
    return dialog.Run();
}

} // namespace velkor
