#include "app/controls.h"
#include "app/main_window.h"
#include "app/pages/page_parts.h"

#include <QVBoxLayout>

namespace ob {

namespace {

void MakeWarningLabel(QWidget* page, const char* name, QPoint place, const char* caption) {
    QLabel* label = MakeLabel(page, name, place, caption);
    label->setFont(BoldItalic(ArialFont(21)));
    SetTextColor(*label, colors::Red);
}

} // namespace

QWidget* TfmMain::buildDownloadPage() {
    QVBoxLayout* layout = nullptr;
    QWidget* TabSheet4 = MakePage("TabSheet4", layout);

    MakeWarningLabel(TabSheet4, "Label2", {40, 32}, "Downloading firmware - please wait...");
    MakeWarningLabel(TabSheet4, "Label4", {192, 72}, "*** Do NOT interrupt ***");
    lBootVer = MakeLabel(TabSheet4, "lBootVer", {48, 116}, "Boot loader:");
    lResappID = MakeLabel(TabSheet4, "lResappID", {48, 140}, "Resident firmware");
    return TabSheet4;
}

} // namespace ob
