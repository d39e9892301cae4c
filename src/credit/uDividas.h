#pragma once

#include "platform/widgets/Form.h"

#include <QColor>

class DBGrid;
class DBText;
class QToolButton;

// The ledger of one customer's open credit entries: the hub of selling on credit.
class TFDividas : public Form {
    Q_OBJECT
public:
    explicit TFDividas(QWidget* parent = nullptr);

    void bindData() override;

    QToolButton* BPesquisar;
    QToolButton* BNovo;
    QToolButton* BPagamento;
    QToolButton* BEditar;
    QToolButton* BExcluir;
    QToolButton* BCarne;
    QToolButton* SpeedButton2;
    DBText* DBText1;
    DBGrid* DBGrid1;
    DBText* DBText2;

    void BPesquisarClick();
    // After the picker: the chosen customer's open credit entries.
    void customerPicked();
    void BNovoClick();
    void BPagamentoClick();
    void BEditarClick();
    void BExcluirClick();
    // The chosen customer's open instalments as a booklet of payment slips, in the report preview.
    void BCarneClick();
    // Enter in the grid: saves the entry being corrected.
    void DBGrid1KeyPress();

protected:
    void FormShow() override;
    void FormClose() override;
    bool FormKeyDown(QKeyEvent* event) override;

private:
    // A correction not confirmed with Enter is dropped before anything else happens.
    void dropCorrection();
    bool customerChosen() const;
};

// The colour of a ledger row's text: red once it is due, or when it was paid after its due day began; blue
// while it is not due, paidInTime when it was paid before.
QColor ledgerRowColor(const QVariant& status, const QVariant& dueDate, const QVariant& paidAt,
                      const QColor& paidInTime = QColor(Qt::blue));

extern TFDividas* FDividas;
