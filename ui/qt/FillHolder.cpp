#include "ui/qt/FillHolder.h"

namespace velkor {

FillHolder::FillHolder(QWidget* child, QWidget* parent) : QWidget(parent), child_(child) {
    child_->setParent(this);
    setFixedHeight(child_->sizeHint().height());
    setMinimumWidth(child_->minimumSizeHint().width());
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void FillHolder::resizeEvent(QResizeEvent* event) {
    child_->setGeometry(rect());
    QWidget::resizeEvent(event);
}

} // namespace velkor
