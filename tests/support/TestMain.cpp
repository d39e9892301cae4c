#include "platform/core/Errors.h"
#include "platform/core/ProcessStart.h"
#include "platform/widgets/ProgramApplication.h"

#include <QApplication>
#include <gtest/gtest.h>
#include <iostream>

int main(int argc, char** argv) {
    if (const QString failure = prepareProcess(); !failure.isEmpty()) {
        std::cerr << failure.toStdString() << std::endl;
        return 1;
    }
    // Real widgets without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ProgramApplication::setUp(app);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
