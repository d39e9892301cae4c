#pragma once

#include "platform/core/Currency.h"
#include "platform/widgets/Form.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

// The PIX code of a payment: its QR symbol for the customer's phone, the amount, and the same code as text to
// copy and send.
class TFPix : public Form {
    Q_OBJECT
public:
    explicit TFPix(QWidget* parent = nullptr);

    // What the next showing shows.
    void setPayment(const QString& payload, Currency amount);

    QLabel* Image1;
    QLabel* Label1;
    QPlainTextEdit* Memo1;
    QPushButton* BCopiar;
    QToolButton* SpeedButton1;

    void BCopiarClick();

    // Pixels per module of the symbol shown: large enough for a phone held at arm's length.
    static constexpr int ModuleSize = 5;
};

extern TFPix* FPix;
