#include "app/banner_image.h"
#include "app/controls.h"
#include "app/main_window.h"
#include "app/pages/page_parts.h"

#include <QComboBox>
#include <QGroupBox>
#include <QVBoxLayout>

namespace ob {

QWidget* TfmMain::buildConnectPage() {
    QVBoxLayout* layout = nullptr;
    TabSheet2 = MakePage("TabSheet2", layout);

    QLabel* Panel4 = AddAlignedPanel(*layout, TabSheet2, "Panel4", BannerPanelHeight);
    Image2 = MakeBanner(Panel4, "Image2", BannerPlaceInPanel);
    layout->addStretch(1);
    QLabel* Panel3 = AddAlignedPanel(*layout, TabSheet2, "Panel3", ButtonPanelHeight);
    btExit2 = MakeExitButton(Panel3, "btExit2", "E&xit", {12, 12, 75, 25});

    QLabel* lEnsure = MakeFixedLabel(TabSheet2, "lEnsure", {8, 136, 442, 20},
                                     "* Ensure your Orbeline is connected and turned on *");
    lEnsure->setFont(BoldItalic(SansSerifFont(16)));
    SetTextColor(*lEnsure, colors::Blue);
    MakeLabel(TabSheet2, "Label1", {8, 172}, "Searching for connected orbeline on:");
    lComSearch = MakeLabel(TabSheet2, "lComSearch", {256, 172}, "-----------");

    gbSelect = new QGroupBox(TabSheet2);
    gbSelect->setObjectName("gbSelect");
    gbSelect->setGeometry(20, 200, 425, 105);
    SetCaption(*gbSelect, " Choose port manually ");
    SetBackground(*gbSelect, colors::White);
    QPalette redText = gbSelect->palette();
    redText.setColor(QPalette::WindowText, colors::Red);
    redText.setColor(QPalette::ButtonText, colors::Red);
    gbSelect->setPalette(redText);
    gbSelect->hide();

    QLabel* Label7 = MakeFixedLabel(gbSelect, "Label7", {12, 20, 390, 37},
                                    "It is not possible, for some reason, to auto-detect the COM "
                                    "port. Please select the correct one to use, and click next.");
    Label7->setWordWrap(true);

    cbPortaSer = new QComboBox(gbSelect);
    cbPortaSer->setObjectName("cbPortaSer");
    cbPortaSer->setEditable(false);
    cbPortaSer->setGeometry(12, 68, 145, cbPortaSer->sizeHint().height());
    SetTextColor(*cbPortaSer, colors::Black);
    QPalette blackButtonText = cbPortaSer->palette();
    blackButtonText.setColor(QPalette::ButtonText, colors::Black);
    cbPortaSer->setPalette(blackButtonText);

    btNext2 = MakeNextButton(gbSelect, "btNext2", {174, 68, 75, 25});
    btNext2->setDefault(true);
    btNext2->setEnabled(false);

    pageButtons[int(Page::Connect)] = {btNext2, btExit2};
    return TabSheet2;
}

} // namespace ob
