#include "ui/qt/LampWidget.h"

#include <QMouseEvent>
#include <QPainter>

namespace velkor {

LampWidget::LampWidget(QWidget* parent) : QWidget(parent) {
    setFixedSize(sizeHint());
}

void LampWidget::SetColour(const QColor& colour) {
    if (colour.isValid() && colour != colour_) {
        colour_ = colour;
        update();
    }
}

void LampWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(colour_);
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
}

void LampWidget::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    emit released();
}

} // namespace velkor
