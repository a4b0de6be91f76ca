#include "app/bitmap_button.h"

#include <QBitmap>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace ob {

namespace {

// The colour of a glyph's lower-left pixel is its background: it shows the button through.
QPixmap GlyphImage(const QPixmap& strip, int left, int width) {
    QPixmap glyph = strip.copy(left, 0, width, strip.height());
    const QImage pixels = glyph.toImage();
    glyph.setMask(QBitmap::fromImage(
        pixels.createMaskFromColor(pixels.pixel(0, pixels.height() - 1), Qt::MaskInColor)));
    return glyph;
}

} // namespace

QIcon IconFromGlyphStrip(const QPixmap& strip) {
    const int half = strip.width() / 2;
    QIcon icon;
    if (strip.isNull())
        return icon;
    icon.addPixmap(GlyphImage(strip, 0, half), QIcon::Normal);
    icon.addPixmap(GlyphImage(strip, half, half), QIcon::Disabled);
    return icon;
}

BitmapButton::BitmapButton(const QString& caption, const QIcon& glyph, GlyphSide side, int spacing,
                           QWidget* parent)
    : QPushButton(caption, parent), side(side), gap(spacing) {
    setIcon(glyph);
    const QList<QSize> sizes = glyph.availableSizes();
    if (!sizes.isEmpty())
        setIconSize(sizes.first());
}

void BitmapButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    painter.drawControl(QStyle::CE_PushButtonBevel, option);
    drawContents(painter, option);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = style()->subElementRect(QStyle::SE_PushButtonFocusRect, &option, this);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

// Glyph and caption as one block centred on the button, the glyph on its own side.
void BitmapButton::drawContents(QPainter& painter, const QStyleOptionButton& option) {
    QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    if (isDown() || isChecked())
        area.translate(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this),
                       style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this));

    int textFlags = Qt::TextShowMnemonic;
    if (!style()->styleHint(QStyle::SH_UnderlineShortcut, &option, this))
        textFlags |= Qt::TextHideMnemonic;
    const QSize textSize = fontMetrics().size(Qt::TextShowMnemonic, text());
    const QPixmap glyph = icon().pixmap(iconSize(), devicePixelRatio(),
                                        isEnabled() ? QIcon::Normal : QIcon::Disabled);
    const QSize glyphSize = glyph.isNull() ? QSize() : iconSize();
    const int between = glyph.isNull() ? 0 : gap;
    const int blockWidth = glyphSize.width() + between + textSize.width();

    const int x = area.left() + (area.width() - blockWidth) / 2;
    const int glyphX = side == GlyphSide::Left ? x : x + textSize.width() + between;
    const int textX = side == GlyphSide::Left ? x + glyphSize.width() + between : x;
    if (!glyph.isNull())
        painter.drawPixmap(glyphX, area.top() + (area.height() - glyphSize.height()) / 2, glyph);
    const QRect textRect(textX, area.top(), textSize.width(), area.height());
    style()->drawItemText(&painter, textRect, int(Qt::AlignLeft | Qt::AlignVCenter) | textFlags,
                          option.palette, isEnabled(), text(), QPalette::ButtonText);
}

} // namespace ob
