#pragma once

#include "platform/widgets/Form.h"

class QToolButton;

// The about screen: the mark, the version and how to reach the author.
class TFSobre : public Form {
    Q_OBJECT
public:
    explicit TFSobre(QWidget* parent = nullptr);

    QToolButton* SpeedButton2;
};

extern TFSobre* FSobre;
