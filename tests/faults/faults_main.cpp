// The fault tests' main(): one QApplication for the process; a process started as a worker of
// the matrix runs its one cell and nothing else.

#include "tests/faults/cell_worker.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    if (ob::testing::RegisterCellFromEnvironment())
        GTEST_FLAG_SET(filter, "FaultCell.*");
    return RUN_ALL_TESTS();
}
