#include "ui/qt/FramedMemo.h"

#include "ui/dialogs/uTextInput.h"
#include "ui/qt/QtColour.h"
#include "ui/qt/QtText.h"

#include <QPainter>
#include <QTextBlock>

namespace velkor {

FramedMemo::FramedMemo(dialogs::TFramedMemo& model, QWidget* parent)
    : QTextEdit(parent), model_(model) {
    setAcceptRichText(false);
    setLineWrapMode(QTextEdit::NoWrap);
    connect(this, &QTextEdit::textChanged, this, [this] {
        std::vector<std::string> lines;
        for (const QString& line : toPlainText().split('\n')) {
            lines.push_back(FromQt(line));
        }
        model_.SetLines(std::move(lines));
        viewport()->update();
    });
    Refresh();
}

void FramedMemo::Refresh() {
    QStringList lines;
    for (const std::string& line : model_.Lines()) {
        lines << ToQt(line);
    }
    if (toPlainText() != lines.join('\n')) {
        const QSignalBlocker quiet(this);
        setPlainText(lines.join('\n'));
    }
    // Every paragraph centred, also those typed later.
    QTextCursor all(document());
    all.select(QTextCursor::Document);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    all.mergeBlockFormat(centred);
    document()->setDefaultTextOption(QTextOption(Qt::AlignHCenter));
    setEnabled(model_.Enabled());
}

QRect FramedMemo::GuideFrame() const {
    const QFontMetrics metrics(font());
    const dialogs::FrameRect frame =
        dialogs::TFramedMemo::GuideFrame(viewport()->width(), viewport()->height(),
                                         metrics.horizontalAdvance('W'), metrics.height());
    return QRect(QPoint(frame.left, frame.top), QPoint(frame.right, frame.bottom));
}

void FramedMemo::paintEvent(QPaintEvent* event) {
    QTextEdit::paintEvent(event);
    QPainter painter(viewport());
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.setPen(ModelColour(model_.GuideFrameColour()));
    painter.setBrush(Qt::NoBrush);
    const int radius = dialogs::TFramedMemo::kCornerSize / 2;
    painter.drawRoundedRect(GuideFrame(), radius, radius);
}

} // namespace velkor
