#include "image_files.h"

#include <QFile>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

namespace {

void PutLittleEndian(QByteArray& out, quint32 value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.append(char((value >> (8 * i)) & 0xFF));
}

int PaletteIndex(const QVector<QRgb>& palette, QRgb color) {
    return int(palette.indexOf(color | 0xFF000000u));
}

} // namespace

bool WriteBmp4(const QImage& source, const QVector<QRgb>& palette, const QString& path) {
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    const int rowBytes = ((image.width() * 4 + 31) / 32) * 4;
    const int headerBytes = 14 + 40 + 16 * 4;
    const int pixelBytes = rowBytes * image.height();

    QByteArray out;
    out.append("BM");
    PutLittleEndian(out, headerBytes + pixelBytes, 4);
    PutLittleEndian(out, 0, 4);
    PutLittleEndian(out, headerBytes, 4);
    PutLittleEndian(out, 40, 4); // BITMAPINFOHEADER
    PutLittleEndian(out, image.width(), 4);
    PutLittleEndian(out, image.height(), 4);
    PutLittleEndian(out, 1, 2);
    PutLittleEndian(out, 4, 2);
    PutLittleEndian(out, 0, 4); // no compression
    PutLittleEndian(out, pixelBytes, 4);
    PutLittleEndian(out, 2835, 4); // 72 dpi
    PutLittleEndian(out, 2835, 4);
    PutLittleEndian(out, 16, 4);
    PutLittleEndian(out, 16, 4);
    for (QRgb color : palette)
        PutLittleEndian(out, color & 0xFFFFFF, 4); // blue, green, red, zero

    for (int y = image.height() - 1; y >= 0; --y) {
        QByteArray row(rowBytes, '\0');
        for (int x = 0; x < image.width(); ++x) {
            const int index = PaletteIndex(palette, image.pixel(x, y));
            if (index < 0)
                return false;
            row[x / 2] = char(row[x / 2] | (x % 2 == 0 ? index << 4 : index));
        }
        out.append(row);
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(out) == out.size();
}

bool WriteJpeg(const QImage& source, int quality, const QString& path) {
    const QImage image = source.convertToFormat(QImage::Format_RGB888);
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);

    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(image.width());
    info.image_height = JDIMENSION(image.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    info.optimize_coding = TRUE;
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<uchar*>(image.constScanLine(int(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);

    QFile file(path);
    const bool written =
        file.open(QIODevice::WriteOnly) &&
        file.write(reinterpret_cast<const char*>(buffer), qint64(size)) == qint64(size);
    std::free(buffer);
    return written;
}
