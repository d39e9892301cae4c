#pragma once

#include "Form.h"

class DBGrid;
class QLabel;
class QLineEdit;
class QToolButton;

// The customer picker: a list searched by name prefix; a double click chooses the current customer for the
// screen that opened it.
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

protected:
    void FormShow() override;
    void FormClose() override;

private:
    void showCount();
};

extern TFPesquisaCli* FPesquisaCli;
