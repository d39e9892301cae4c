#pragma once

#include "platform/widgets/Form.h"

class DBGrid;
class DBText;
class QLineEdit;
class QPushButton;
class QToolButton;

// Items a customer buys to pay at once: each confirmed item is an open cash-sale entry with its purchase
// line, settled through the payment screen. In walk-in mode the customer is the walk-in one.
class TFVendasAvista : public Form {
    Q_OBJECT
public:
    explicit TFVendasAvista(QWidget* parent = nullptr);

    void bindData() override;

    // True while the screen runs for the walk-in customer; set by the quick sale, cleared on closing.
    bool AvulsoTrue = false;

    QToolButton* BNovo;
    QToolButton* BPagamento;
    QToolButton* BEditar;
    QToolButton* BExcluir;
    QToolButton* BPesquisar;
    QToolButton* SpeedButton2;
    DBText* DBText1;
    QLineEdit* Edit1;
    QLineEdit* Edit3;
    QLineEdit* Edit2;
    QPushButton* BConfirmar;
    DBGrid* DBGrid1;
    DBText* DBText2;

    void BPesquisarClick();
    // After the picker: the chosen customer's open cash-sale items, and empty item fields.
    void customerPicked();
    void BNovoClick();
    void BConfirmarClick();
    void BEditarClick();
    void BExcluirClick();
    void BPagamentoClick();
    void DBGrid1CellClick();
    // Enter in the unit value: saves the row being edited, or confirms the item.
    void Edit2Enter();

protected:
    void FormShow() override;
    void FormClose() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool customerChosen() const;
    void setFieldsEditable(bool on);
    bool enteringItem() const;
};

extern TFVendasAvista* FVendasAvista;
