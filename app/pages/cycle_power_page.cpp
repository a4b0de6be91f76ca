#include "app/banner_image.h"
#include "app/controls.h"
#include "app/main_window.h"
#include "app/pages/page_parts.h"

#include <QVBoxLayout>

namespace ob {

namespace {

const QStringList CyclePowerText{
    "Ready to download the firmware.",
    "",
    "Remove power from your Orbeline:",
    "  * do not use the front panel button -",
    "  * remove instead the power plug from the rear panel.",
    "",
    "Then, wait 5 seconds, and insert the power plug again.",
    "",
    QString(18, u' ') + "**** Waiting for power cycle.... *****",
};

} // namespace

QWidget* TfmMain::buildCyclePowerPage() {
    QVBoxLayout* layout = nullptr;
    QWidget* TabSheet3 = MakePage("TabSheet3", layout);

    QLabel* Panel6 = AddAlignedPanel(*layout, TabSheet3, "Panel6", BannerPanelHeight);
    Image3 = MakeBanner(Panel6, "Image3", BannerPlaceInPanel);
    layout->addStretch(1);
    QLabel* Panel5 = AddAlignedPanel(*layout, TabSheet3, "Panel5", ButtonPanelHeight);
    btExit3 = MakeExitButton(Panel5, "btExit3", "&Abort operation", {12, 12, 161, 25});

    lFound = MakeLabel(TabSheet3, "lFound", {16, 124}, "Orbeline");
    lFound->setFont(BoldItalic(SansSerifFont(13)));

    QPlainTextEdit* Memo2 = MakeMemo(TabSheet3, "Memo2", CyclePowerText);
    Memo2->setGeometry(16, 148, 433, 165);
    Memo2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    pageButtons[int(Page::CyclePower)] = {nullptr, btExit3};
    return TabSheet3;
}

} // namespace ob
