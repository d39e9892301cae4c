#pragma once

#include "platform/widgets/Form.h"

class QComboBox;
class QLineEdit;
class QToolButton;

// The shop's own details, which its slips, receipts, messages and PIX codes carry. Master users only.
class TFLoja : public Form {
    Q_OBJECT
public:
    explicit TFLoja(QWidget* parent = nullptr);

    QToolButton* SpeedButton1;
    QToolButton* BGravar;
    QLineEdit* Edit1;     // name
    QLineEdit* Edit2;     // CPF or CNPJ
    QLineEdit* Edit3;     // address
    QLineEdit* Edit4;     // telephone
    QLineEdit* Edit5;     // city
    QComboBox* ComboBox1; // PIX key kind, in the order of PixKeyKind
    QLineEdit* Edit6;     // PIX key

    void BGravarClick();

protected:
    void FormShow() override;
};

extern TFLoja* FLoja;
