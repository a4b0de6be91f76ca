// Renders every page to a PNG under the build directory, for a person to look at.

#include "window_fixture.h"

#include <QDir>

namespace ob::testing {
namespace {

using PageRender = WindowTest;

TEST_F(PageRender, EveryPageRendersToAPicture) {
    ASSERT_TRUE(QDir().mkpath(OBAPP_RENDER_DIR));
    const char* names[] = {"0-introduction", "1-connect", "2-cycle-power", "3-download",
                           "4-finished"};
    for (int page = 0; page < 5; ++page) {
        window->selectPage(Page(page));
        QApplication::processEvents();
        const QPixmap shot = window->grab();
        EXPECT_EQ(shot.size(), QSize(472, 434));
        EXPECT_TRUE(shot.save(QString(OBAPP_RENDER_DIR "/%1.png").arg(names[page])));
    }

    // The states the later steps bring about: the manual port choice, the lamp strip in use.
    window->selectPage(Page::Connect);
    window->setVisible(Control::gbSelect, true);
    window->fillPortList({{"COM1", "/dev/ttyS0"}, {"COM3", "/dev/ttyUSB0"}});
    QApplication::processEvents();
    EXPECT_TRUE(window->grab().save(OBAPP_RENDER_DIR "/1-connect-manual.png"));

    window->selectPage(Page::Download);
    window->setVisible(Control::pnLeds, true);
    window->setVisible(Control::pnProgress, true);
    window->setWidth(Control::lProgress, 160);
    window->setCaption(Control::lProgress, "working... 48%  ");
    window->setLamp(Lamp::TX, true);
    QApplication::processEvents();
    EXPECT_TRUE(window->grab().save(OBAPP_RENDER_DIR "/3-download-progress.png"));

    window->setVisible(Control::pnWarning, true);
    window->selectPage(Page::Finished);
    for (int i = 0; i < 30; ++i)
        window->log("$Line " + std::to_string(i) + " of the operations log.");
    QApplication::processEvents();
    EXPECT_TRUE(window->grab().save(OBAPP_RENDER_DIR "/4-finished-warning.png"));
}

} // namespace
} // namespace ob::testing
