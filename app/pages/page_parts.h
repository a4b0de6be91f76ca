#pragma once
// Pieces shared by the page builders.

#include "app/bitmap_button.h"

#include <QIcon>
#include <QRect>
#include <QStringList>

class QLabel;
class QVBoxLayout;
class QWidget;

namespace ob {

class BannerImage;

constexpr int BannerPanelHeight = 117;
constexpr int ButtonPanelHeight = 48;
constexpr QRect BannerPlaceInPanel{0, -3, 464, 120};
constexpr int GlyphSpacing = 8;
constexpr int StandardGlyphSpacing = 4; // the platform's own close button

// A page whose panels stack from the top and the bottom; the rest is free for placed controls.
QWidget* MakePage(const char* name, QVBoxLayout*& layout);
QLabel* AddAlignedPanel(QVBoxLayout& layout, QWidget* page, const char* name, int height);

BannerImage* MakeBanner(QWidget* parent, const char* name, QRect place);

QIcon ExitIcon();
QIcon ArrowIcon();
BitmapButton* MakeExitButton(QWidget* parent, const char* name, const char* caption, QRect place);
BitmapButton* MakeNextButton(QWidget* parent, const char* name, QRect place);

} // namespace ob
