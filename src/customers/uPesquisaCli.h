#pragma once

#include "platform/widgets/Form.h"

class DBGrid;
class QLabel;
class QLineEdit;
class QToolButton;

// The customer picker: a list searched by name prefix; a double click makes the customer current and closes
// it. The screen that opened it then asks whether a customer was chosen and shows that customer's data
// itself.
class TFPesquisaCli : public Form {
    Q_OBJECT
public:
    explicit TFPesquisaCli(QWidget* parent = nullptr);

    void bindData() override;

    QLineEdit* Edit1;
    DBGrid* DBGrid1;
    QLabel* Label1;
    QLabel* Label2;
    QToolButton* SpeedButton2;

    void Edit1Change();
    void DBGrid1DblClick();
    // Whether the last showing ended with a customer chosen (the current row of the customer dataset).
    bool customerChosen() const { return m_chosen; }

protected:
    void FormShow() override;

private:
    void showCount();
    bool m_chosen = false;
};

extern TFPesquisaCli* FPesquisaCli;
