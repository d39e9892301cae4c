#include "FileSizeSignal.h"
#include "ProgramApplication.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ignoreFileSizeSignal();
    // Real widgets without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ProgramApplication::setUp(app);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
