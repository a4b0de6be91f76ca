#include "app/assets.h"
#include "app/bitmap_button.h"
#include "app/jpeg_image.h"

#include <QFile>
#include <gtest/gtest.h>

namespace ob {
namespace {

QByteArray BannerFile() {
    QFile file(OBAPP_ASSETS_DIR "/banner.jpg");
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

TEST(Jpeg, DecodesTheBannerInColour) {
    const QImage banner = BannerPicture();
    ASSERT_EQ(banner.size(), QSize(2181, 557));
    EXPECT_FALSE(banner.isGrayscale());
    EXPECT_EQ(DecodeJpeg(BannerFile()), banner);
}

TEST(Jpeg, DamagedDataGiveNoPictureAndNoCrash) {
    const QByteArray good = BannerFile();
    for (const QByteArray& bad :
         {QByteArray(), QByteArray("not a jpeg at all"), good.left(2), good.left(600)}) {
        const QImage decoded = DecodeJpeg(bad);
        EXPECT_TRUE(decoded.isNull() || decoded.size() == QSize(2181, 557)) << bad.size();
    }
    EXPECT_TRUE(DecodeJpeg("not a jpeg at all").isNull());
}

TEST(Glyphs, StripsHoldANormalAndADisabledImage) {
    struct Case {
        QPixmap strip;
        int side;
    };
    for (const Case& c : {Case{ExitGlyph(), 18}, Case{ArrowGlyph(), 16}}) {
        ASSERT_EQ(c.strip.size(), QSize(2 * c.side, c.side));
        const QIcon icon = IconFromGlyphStrip(c.strip);
        const QImage normal = icon.pixmap(c.side, QIcon::Normal).toImage();
        const QImage disabled = icon.pixmap(c.side, QIcon::Disabled).toImage();
        EXPECT_EQ(normal.size(), QSize(c.side, c.side));
        EXPECT_NE(normal, disabled);
        EXPECT_FALSE(normal.pixelColor(0, c.side - 1).alpha()) << "lower left is transparent";
    }
    EXPECT_FALSE(ProgramIcon().isNull());
}

} // namespace
} // namespace ob
