#include "app/pages/page_parts.h"

#include "app/assets.h"
#include "app/banner_image.h"
#include "app/controls.h"

#include <QVBoxLayout>

namespace ob {

QWidget* MakePage(const char* name, QVBoxLayout*& layout) {
    auto* page = new QWidget;
    page->setObjectName(name);
    page->setAutoFillBackground(true); // the window's colour, not the style's pane shade
    layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    return page;
}

QLabel* AddAlignedPanel(QVBoxLayout& layout, QWidget* page, const char* name, int height) {
    QLabel* panel = MakePanel(page, name);
    panel->setFixedHeight(height);
    layout.addWidget(panel);
    return panel;
}

BannerImage* MakeBanner(QWidget* parent, const char* name, QRect place) {
    auto* image = new BannerImage(parent);
    image->setObjectName(name);
    image->setGeometry(place);
    return image;
}

QIcon ExitIcon() {
    return IconFromGlyphStrip(ExitGlyph());
}

QIcon ArrowIcon() {
    return IconFromGlyphStrip(ArrowGlyph());
}

BitmapButton* MakeExitButton(QWidget* parent, const char* name, const char* caption, QRect place) {
    auto* button = new BitmapButton(caption, ExitIcon(), GlyphSide::Left, GlyphSpacing, parent);
    button->setObjectName(name);
    button->setGeometry(place);
    return button;
}

BitmapButton* MakeNextButton(QWidget* parent, const char* name, QRect place) {
    auto* button = new BitmapButton("&Next", ArrowIcon(), GlyphSide::Right, GlyphSpacing, parent);
    button->setObjectName(name);
    button->setGeometry(place);
    return button;
}

} // namespace ob
