#include "platform/core/Errors.h"

#include <exception>
#include <iostream>

namespace UnthrownErrors {

namespace {
void (*g_handler)() = nullptr;
} // namespace

void setHandler(void (*handler)()) {
    g_handler = handler;
}

void reportCurrent() {
    if (g_handler) {
        g_handler();
        return;
    }
    try {
        throw;
    } catch (const BrolaviError& e) {
        std::cerr << e.message().toStdString() << std::endl;
    } catch (const std::exception& e) {
        std::cerr << e.what() << std::endl;
    } catch (...) {
        std::cerr << "Erro inesperado" << std::endl;
    }
}

} // namespace UnthrownErrors
