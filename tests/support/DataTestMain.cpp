// The main of the tests of the layers below the screens: no widgets, no display.
#include "platform/core/EngineFolders.h"
#include "platform/core/Errors.h"
#include "platform/core/FileSizeSignal.h"

#include <QCoreApplication>
#include <gtest/gtest.h>
#include <iostream>

int main(int argc, char** argv) {
    ignoreFileSizeSignal();
    try {
        EngineFolders::prepare();
    } catch (const BrolaviError& e) {
        std::cerr << e.message().toStdString() << std::endl;
        return 1;
    }
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
