#include "platform/widgets/ModalHost.h"

#include <QDialog>

namespace {
DialogModalHost g_dialogHost;
ModalHost* g_installed = nullptr;
} // namespace

ModalHost& ModalHost::instance() {
    return g_installed ? *g_installed : g_dialogHost;
}

void ModalHost::install(ModalHost* host) {
    g_installed = host;
}

int DialogModalHost::showModal(QDialog* form) {
    return form->exec();
}
