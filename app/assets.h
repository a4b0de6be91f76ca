#pragma once
// The pictures built into the program.

#include <QIcon>
#include <QImage>
#include <QPixmap>

namespace ob {

QImage BannerPicture(); // the product banner, decoded from its JPEG
QPixmap ExitGlyph();    // normal and disabled image side by side
QPixmap ArrowGlyph();   // normal and disabled image side by side
QIcon ProgramIcon();

} // namespace ob
