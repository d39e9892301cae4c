#include "platform/core/Clock.h"

namespace {
SystemClock g_systemClock;
Clock* g_installed = nullptr;
} // namespace

Clock& Clock::instance() {
    return g_installed ? *g_installed : g_systemClock;
}

void Clock::install(Clock* clock) {
    g_installed = clock;
}
