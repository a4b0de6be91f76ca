#include "pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

void PaintSky(QPainter& painter, QSizeF size) {
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0.0, QColor(6, 22, 61));
    sky.setColorAt(0.45, QColor(24, 84, 160));
    sky.setColorAt(0.78, QColor(128, 186, 232));
    sky.setColorAt(1.0, QColor(220, 236, 246));
    painter.fillRect(QRectF(QPointF(0, 0), size), sky);

    QRadialGradient glow(QPointF(size.width() * 0.80, size.height() * 0.86), size.height() * 0.9);
    glow.setColorAt(0.0, QColor(255, 196, 120, 150));
    glow.setColorAt(1.0, QColor(255, 196, 120, 0));
    painter.fillRect(QRectF(QPointF(0, 0), size), glow);
}

// Signal waves leaving the dish along its axis, up into the sky.
void PaintWaves(QPainter& painter, QPointF dish) {
    for (int wave = 0; wave < 5; ++wave) {
        const double radius = 330 + wave * 85;
        painter.setPen(
            QPen(QColor(255, 255, 255, 100 - wave * 16), 7 - wave, Qt::SolidLine, Qt::RoundCap));
        painter.drawArc(QRectF(dish.x() - radius, dish.y() - radius, 2 * radius, 2 * radius),
                        142 * 16, 20 * 16);
    }
}

void PaintHills(QPainter& painter, QSizeF size) {
    const double w = size.width(), h = size.height();
    QPainterPath far;
    far.moveTo(0, h * 0.86);
    far.cubicTo(w * 0.18, h * 0.74, w * 0.36, h * 0.90, w * 0.55, h * 0.80);
    far.cubicTo(w * 0.70, h * 0.72, w * 0.86, h * 0.84, w, h * 0.78);
    far.lineTo(w, h);
    far.lineTo(0, h);
    painter.fillPath(far, QColor(34, 66, 104));

    QPainterPath near;
    near.moveTo(0, h * 0.95);
    near.cubicTo(w * 0.25, h * 0.86, w * 0.45, h * 0.98, w * 0.66, h * 0.90);
    near.cubicTo(w * 0.80, h * 0.85, w * 0.92, h * 0.88, w, h * 0.86);
    near.lineTo(w, h);
    near.lineTo(0, h);
    painter.fillPath(near, QColor(10, 26, 44));
}

void PaintMast(QPainter& painter, QPointF foot, double height) {
    const QColor steel(16, 30, 48);
    painter.setPen(Qt::NoPen);
    painter.setBrush(steel);
    painter.drawRect(QRectF(foot.x() - 14, foot.y() - height, 28, height));
    // lattice braces
    painter.setPen(QPen(steel, 6));
    for (double y = foot.y() - height + 30; y < foot.y(); y += 46) {
        painter.drawLine(QPointF(foot.x() - 40, y + 46), QPointF(foot.x() + 40, y));
        painter.drawLine(QPointF(foot.x() - 40, y), QPointF(foot.x() + 40, y + 46));
    }
    painter.setPen(Qt::NoPen);
    painter.drawPolygon(
        QPolygonF({QPointF(foot.x() - 90, foot.y()), QPointF(foot.x() + 90, foot.y()),
                   QPointF(foot.x() + 40, foot.y() - 60), QPointF(foot.x() - 40, foot.y() - 60)}));
}

// A parabolic dish seen from the side and a little from the front, tilted to the sky.
void PaintDish(QPainter& painter, QPointF mount) {
    painter.save();
    painter.translate(mount);
    painter.rotate(28);

    QRadialGradient face(QPointF(-40, -60), 260);
    face.setColorAt(0.0, QColor(250, 252, 255));
    face.setColorAt(0.6, QColor(196, 208, 222));
    face.setColorAt(1.0, QColor(120, 136, 156));
    painter.setPen(QPen(QColor(40, 56, 78), 8));
    painter.setBrush(face);
    const QRectF rim(-110, -230, 220, 460);
    painter.drawEllipse(rim);

    painter.setPen(QPen(QColor(40, 56, 78), 9, Qt::SolidLine, Qt::RoundCap));
    const QPointF feed(-250, 0);
    painter.drawLine(QPointF(-40, -190), feed);
    painter.drawLine(QPointF(-40, 190), feed);
    painter.drawLine(QPointF(0, 0), feed);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(230, 120, 20));
    painter.drawRoundedRect(QRectF(feed.x() - 34, -18, 44, 36), 6, 6);
    painter.restore();
}

void PaintName(QPainter& painter, QSizeF size) {
    const double h = size.height();
    QFont name(QStringLiteral("DejaVu Sans"));
    name.setPixelSize(int(h * 0.27));
    name.setBold(true);
    QFont tagline(QStringLiteral("DejaVu Sans"));
    tagline.setPixelSize(int(h * 0.085));
    tagline.setBold(true);
    tagline.setLetterSpacing(QFont::AbsoluteSpacing, h * 0.02);

    const QPointF base(size.width() * 0.06, h * 0.50);
    const QString maker = QStringLiteral("Orbeline ");
    const QString model = QStringLiteral("OB7300");
    painter.setFont(name);
    const double makerWidth = painter.fontMetrics().horizontalAdvance(maker);

    painter.setPen(QColor(0, 0, 0, 110));
    painter.drawText(base + QPointF(8, 8), maker + model);
    painter.setPen(QColor(255, 255, 255));
    painter.drawText(base, maker);
    painter.setPen(QColor(255, 176, 32));
    painter.drawText(base + QPointF(makerWidth, 0), model);

    painter.setFont(tagline);
    painter.setPen(QColor(0, 0, 0, 110));
    const QPointF taglineBase(base.x() + 6, h * 0.66);
    const QString text = QStringLiteral("ANTENNA CONTROLLER");
    painter.drawText(taglineBase + QPointF(4, 4), text);
    painter.setPen(QColor(214, 234, 250));
    painter.drawText(taglineBase, text);

    painter.fillRect(QRectF(base.x() + 6, h * 0.71, size.width() * 0.36, h * 0.018),
                     QColor(255, 176, 32));
}

} // namespace

QImage DrawBanner(QSize size) {
    QImage banner(size, QImage::Format_RGB32);
    QPainter painter(&banner);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    PaintSky(painter, size);
    const QPointF mastFoot(size.width() * 0.84, size.height() * 0.93);
    const double mastHeight = size.height() * 0.52;
    PaintHills(painter, size);
    PaintMast(painter, mastFoot, mastHeight);
    const QPointF dish = mastFoot - QPointF(0, mastHeight);
    PaintDish(painter, dish);
    PaintWaves(painter, dish);
    PaintName(painter, size);
    return banner;
}
