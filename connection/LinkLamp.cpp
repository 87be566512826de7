#include "connection/LinkLamp.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace mp {

namespace {

constexpr int kSide = 14;

}  // namespace

CLinkLamp::CLinkLamp(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("linkLamp"));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
    setAccessibleName(tr("通讯状态"));
    SetState(LinkState::Idle, IdleText());
}

QString CLinkLamp::IdleText() {
    return tr("未通讯");
}

void CLinkLamp::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        setAccessibleName(tr("通讯状态"));
        if (Idle_) {
            SetState(State_, QString());
        }
    }
    QWidget::changeEvent(event);
}

void CLinkLamp::SetState(LinkState state, const QString& description) {
    Idle_ = description.isEmpty();
    const QString text = Idle_ ? IdleText() : description;
    if (state == State_ && text == accessibleDescription()) {
        return;
    }
    State_ = state;
    setAccessibleDescription(text);
    setToolTip(text);
    update();
}

QColor CLinkLamp::Colour() const {
    switch (State_) {
        case LinkState::Answering:
            return {0, 204, 51};
        case LinkState::Unanswered:
            return {255, 170, 0};
        case LinkState::PortLost:
            return {255, 0, 0};
        case LinkState::Idle:
            break;
    }
    return {160, 160, 160};
}

QSize CLinkLamp::sizeHint() const {
    return {kSide, kSide};
}

QSize CLinkLamp::minimumSizeHint() const {
    return {kSide, kSide};
}

void CLinkLamp::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(96, 96, 96), 1.0));
    painter.setBrush(Colour());
    painter.drawEllipse(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5));
    if (hasFocus()) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(palette().highlight().color(), 1.0, Qt::DotLine));
        painter.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
    }
}

void CLinkLamp::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit clicked();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void CLinkLamp::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Space:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            emit clicked();
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}

}  // namespace mp
