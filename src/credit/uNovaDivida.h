#pragma once

#include "data/Ledger.h"
#include "platform/widgets/Form.h"

class DBText;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;
class QToolButton;
class RadioGroup;

// One item sold on credit to the current customer: a single entry due on a chosen date, or monthly
// instalments; each confirmation also writes the item's purchase line.
class TFNovaDivida : public Form {
    Q_OBJECT
public:
    explicit TFNovaDivida(QWidget* parent = nullptr);

    void bindData() override;

    DBText* DBText1;
    QLineEdit* Edit1;
    QLineEdit* Edit2;
    QLineEdit* Edit3;
    RadioGroup* RadioGroup1;
    QComboBox* ComboBox1;
    QDateEdit* CalendarPicker1;
    QPushButton* BConfirmar;
    QToolButton* SpeedButton2;

    void RadioGroup1Click();
    void BConfirmarClick();

protected:
    void FormShow() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

using LedgerWords::instalmentLabel;

extern TFNovaDivida* FNovaDivida;
