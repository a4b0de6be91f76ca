#include "app/lamp.h"
#include "window_fixture.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QMessageBox>
#include <QPlainTextEdit>

namespace ob::testing {
namespace {

using WindowViewTest = WindowTest;

TEST_F(WindowViewTest, StartsOnTheIntroductionWithTheStripHidden) {
    EXPECT_EQ(window->page(), Page::Introduction);
    EXPECT_TRUE(find<QWidget>("pnLeds")->isHidden());
    EXPECT_EQ(pages()->geometry(), QRect(0, 0, 472, 434));
    EXPECT_TRUE(find<QWidget>("gbSelect")->isHidden());
    EXPECT_FALSE(find<QWidget>("btNext2")->isEnabled());
    EXPECT_TRUE(find<QWidget>("btNext1")->isEnabled());
    EXPECT_EQ(window->windowTitle(), "Orbeline OB7300 - Firmware v1.37 (important)");
    EXPECT_EQ(window->size(), QSize(472, 434));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
}

TEST(WindowTimer, RunsFromCreationAndTheFirstShowBuildsTheImage) {
    TfmMain window;
    EXPECT_TRUE(window.timerRunning());
    window.show();
    EXPECT_TRUE(window.timerRunning());
    EXPECT_TRUE(window.logText().find("Prepared firmware") != std::string::npos);
}

TEST_F(WindowViewTest, ShowingTheStripPushesThePagesDown) {
    window->setVisible(Control::pnLeds, true);
    QApplication::processEvents();
    EXPECT_EQ(find<QWidget>("pnLeds")->geometry(), QRect(0, 0, 472, 34));
    EXPECT_EQ(pages()->geometry(), QRect(0, 34, 472, 400));
}

TEST_F(WindowViewTest, CaptionsReadBackAsSetAndLabelsTakeTheirSize) {
    EXPECT_EQ(window->caption(Control::lFound), "Orbeline");
    EXPECT_EQ(window->caption(Control::lComSearch), "-----------");
    const int narrow = find<QLabel>("lFound")->width();
    window->setCaption(Control::lFound, window->caption(Control::lFound) + " on COM3 (/dev/pts/4)");
    EXPECT_EQ(window->caption(Control::lFound), "Orbeline on COM3 (/dev/pts/4)");
    EXPECT_GT(find<QLabel>("lFound")->width(), narrow);

    window->setCaption(Control::lResult, "A long result that does not fit into the fixed label.");
    EXPECT_EQ(find<QLabel>("lResult")->size(), QSize(449, 23));
    window->setCaption(Control::lProgress, "working... 50%  ");
    EXPECT_EQ(find<QLabel>("lProgress")->size(), QSize(43, 22));
    window->setWidth(Control::lProgress, 166);
    EXPECT_EQ(window->width(Control::lProgress), 166);
    EXPECT_EQ(find<QLabel>("lProgress")->height(), 22);
    EXPECT_EQ(find<QLabel>("Label3")->text(), "^^ Log of operations (you can copy & paste) ^^");
}

TEST_F(WindowViewTest, LampsSwitchBetweenIdleAndLitColours) {
    auto* tx = find<LampShape>("ldTX");
    auto* rx = find<LampShape>("ldRX");
    EXPECT_EQ(tx->color(), QColor(0, 128, 0));
    EXPECT_EQ(rx->color(), QColor(0, 0, 128));
    window->setLamp(Lamp::TX, true);
    window->setLamp(Lamp::RX, true);
    EXPECT_EQ(tx->color(), QColor(0, 255, 0));
    EXPECT_EQ(rx->color(), QColor(0, 255, 255));
    window->setLamp(Lamp::TX, false);
    EXPECT_EQ(tx->color(), QColor(0, 128, 0));
}

TEST_F(WindowViewTest, PortListIsFilledWithNothingSelected) {
    window->fillPortList({{"COM1", "/dev/ttyS0"}, {"COM3", "USB serial /dev/ttyUSB0"}});
    auto* list = find<QComboBox>("cbPortaSer");
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->itemText(1), "COM3");
    EXPECT_EQ(list->itemData(1, Qt::ToolTipRole).toString(), "USB serial /dev/ttyUSB0");
    EXPECT_EQ(window->selectedPort(), -1);
    EXPECT_FALSE(list->isEditable());
    list->setCurrentIndex(1);
    EXPECT_EQ(window->selectedPort(), 1);
    window->fillPortList({{"COM2", ""}});
    EXPECT_EQ(window->selectedPort(), -1);
}

TEST_F(WindowViewTest, MessageBoxIsModalWithOneOkAndNoIcon) {
    struct Seen {
        QString title, text;
        int buttons = 0;
        QMessageBox::Icon icon = QMessageBox::Warning;
        bool modal = false;
    } seen;
    window->onMessageShown = [&](QMessageBox& box) {
        seen = {box.windowTitle(), box.text(), int(box.buttons().size()), box.icon(),
                QApplication::activeModalWidget() == &box};
        box.button(QMessageBox::Ok)->click();
    };
    window->showMessage("Target is unusable.", "KELNO Flash loader");
    EXPECT_EQ(seen.title, "KELNO Flash loader");
    EXPECT_EQ(seen.text, "Target is unusable.");
    EXPECT_EQ(seen.buttons, 1);
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
    EXPECT_TRUE(seen.modal);
}

class InvalidFirmwareWindow : public TfmMain {
public:
    bool loadfile() override { return true; }
};

TEST(InvalidFirmware, WarnsDisablesNextAndStopsTheTimer) {
    Banner = {};
    InvalidFirmwareWindow window;
    window.show();
    EXPECT_EQ(window.page(), Page::Introduction);
    EXPECT_FALSE(window.timerRunning());
    EXPECT_EQ(window.caption(Control::pnWarning), "INVALID FIRMWARE - SORRY");
    EXPECT_FALSE(window.findChild<QWidget*>("pnLeds")->isHidden());
    EXPECT_FALSE(window.findChild<QWidget*>("pnWarning")->isHidden());
    EXPECT_TRUE(window.findChild<QWidget*>("pnProgress")->isHidden());
    EXPECT_FALSE(window.findChild<QWidget*>("btNext1")->isEnabled());
    EXPECT_EQ(window.findChild<LampShape*>("ldTX")->color(), QColor(0, 128, 0));
    EXPECT_EQ(window.findChild<LampShape*>("ldRX")->color(), QColor(0, 0, 128));
    EXPECT_TRUE(window.findChild<QWidget*>("btExit")->isEnabled());
}

TEST_F(WindowViewTest, PagesCarryTheirTexts) {
    const QStringList intro = find<QPlainTextEdit>("Memo1")->toPlainText().split(u'\n');
    ASSERT_EQ(intro.size(), 12);
    EXPECT_EQ(intro[10], "Orbeline is turned on, click on Next: a search for the correct port ");
    EXPECT_EQ(intro[4], "");
    const QStringList cycle = find<QPlainTextEdit>("Memo2")->toPlainText().split(u'\n');
    ASSERT_EQ(cycle.size(), 9);
    EXPECT_EQ(cycle[3], "  * do not use the front panel button -");
    EXPECT_EQ(cycle[8], QString(18, u' ') + "**** Waiting for power cycle.... *****");
    EXPECT_TRUE(find<QPlainTextEdit>("Memo1")->isReadOnly());
    EXPECT_FALSE(find<QPlainTextEdit>("Memo2")->isReadOnly());
    EXPECT_EQ(find<QGroupBox>("gbSelect")->title(), " Choose port manually ");
    EXPECT_EQ(find<QAbstractButton>("btExit3")->text(), "&Abort operation");
    EXPECT_EQ(find<QAbstractButton>("btExit")->text(), "E&xit");
}

} // namespace
} // namespace ob::testing
