#include "app/lamp.h"

#include <QPainter>

namespace ob {

LampShape::LampShape(QColor idle, QColor lit, QWidget* parent)
    : QWidget(parent), idleColor(idle), litColor(lit) {}

void LampShape::setLit(bool on) {
    if (lit == on)
        return;
    lit = on;
    update();
}

void LampShape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(color());
    painter.drawEllipse(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}

} // namespace ob
