#include "app/banner_image.h"
#include "app/controls.h"
#include "app/log_memo.h"
#include "app/main_window.h"
#include "app/pages/page_parts.h"

#include <QStyle>
#include <QVBoxLayout>

namespace ob {

QWidget* TfmMain::buildFinishedPage() {
    QVBoxLayout* layout = nullptr;
    QWidget* TabSheet5 = MakePage("TabSheet5", layout);

    QLabel* pnResult = AddAlignedPanel(*layout, TabSheet5, "pnResult", 137);
    SetBackground(*pnResult, colors::Black);
    Image4 = MakeBanner(pnResult, "Image4", {92, 16, 296, 77});
    lResult = MakeFixedLabel(pnResult, "lResult", {8, 102, 449, 23}, "No upgrade performed.");
    lResult->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lResult->setFont(BoldItalic(ArialFont(19)));
    SetTextColor(*lResult, colors::Red);

    mmLog = new LogMemo(TabSheet5);
    SetUpMemo(*mmLog, "mmLog", {});
    mmLog->setReadOnly(true);
    mmLog->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mmLog->setFont(ArialFont(11));
    layout->addWidget(mmLog, 1);

    QLabel* Panel7 = AddAlignedPanel(*layout, TabSheet5, "Panel7", 41);
    MakeLabel(Panel7, "Label3", {8, 5}, "^^ Log of operations (you can copy && paste) ^^");
    btExit5 = new BitmapButton("E&xit", style()->standardIcon(QStyle::SP_DialogCloseButton),
                               GlyphSide::Left, StandardGlyphSpacing, Panel7);
    btExit5->setObjectName("btExit5");
    btExit5->setGeometry(380, 8, 75, 25);
    return TabSheet5;
}

} // namespace ob
