// The display-text dialog with its delay choice, and the guide frame its memo
// draws over the text: the area a controller's display can show.
#pragma once

#include "ui/controls/Colour.h"
#include "ui/controls/Controls.h"
#include "ui/dialogs/ModalDialog.h"
#include "ui/dialogs/uCombo.h"

#include <cstdint>

namespace velkor::dialogs {

struct FrameRect {
    int left;
    int top;
    int right;
    int bottom;
};

// The memo whose guide frame is drawn after its normal painting: a rounded
// rectangle (corners 10 x 10, XOR pen, hollow) 17 letters "W" wide, centred
// in the client area shrunk by 10 pixels, from y = 2 to six letters high.
class TFramedMemo : public TMemo {
public:
    static constexpr int kCornerSize = 10;

    using TMemo::TMemo;

    static FrameRect GuideFrame(int clientWidth, int clientHeight, int letterWidth,
                                int letterHeight);
    // The frame's pen colour.
    TColour GuideFrameColour() const;
};

class TfrmTextInput : public DialogForm {
public:
    static constexpr int kMinWidth = 400;
    static constexpr int kMinHeight = 200;

    TfrmTextInput();

    TFramedMemo memText;
    TButton btnOk;
    TButton btnCancel;
    TComboBox cbDelay;

    // The hold time the chosen delay stands for, in milliseconds.
    uint32_t HoldMs() const;
};

} // namespace velkor::dialogs
