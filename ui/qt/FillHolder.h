// Holds one widget of a fixed height and keeps it filling the holder's width,
// outside any layout. A change of the widget's size hint (a caption that grows
// with a count, such as "Scan (N)") then stops at the holder instead of laying
// out the whole window again, which costs several milliseconds each time.
#pragma once

#include <QWidget>

namespace velkor {

class FillHolder final : public QWidget {
public:
    // Takes `child` over; the holder is as tall as the child asks to be now, and
    // at least as wide as its smallest size.
    FillHolder(QWidget* child, QWidget* parent);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* child_;
};

} // namespace velkor
