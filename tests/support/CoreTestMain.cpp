// The main of the tests of the layers below the screens: no widgets, no display.
#include "platform/core/Errors.h"
#include "platform/core/ProcessStart.h"

#include <QCoreApplication>
#include <gtest/gtest.h>
#include <iostream>

int main(int argc, char** argv) {
    if (const QString failure = prepareProcess(); !failure.isEmpty()) {
        std::cerr << failure.toStdString() << std::endl;
        return 1;
    }
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
