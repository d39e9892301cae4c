#pragma once

#include <QString>
#include <QtGlobal>

// The character set test databases are made in: BROLAVI_TEST_CHARSET, or the UTF8 the program makes. CTest
// runs each test program once in every character set an older installation may have used.
inline QString testCharacterSet() {
    return qEnvironmentVariable("BROLAVI_TEST_CHARSET", QStringLiteral("UTF8"));
}
