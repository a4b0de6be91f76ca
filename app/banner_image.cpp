#include "app/banner_image.h"

#include <QPaintEvent>
#include <QPainter>

namespace ob {

namespace {

// Every banner shows the one picture at the one height, and bringing the large picture to that
// height is the costly step: done once for all of them, a page change does not freeze the window.
QImage AtHeight(const QImage& source, int height) {
    static QImage scaledFrom;
    static QImage scaled;
    if (scaled.height() != height || scaledFrom.cacheKey() != source.cacheKey()) {
        scaled =
            source.scaled(source.width(), height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        scaledFrom = source;
    }
    return scaled;
}

} // namespace

BannerImage::BannerImage(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void BannerImage::setPicture(const QImage& picture) {
    source = picture;
    atHeight = QImage();
    scaled = QImage();
    update();
}

// The width changes every tick while the height stays: the picture is brought to the height
// once, so that each new width only rescales a small image.
const QImage& BannerImage::scaledToSize() {
    if (scaled.size() == size())
        return scaled;
    if (atHeight.height() != height())
        atHeight = AtHeight(source, height());
    scaled = atHeight.scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return scaled;
}

void BannerImage::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (source.isNull() || width() <= 0 || height() <= 0) {
        painter.fillRect(event->rect(), palette().window());
        return;
    }
    painter.drawImage(event->rect(), scaledToSize(), event->rect());
}

} // namespace ob
