#include "pictures.h"

#include <QPainter>

namespace {

// The classic 16-colour palette, in its usual order.
const QVector<QRgb> Palette{
    qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
    qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
    qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
    qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255),
};

const QRgb Transparent = qRgb(255, 0, 255);
const QRgb Black = qRgb(0, 0, 0);
const QRgb Gray = qRgb(128, 128, 128);
const QRgb White = qRgb(255, 255, 255);

QImage BlankGlyph(int side) {
    QImage glyph(side, side, QImage::Format_RGB32);
    glyph.fill(Transparent);
    return glyph;
}

// Grey engraved look: every dark pixel becomes grey, with a white one below and to the right.
QImage DisabledFrom(const QImage& normal) {
    QImage disabled = BlankGlyph(normal.width());
    auto isInk = [&](int x, int y) {
        const QRgb c = normal.pixel(x, y);
        return c != Transparent && qGray(c) < 200;
    };
    for (int y = 0; y < normal.height(); ++y)
        for (int x = 0; x < normal.width(); ++x)
            if (isInk(x, y) && x + 1 < normal.width() && y + 1 < normal.height())
                disabled.setPixel(x + 1, y + 1, White);
    for (int y = 0; y < normal.height(); ++y)
        for (int x = 0; x < normal.width(); ++x)
            if (isInk(x, y))
                disabled.setPixel(x, y, Gray);
    return disabled;
}

QImage SideBySide(const QImage& normal) {
    QImage strip(normal.width() * 2, normal.height(), QImage::Format_RGB32);
    QPainter painter(&strip);
    painter.drawImage(0, 0, normal);
    painter.drawImage(normal.width(), 0, DisabledFrom(normal));
    return strip;
}

// An open door with a red arrow leaving through it.
QImage DrawExitGlyph(int side) {
    QImage glyph = BlankGlyph(side);
    QPainter painter(&glyph);
    painter.setRenderHint(QPainter::Antialiasing, false);

    painter.setPen(QColor(Black));
    painter.setBrush(QColor(White));
    painter.drawRect(8, 1, 8, 15); // the doorway
    painter.setBrush(QColor(qRgb(128, 128, 0)));
    painter.drawPolygon(QPolygon({{8, 1}, {13, 3}, {13, 17}, {8, 16}})); // the door leaf
    painter.setPen(QColor(Black));
    painter.drawPoint(11, 10); // its knob

    painter.setPen(QColor(qRgb(128, 0, 0)));
    painter.setBrush(QColor(qRgb(255, 0, 0)));
    painter.drawPolygon(QPolygon({{1, 9}, {5, 5}, {5, 7}, {9, 7}, {9, 11}, {5, 11}, {5, 13}}));
    return glyph;
}

// A green arrow pointing right.
QImage DrawArrowGlyph(int side) {
    QImage glyph = BlankGlyph(side);
    QPainter painter(&glyph);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QColor(qRgb(0, 128, 0)));
    painter.setBrush(QColor(qRgb(0, 255, 0)));
    painter.drawPolygon(QPolygon({{1, 6}, {8, 6}, {8, 2}, {14, 8}, {8, 14}, {8, 10}, {1, 10}}));
    painter.setPen(QColor(White));
    painter.drawLine(2, 7, 8, 7);
    painter.drawLine(9, 4, 12, 7);
    return glyph;
}

} // namespace

QVector<QRgb> SixteenColors() {
    return Palette;
}

QImage DrawExitGlyphStrip(int side) {
    return SideBySide(DrawExitGlyph(side));
}

QImage DrawArrowGlyphStrip(int side) {
    return SideBySide(DrawArrowGlyph(side));
}
