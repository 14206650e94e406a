// The display-text memo: centred plain text, and over it the guide frame of
// the area a controller's display shows, drawn with an XOR pen after the
// normal painting so the text under it stays readable.
#pragma once

#include <QTextEdit>

namespace velkor {

namespace dialogs {
struct TFramedMemo;
}

class FramedMemo final : public QTextEdit {
    Q_OBJECT

public:
    FramedMemo(dialogs::TFramedMemo& model, QWidget* parent = nullptr);

    // Copies the model's lines into the memo.
    void Refresh();
    // The frame in viewport coordinates.
    QRect GuideFrame() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    dialogs::TFramedMemo& model_;
};

} // namespace velkor
