#pragma once
// JPEG decoding through libjpeg, the banner's one decoder.

#include <QByteArray>
#include <QImage>

namespace ob {

// The decoded picture as RGB; a null image when the data are no readable JPEG.
QImage DecodeJpeg(const QByteArray& data);

} // namespace ob
