// make_assets <directory>: draws the banner, the button glyphs and the program icon into
// <directory> (the repository's assets/).

#include "image_files.h"
#include "pictures.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("assets"));

    const bool written =
        WriteJpeg(DrawBanner({2181, 557}), 90, out.filePath("banner.jpg")) &&
        WriteBmp4(DrawExitGlyphStrip(18), SixteenColors(), out.filePath("exit.bmp")) &&
        WriteBmp4(DrawArrowGlyphStrip(16), SixteenColors(), out.filePath("arrow.bmp")) &&
        DrawProgramIcon(64).save(out.filePath("obflash.png"));
    if (!written) {
        std::fprintf(stderr, "make_assets: could not write the pictures to %s\n",
                     qPrintable(out.absolutePath()));
        return 1;
    }
    return 0;
}
