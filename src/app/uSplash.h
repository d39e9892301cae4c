#pragma once

#include "platform/widgets/Form.h"

class QLabel;
class QProgressBar;
class QTimer;

// The splash: the program's main window, a bar that fills in two seconds and then the login over it.
class TFSplash : public Form {
    Q_OBJECT
public:
    explicit TFSplash(QWidget* parent = nullptr);

    QProgressBar* ProgressBar1;
    QLabel* Label5;
    QTimer* Timer1;

    void Timer1Timer();
};

extern TFSplash* FSplash;
