#include "app/assets.h"

#include "app/jpeg_image.h"

#include <QFile>

namespace ob {

QImage BannerPicture() {
    QFile file(QStringLiteral(":/assets/banner.jpg"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return DecodeJpeg(file.readAll());
}

QPixmap ExitGlyph() {
    return QPixmap(QStringLiteral(":/assets/exit.bmp"));
}

QPixmap ArrowGlyph() {
    return QPixmap(QStringLiteral(":/assets/arrow.bmp"));
}

QIcon ProgramIcon() {
    return QIcon(QStringLiteral(":/assets/obflash.png"));
}

} // namespace ob
