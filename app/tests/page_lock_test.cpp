#include "window_fixture.h"

#include <QCloseEvent>
#include <QPushButton>
#include <QWheelEvent>

namespace ob::testing {
namespace {

class PageLockTest : public WindowTest {
protected:
    // Every way a user has of changing the page, tried against every tab.
    void tryEveryUserChange() {
        QTabBar* bar = tabs();
        for (int tab = 0; tab < bar->count(); ++tab) {
            const QPoint centre = bar->tabRect(tab).center();
            QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, centre);
            QTest::mouseDClick(bar, Qt::LeftButton, Qt::NoModifier, centre);
            QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, centre);
            QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, centre);
            for (int delta : {120, -120}) {
                QWheelEvent wheel(centre, bar->mapToGlobal(centre), {}, {0, delta}, Qt::NoButton,
                                  Qt::NoModifier, Qt::NoScrollPhase, false);
                QApplication::sendEvent(bar, &wheel);
            }
        }
        bar->setFocus();
        for (int key : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Home, Qt::Key_End, Qt::Key_Up,
                        Qt::Key_Down, Qt::Key_PageDown, Qt::Key_PageUp})
            QTest::keyClick(bar, Qt::Key(key));
        for (QWidget* target : {static_cast<QWidget*>(bar), static_cast<QWidget*>(pages()),
                                pages()->currentWidget(), static_cast<QWidget*>(window.get())})
            for (int key : {Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_PageDown, Qt::Key_PageUp}) {
                QTest::keyClick(target, Qt::Key(key), Qt::ControlModifier);
                QTest::keyClick(target, Qt::Key(key), Qt::ControlModifier | Qt::ShiftModifier);
            }
    }

    // Keys go where the user's would: to the focused control, else to the window.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* focused = QApplication::focusWidget();
        QTest::keyClick(focused ? focused : window.get(), key, modifiers);
    }

    bool closeRequestAccepted() {
        QCloseEvent request;
        QApplication::sendEvent(window.get(), &request);
        return request.isAccepted();
    }
};

TEST_F(PageLockTest, UserCannotChangeThePageOnAnyPage) {
    for (Page page :
         {Page::Introduction, Page::Connect, Page::CyclePower, Page::Download, Page::Finished}) {
        window->selectPage(page);
        tryEveryUserChange();
        EXPECT_EQ(window->page(), page) << int(page);
        EXPECT_EQ(pages()->currentIndex(), int(page));
    }
}

TEST_F(PageLockTest, ProgramChangesAlwaysTakeEffect) {
    for (Page page :
         {Page::Finished, Page::Connect, Page::Download, Page::Introduction, Page::CyclePower}) {
        window->selectPage(page);
        EXPECT_EQ(pages()->currentIndex(), int(page));
    }
}

TEST_F(PageLockTest, TabsCarryTheirCaptionsAndWidth) {
    const QStringList captions{" Introduction >", "Connect >", "Cycle power >", "Download >",
                               " Finished"};
    ASSERT_EQ(tabs()->count(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(tabs()->tabText(i), captions[i]);
        EXPECT_EQ(tabs()->tabRect(i).width(), 90);
    }
}

TEST_F(PageLockTest, NextOnTheIntroductionShowsConnect) {
    QTest::mouseClick(find<QPushButton>("btNext1"), Qt::LeftButton);
    EXPECT_EQ(window->page(), Page::Connect);
}

TEST_F(PageLockTest, ExitClosesTheIntroductionConnectAndFinishedPages) {
    struct Case {
        Page page;
        const char* button;
    };
    for (const Case& c : {Case{Page::Introduction, "btExit"}, Case{Page::Connect, "btExit2"},
                          Case{Page::Finished, "btExit5"}}) {
        window->show();
        window->selectPage(c.page);
        QTest::mouseClick(find<QPushButton>(c.button), Qt::LeftButton);
        EXPECT_FALSE(window->isVisible()) << c.button;
    }
}

TEST_F(PageLockTest, EscapePressesTheCancelButtonAndEnterTheDefault) {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    press(Qt::Key_Return);
    EXPECT_EQ(window->page(), Page::Connect); // btNext1
    // The focus has moved to Exit with the page; Enter still means the default, here unusable.
    press(Qt::Key_Return);
    EXPECT_EQ(window->page(), Page::Connect);
    EXPECT_TRUE(window->isVisible());
    window->setVisible(Control::gbSelect, true);
    window->setEnabled(Control::btNext2, true);
    bool manualNext = false;
    QObject::connect(find<QPushButton>("btNext2"), &QPushButton::clicked,
                     [&] { manualNext = true; });
    press(Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_TRUE(manualNext);
    press(Qt::Key_Escape); // btExit2
    EXPECT_FALSE(window->isVisible());

    window->show();
    window->selectPage(Page::CyclePower);
    press(Qt::Key_Escape); // Abort operation
    EXPECT_EQ(window->page(), Page::Finished);
    press(Qt::Key_Escape); // no cancel button on Finished
    EXPECT_TRUE(window->isVisible());

    window->selectPage(Page::Introduction);
    press(Qt::Key_Escape); // btExit
    EXPECT_FALSE(window->isVisible());
}

// An accelerator presses its button the animated way, a moment later.
bool PageBecomes(const TfmMain& window, Page page) {
    return QTest::qWaitFor([&] { return window.page() == page; }, 2000);
}

TEST_F(PageLockTest, AcceleratorsPressTheCurrentPagesButton) {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_N, Qt::AltModifier);
    EXPECT_TRUE(PageBecomes(*window, Page::Connect));
    window->selectPage(Page::CyclePower);
    QTest::keyClick(window.get(), Qt::Key_A, Qt::AltModifier);
    EXPECT_TRUE(PageBecomes(*window, Page::Finished));
}

TEST_F(PageLockTest, CloseRequestRefusedWhileTheLongLoopsCanRun) {
    for (Page page : {Page::CyclePower, Page::Download}) {
        window->selectPage(page);
        EXPECT_FALSE(closeRequestAccepted()) << int(page);
        EXPECT_TRUE(window->isVisible());
    }
    for (Page page : {Page::Introduction, Page::Connect, Page::Finished}) {
        window->selectPage(page);
        EXPECT_TRUE(closeRequestAccepted()) << int(page);
    }
}

TEST_F(PageLockTest, AbortShowsFinishedStopsTheLoopsAndHidesProgress) {
    ob::Run.KeepRunning = true;
    window->selectPage(Page::CyclePower);
    window->setVisible(Control::pnLeds, true);
    window->setVisible(Control::pnProgress, true);
    QTest::mouseClick(find<QPushButton>("btExit3"), Qt::LeftButton);
    EXPECT_FALSE(ob::Run.KeepRunning);
    EXPECT_EQ(window->page(), Page::Finished);
    EXPECT_TRUE(find<QWidget>("pnProgress")->isHidden());
    EXPECT_EQ(window->caption(Control::lResult), "No upgrade performed.");
}

} // namespace
} // namespace ob::testing
