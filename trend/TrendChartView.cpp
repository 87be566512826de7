#include "trend/TrendChartView.h"

#include <QChart>
#include <QMouseEvent>
#include <QWheelEvent>

namespace mp {

CTrendChartView::CTrendChartView(QChart* chart, QWidget* parent) : QChartView(chart, parent) {
    setRubberBand(QChartView::RectangleRubberBand);
    setMouseTracking(true);
    setRenderHint(QPainter::Antialiasing);
}

void CTrendChartView::ResetZoom() {
    Zoomed_ = false;
    chart()->zoomReset();
}

void CTrendChartView::wheelEvent(QWheelEvent* event) {
    const qreal factor = event->angleDelta().y() > 0 ? 0.8 : 1.25;
    const QRectF area = chart()->plotArea();
    const QPointF at = chart()->mapFromScene(mapToScene(event->position().toPoint()));
    QRectF zoomed(area);
    zoomed.setWidth(area.width() * factor);
    zoomed.moveLeft(at.x() - (at.x() - area.left()) * factor);
    zoomed.setHeight(area.height());
    chart()->zoomIn(zoomed);
    Zoomed_ = true;
    event->accept();
}

void CTrendChartView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton || event->button() == Qt::MiddleButton) {
        Panning_ = true;
        PanFrom_ = event->pos();
        event->accept();
        return;
    }
    PanFrom_ = event->pos();
    QChartView::mousePressEvent(event);
}

void CTrendChartView::mouseMoveEvent(QMouseEvent* event) {
    if (Panning_) {
        const QPoint delta = event->pos() - PanFrom_;
        PanFrom_ = event->pos();
        chart()->scroll(-delta.x(), delta.y());
        Zoomed_ = true;
        event->accept();
        return;
    }
    const QPointF at = chart()->mapToValue(chart()->mapFromScene(mapToScene(event->pos())));
    emit Hovered(static_cast<qint64>(at.x()));
    QChartView::mouseMoveEvent(event);
}

void CTrendChartView::mouseReleaseEvent(QMouseEvent* event) {
    if (Panning_) {
        Panning_ = false;
        event->accept();
        return;
    }
    if (event->button() == Qt::LeftButton && (event->pos() - PanFrom_).manhattanLength() > 4) {
        Zoomed_ = true;
    }
    // A plain right click in the base class zooms out; panning owns that button here.
    QChartView::mouseReleaseEvent(event);
}

void CTrendChartView::mouseDoubleClickEvent(QMouseEvent* event) {
    ResetZoom();
    emit ZoomReset();
    event->accept();
}

}  // namespace mp
