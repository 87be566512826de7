#pragma once
// One chart of the trend window with the mouse: the wheel zooms around the cursor, a drag with
// the left button zooms to the rectangle drawn, a drag with the right or middle button pans,
// a double click gives the view back to the live range. Reports the time under the cursor.

#include <QChartView>
#include <QPoint>

namespace mp {

class CTrendChartView : public QChartView {
    Q_OBJECT
public:
    explicit CTrendChartView(QChart* chart, QWidget* parent = nullptr);

    // True once the operator zoomed or panned; the live range no longer moves the view.
    bool Zoomed() const { return Zoomed_; }
    void ResetZoom();

signals:
    // The time (ms since the epoch) under the cursor.
    void Hovered(qint64 timeMs);
    // The operator gave the view back to the live range.
    void ZoomReset();

protected:
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    bool Zoomed_ = false;
    bool Panning_ = false;
    QPoint PanFrom_;
};

}  // namespace mp
