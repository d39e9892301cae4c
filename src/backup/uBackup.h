#pragma once

#include "Form.h"

// Backup and restore of the database, and the directory the hourly backup writes to.
class TFBackup : public Form {
    Q_OBJECT
public:
    explicit TFBackup(QWidget* parent = nullptr);
};

extern TFBackup* FBackup;
