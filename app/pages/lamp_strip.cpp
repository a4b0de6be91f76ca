#include "app/controls.h"
#include "app/lamp.h"
#include "app/main_window.h"

namespace ob {

namespace {

void MakeLampCaption(QWidget* strip, const char* name, QPoint place, const char* caption) {
    QLabel* label = MakeLabel(strip, name, place, caption);
    label->setFont(SansSerifFont(11));
}

LampShape* MakeLamp(QWidget* strip, const char* name, QPoint place, QColor idle, QColor lit) {
    auto* lamp = new LampShape(idle, lit, strip);
    lamp->setObjectName(name);
    lamp->setGeometry(place.x(), place.y(), 14, 14);
    return lamp;
}

} // namespace

void TfmMain::buildLampStrip() {
    pnLeds = MakePanel(this, "pnLeds");
    pnLeds->setFixedHeight(34);
    pnLeds->hide();

    ldTX = MakeLamp(pnLeds, "ldTX", {8, 10}, colors::Green, colors::Lime);
    MakeLampCaption(pnLeds, "Label5", {24, 10}, "Tx");
    ldRX = MakeLamp(pnLeds, "ldRX", {52, 10}, colors::Navy, colors::Aqua);
    MakeLampCaption(pnLeds, "Label6", {68, 10}, "Rx");

    pnProgress = MakePanel(pnLeds, "pnProgress");
    pnProgress->setGeometry(124, 4, 333, 25);
    SetBackground(*pnProgress, colors::Maroon);
    pnProgress->hide();
    lProgress = MakeFixedLabel(pnProgress, "lProgress", {2, 2, 43, 22}, "lProgress");
    lProgress->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    SetBackground(*lProgress, colors::Lime);

    pnWarning = MakePanel(pnLeds, "pnWarning");
    pnWarning->setGeometry(128, 4, 333, 25);
    SetBackground(*pnWarning, colors::Red);
    pnWarning->setFont(Bold(SansSerifFont(16)));
    SetCaption(*pnWarning, "TARGET IS UNUSABLE - RETRY");
    pnWarning->hide();
}

} // namespace ob
