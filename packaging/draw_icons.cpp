// draw_icons <directory> <side>...: draws the program icon at each side into
// <directory>/<side>x<side>/apps/obflash.png, the layout of an icon theme. Drawn at each size
// rather than scaled from the 64-pixel asset, so the large icons stay sharp.

#include "pictures.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

namespace {

bool WriteIcon(const QDir& theme, int side) {
    const QString folder = QStringLiteral("%1x%1/apps").arg(side);
    return theme.mkpath(folder) &&
           DrawProgramIcon(side).save(theme.filePath(folder + "/obflash.png"), "PNG");
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: draw_icons <directory> <side>...\n");
        return 2;
    }
    const QDir theme(QString::fromLocal8Bit(argv[1]));
    for (int i = 2; i < argc; ++i) {
        const int side = std::atoi(argv[i]);
        if (side <= 0 || !WriteIcon(theme, side)) {
            std::fprintf(stderr, "draw_icons: could not write the %s-pixel icon into %s\n", argv[i],
                         argv[1]);
            return 1;
        }
    }
    return 0;
}
