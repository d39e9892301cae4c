// One target under libFuzzer: BROLAVI_FUZZ_TARGET names it at build time.
#include "FuzzTargets.h"

#include <QApplication>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static int argc = 1;
    static char name[] = "brolavi-fuzz";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    (void)app;
    static const FuzzTarget* target = findFuzzTarget(QStringLiteral(BROLAVI_FUZZ_TARGET));
    try {
        target->run(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    } catch (const FuzzFailure& f) {
        std::fprintf(stderr, "%s\n", qPrintable(f.what));
        std::abort();
    }
    return 0;
}
