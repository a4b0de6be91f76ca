#include "app/banner_image.h"
#include "window_fixture.h"

#include <QGroupBox>
#include <vector>

namespace ob::testing {
namespace {

class BannerTest : public WindowTest {
protected:
    BannerImage* banner(const char* name) { return find<BannerImage>(name); }

    std::vector<int> widthsOver(int ticks, BannerImage* image) {
        std::vector<int> widths;
        for (int i = 0; i < ticks; ++i) {
            window->tmTimerTimer();
            widths.push_back(image->width());
        }
        return widths;
    }
};

TEST_F(BannerTest, PagesAreAsWideAsTheBannerWasDrawnFor) {
    EXPECT_EQ(find<QWidget>("TabSheet1")->width(), 464);
    window->selectPage(Page::Connect);
    EXPECT_EQ(find<QWidget>("TabSheet2")->width(), 464);
    EXPECT_EQ(banner("Image1")->geometry(), QRect(0, -3, 464, 120));
}

TEST_F(BannerTest, IntroductionNarrowsToFourThenWidensToEighteenEightyFour) {
    BannerImage* image = banner("Image1");
    const std::vector<int> widths = widthsOver(23 + 94 + 94, image);
    EXPECT_EQ(widths[0], 444);
    EXPECT_EQ(widths[22], 4); // after 23 ticks
    EXPECT_EQ(widths[23], 24);
    EXPECT_EQ(widths[22 + 94], 1884); // the widest
    EXPECT_EQ(widths[22 + 95], 1864);
    EXPECT_EQ(widths[22 + 94 + 94], 4); // a full cycle of 188 ticks
    EXPECT_EQ(*std::max_element(widths.begin(), widths.end()), 1884);
    EXPECT_EQ(*std::min_element(widths.begin(), widths.end()), 4);

    Banner = {};
    image->setGeometry(0, -3, 464, 120);
    widthsOver(23 + 94, image);
    EXPECT_EQ(image->x(), -710);
    EXPECT_EQ(image->height(), 120);
    EXPECT_EQ(image->y(), -3);
}

TEST_F(BannerTest, ConnectSwingsBetweenOneHundredFourAndFourHundredEightyFour) {
    window->btNext1Click();
    BannerImage* image = banner("Image2");
    const std::vector<int> widths = widthsOver(18 + 19 + 2, image);
    std::vector<int> expected;
    for (int w = 444; w >= 104; w -= 20)
        expected.push_back(w);
    for (int w = 124; w <= 484; w += 20)
        expected.push_back(w);
    expected.push_back(464);
    expected.push_back(444);
    EXPECT_EQ(widths, expected);
    EXPECT_EQ(image->x(), (464 - 444) / 2);
}

TEST_F(BannerTest, ConnectTurnsAtOnceWhenEnteredWidening) {
    Banner.BannerStep = 20;
    window->btNext1Click();
    BannerImage* image = banner("Image2");
    EXPECT_EQ(widthsOver(3, image), (std::vector<int>{484, 464, 444}));
}

TEST_F(BannerTest, StepIsSharedBetweenPagesAndNeverReset) {
    widthsOver(30, banner("Image1")); // turned at 4: widening
    EXPECT_EQ(Banner.BannerStep, 20);
    window->btNext1Click();
    EXPECT_EQ(widthsOver(1, banner("Image2")), std::vector<int>{484});
}

TEST_F(BannerTest, ManualChoiceHoldsTheConnectBannerAtFullWidth) {
    window->btNext1Click();
    BannerImage* image = banner("Image2");
    widthsOver(5, image);
    window->setVisible(Control::gbSelect, true);
    EXPECT_EQ(widthsOver(3, image), (std::vector<int>{464, 464, 464}));
    EXPECT_EQ(image->x(), 2);
}

TEST_F(BannerTest, OtherPagesTickWithoutAnimating) {
    const QRect intro = banner("Image1")->geometry();
    window->selectPage(Page::CyclePower);
    const QRect cycle = banner("Image3")->geometry();
    widthsOver(5, banner("Image3"));
    EXPECT_EQ(banner("Image1")->geometry(), intro);
    EXPECT_EQ(banner("Image3")->geometry(), cycle);
}

TEST_F(BannerTest, LaterPagesGetThePictureOfTheFirst) {
    const QImage picture = banner("Image1")->picture();
    ASSERT_EQ(picture.size(), QSize(2181, 557));
    EXPECT_TRUE(banner("Image2")->picture().isNull());
    window->selectPage(Page::Connect);
    window->selectPage(Page::CyclePower);
    window->selectPage(Page::Finished);
    for (const char* name : {"Image2", "Image3", "Image4"})
        EXPECT_EQ(banner(name)->picture(), picture) << name;
    EXPECT_EQ(banner("Image4")->geometry(), QRect(92, 16, 296, 77));
}

} // namespace
} // namespace ob::testing
