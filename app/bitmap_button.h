#pragma once
// A push button with a glyph beside its caption, a fixed gap between the two.

#include <QIcon>
#include <QPixmap>
#include <QPushButton>

namespace ob {

enum class GlyphSide { Left, Right };

// A glyph strip holds the normal image and, to its right, the disabled one.
QIcon IconFromGlyphStrip(const QPixmap& strip);

class BitmapButton : public QPushButton {
public:
    BitmapButton(const QString& caption, const QIcon& glyph, GlyphSide side, int spacing,
                 QWidget* parent);

    GlyphSide glyphSide() const { return side; }
    int spacing() const { return gap; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void drawContents(QPainter& painter, const QStyleOptionButton& option);

    GlyphSide side;
    int gap;
};

} // namespace ob
