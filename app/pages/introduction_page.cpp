#include "app/assets.h"
#include "app/banner_image.h"
#include "app/controls.h"
#include "app/main_window.h"
#include "app/pages/page_parts.h"

#include <QVBoxLayout>

namespace ob {

namespace {

const QStringList IntroductionText{
    "This is a firmware update for Orbelines antenna controllers.",
    "The present update has version 1.37 (calibrate bug correction).",
    "To see what firmware version your Orbeline has, turn it on",
    "and look at the first message after power-on.",
    "",
    "You will need a serial cable to connect this PC to your OB, and a",
    "serial port (or Usb dongle correctly configured). Attach the serial cable",
    "to your Orbeline and to a serial port of this PC.",
    "",
    "When the physical serial connection has been set-up, and your",
    "Orbeline is turned on, click on Next: a search for the correct port ",
    "will be started in order to determine where your OB is connected.",
};

} // namespace

QWidget* TfmMain::buildIntroductionPage() {
    QVBoxLayout* layout = nullptr;
    TabSheet1 = MakePage("TabSheet1", layout);

    QLabel* Panel2 = AddAlignedPanel(*layout, TabSheet1, "Panel2", BannerPanelHeight);
    Image1 = MakeBanner(Panel2, "Image1", BannerPlaceInPanel);
    Image1->setPicture(BannerPicture());

    QPlainTextEdit* Memo1 = MakeMemo(TabSheet1, "Memo1", IntroductionText);
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    layout->addWidget(Memo1, 1);

    QLabel* Panel1 = AddAlignedPanel(*layout, TabSheet1, "Panel1", ButtonPanelHeight);
    btExit = MakeExitButton(Panel1, "btExit", "E&xit", {12, 12, 75, 25});
    btNext1 = MakeNextButton(Panel1, "btNext1", {376, 12, 75, 25});
    btNext1->setDefault(true);
    pageButtons[int(Page::Introduction)] = {btNext1, btExit};
    return TabSheet1;
}

} // namespace ob
