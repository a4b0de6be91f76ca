#pragma once
// An image control that stretches its picture to its own size, whatever that is.

#include <QImage>
#include <QWidget>

namespace ob {

class BannerImage : public QWidget {
public:
    explicit BannerImage(QWidget* parent);

    void setPicture(const QImage& picture);
    const QImage& picture() const { return source; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const QImage& scaledToSize();

    QImage source;
    QImage atHeight; // the picture at the control's height, its own width
    QImage scaled;   // the picture at the size it was last drawn, so repaints stay cheap
};

} // namespace ob
