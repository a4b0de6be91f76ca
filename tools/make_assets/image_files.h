#pragma once
// Writers for the two file formats Qt does not write the way we need them.

#include <QImage>
#include <QString>
#include <QVector>

// A 4-bit BMP: every pixel of `image` must be one of the 16 colours.
bool WriteBmp4(const QImage& image, const QVector<QRgb>& palette, const QString& path);

// A baseline JPEG through libjpeg.
bool WriteJpeg(const QImage& image, int quality, const QString& path);
