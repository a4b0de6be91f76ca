#include "app/main_window.h"
#include "core/switches.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    ob::CommandLine.assign(argv + 1, argv + argc);
    ob::TfmMain fmMain;
    fmMain.show();
    return application.exec();
}
