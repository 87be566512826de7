#include "app/IndicatorLamp.h"

#include <QEvent>
#include <QPainter>

namespace mp {

namespace {

const QColor kRed(255, 0, 0);
const QColor kSquareGreen(0, 255, 0);
const QColor kRoundGreen(0, 204, 51);
const QColor kUnknownGrey(160, 160, 160);
const QColor kLampGround(212, 208, 200);
constexpr int kSide = 20;

}  // namespace

CIndicatorLamp::CIndicatorLamp(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    DescribeState();
}

void CIndicatorLamp::SetState(Lamp state) {
    if (state == State_) {
        return;
    }
    State_ = state;
    DescribeState();
    update();
}

void CIndicatorLamp::SetStale(bool stale) {
    if (stale == Stale_) {
        return;
    }
    Stale_ = stale;
    DescribeState();
    update();
}

void CIndicatorLamp::SetRound(bool round) {
    Round_ = round;
    update();
}

QColor CIndicatorLamp::Colour() const {
    QColor colour = kUnknownGrey;
    switch (State_) {
        case Lamp::Red:
            colour = kRed;
            break;
        case Lamp::Green:
            colour = Round_ ? kRoundGreen : kSquareGreen;
            break;
        case Lamp::Unknown:
            return colour;
    }
    if (Stale_) {
        // Half way to the grey of an unknown state: the colour still reads, but faded.
        colour = QColor((colour.red() + kUnknownGrey.red()) / 2,
                        (colour.green() + kUnknownGrey.green()) / 2,
                        (colour.blue() + kUnknownGrey.blue()) / 2);
    }
    return colour;
}

QSize CIndicatorLamp::sizeHint() const {
    return {kSide, kSide};
}

QSize CIndicatorLamp::minimumSizeHint() const {
    return {kSide, kSide};
}

void CIndicatorLamp::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QRect area = rect();
    if (!Round_) {
        painter.fillRect(area, Colour());
        painter.setPen(QColor(96, 96, 96));
        painter.drawRect(area.adjusted(0, 0, -1, -1));
        return;
    }
    painter.fillRect(area, kLampGround);
    painter.setRenderHint(QPainter::Antialiasing);
    const int side = qMin(area.width(), area.height()) - 4;
    const QRectF lamp((area.width() - side) / 2.0, (area.height() - side) / 2.0, side, side);
    QRadialGradient shine(lamp.center() - QPointF(side / 6.0, side / 6.0), side / 1.6);
    shine.setColorAt(0.0, Colour().lighter(150));
    shine.setColorAt(1.0, Colour());
    painter.setPen(QPen(QColor(96, 96, 96), 1.0));
    painter.setBrush(shine);
    painter.drawEllipse(lamp);
}

void CIndicatorLamp::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        DescribeState();
    }
    QWidget::changeEvent(event);
}

void CIndicatorLamp::DescribeState() {
    QString description;
    switch (State_) {
        case Lamp::Red:
            description = tr("红色：合");
            break;
        case Lamp::Green:
            description = tr("绿色：分");
            break;
        case Lamp::Unknown:
            description = tr("灰色：状态未知");
            break;
    }
    if (Stale_ && State_ != Lamp::Unknown) {
        description = tr("%1（数据已过时）").arg(description);
    }
    setAccessibleDescription(description);
}

}  // namespace mp
