#include "app/jpeg_image.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace ob {

namespace {

struct JumpingErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf onError;
};

void JumpBack(j_common_ptr info) {
    auto* manager = reinterpret_cast<JumpingErrorManager*>(info->err);
    std::longjmp(manager->onError, 1);
}

void IgnoreMessage(j_common_ptr) {}

QImage::Format FormatFor(const jpeg_decompress_struct& info) {
    return info.out_color_space == JCS_GRAYSCALE ? QImage::Format_Grayscale8
                                                 : QImage::Format_RGB888;
}

// Only trivially destructible locals live here: libjpeg leaves this frame by longjmp on a
// corrupt stream. The result goes to the caller's image.
bool DecodeInto(const QByteArray& data, QImage& image) {
    jpeg_decompress_struct info;
    JumpingErrorManager errors;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = JumpBack;
    errors.base.output_message = IgnoreMessage;
    if (setjmp(errors.onError)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(&info, TRUE);
    if (info.jpeg_color_space != JCS_GRAYSCALE)
        info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    image = QImage(int(info.output_width), int(info.output_height), FormatFor(info));
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image.scanLine(int(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

} // namespace

QImage DecodeJpeg(const QByteArray& data) {
    if (data.isEmpty())
        return {};
    QImage image;
    if (!DecodeInto(data, image))
        return {};
    return image;
}

} // namespace ob
