// An input lamp of the device page: a rounded square filled with the lamp's
// colour that reports the release of any mouse button.
#pragma once

#include <QColor>
#include <QWidget>

namespace velkor {

class LampWidget final : public QWidget {
    Q_OBJECT

public:
    explicit LampWidget(QWidget* parent = nullptr);

    QColor Colour() const { return colour_; }
    void SetColour(const QColor& colour);
    QSize sizeHint() const override { return {21, 21}; }

signals:
    void released();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QColor colour_{192, 192, 192};
};

} // namespace velkor
