#include "platform/core/FileSizeSignal.h"

#include <csignal>

void ignoreFileSizeSignal() {
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}
