#include "uBackup.h"

TFBackup* FBackup = nullptr;

TFBackup::TFBackup(QWidget* parent)
    : Form(QStringLiteral("Backup / Restore"), {}, parent) {
    setObjectName(QStringLiteral("FBackup"));
}
