#include "pictures.h"

#include <QLinearGradient>
#include <QPainter>

QImage DrawProgramIcon(int side) {
    QImage icon(side, side, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(side / 64.0, side / 64.0);

    QLinearGradient tile(0, 0, 0, 64);
    tile.setColorAt(0.0, QColor(40, 110, 200));
    tile.setColorAt(1.0, QColor(8, 30, 80));
    painter.setPen(Qt::NoPen);
    painter.setBrush(tile);
    painter.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);

    // the bowl opening to the upper left, its feed arm and its signal
    const QColor dish(236, 242, 250);
    const QColor accent(255, 176, 32);
    painter.save();
    painter.translate(36, 34);
    painter.rotate(-45);
    painter.setBrush(dish);
    painter.drawChord(QRectF(-19, -19, 38, 38), 180 * 16, 180 * 16);
    painter.setPen(QPen(dish, 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(0, 0), QPointF(0, -13));
    painter.setPen(Qt::NoPen);
    painter.setBrush(accent);
    painter.drawEllipse(QPointF(0, -14), 3.5, 3.5);
    painter.setBrush(Qt::NoBrush);
    for (int wave = 0; wave < 3; ++wave) {
        const double r = 8 + wave * 6;
        painter.setPen(QPen(accent, 2.5, Qt::SolidLine, Qt::RoundCap));
        painter.drawArc(QRectF(-r, -14 - r, 2 * r, 2 * r), 60 * 16, 60 * 16);
    }
    painter.restore();

    // the foot
    painter.setPen(QPen(dish, 3.5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(48, 47), QPointF(50, 56));
    painter.drawLine(QPointF(40, 56), QPointF(60, 56));
    return icon;
}
