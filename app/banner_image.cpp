#include "app/banner_image.h"

#include <QPaintEvent>
#include <QPainter>

namespace ob {

BannerImage::BannerImage(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void BannerImage::setPicture(const QImage& picture) {
    source = picture;
    scaled = QImage();
    update();
}

const QImage& BannerImage::scaledToSize() {
    if (scaled.size() != size())
        scaled = source.scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
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
