#pragma once

#include "platform/widgets/Form.h"
#include "reports/ReportTemplate.h"

class DBComboBox;
class DBEdit;
class DBGrid;
class DBMemo;
class FieldExits;
class QGroupBox;
class QLabel;
class QLineEdit;
class QStackedWidget;
class QToolButton;
class RadioGroup;

// Whether the text is a valid CPF written as exactly eleven digits (the two check digits match the first
// nine).
bool IsValidCPF(const QString& pCPF);
// The decimal digits of the text, in order; everything else dropped.
QString ClrDig(const QString& fField);

// Customers: add, edit, look up by name and delete (with their ledger and purchase lines).
class TFCadCli : public Form {
    Q_OBJECT
public:
    explicit TFCadCli(QWidget* parent = nullptr);

    void bindData() override;

    QToolButton* BNovo;
    QToolButton* BGravar;
    QToolButton* BEditar;
    QToolButton* BExcluir;
    QToolButton* BPesquisar;
    QToolButton* BVoltar;
    QToolButton* BImprimir;
    QToolButton* SpeedButton2;
    QGroupBox* GroupBox1;
    RadioGroup* RadioGroup1;

    QStackedWidget* PageControl1;
    QWidget* TabSheet1;
    QWidget* TabSheet2;

    DBEdit* DBEdit1;
    DBEdit* DBEdit2;
    DBEdit* DBEdit3;
    DBEdit* DBEdit4;
    DBEdit* DBEdit5;
    DBEdit* DBEdit6;
    DBEdit* DBEdit7;
    DBEdit* DBEdit8;
    DBEdit* DBEdit9;
    DBComboBox* DBComboBox1;
    DBEdit* DBEdit10;
    DBMemo* DBMemo1;

    QLineEdit* Edit1;
    QLineEdit* Edit2;
    DBGrid* DBGrid1;
    // The printed customer list.
    Report::Template RelCliente;
    QLabel* Label14;
    QLabel* Label15;

    void BNovoClick();
    void BGravarClick();
    void BEditarClick();
    void BExcluirClick();
    void BPesquisarClick();
    void BVoltarClick();
    void BImprimirClick();
    void Edit1Change();
    void DBEdit2Exit();
    void DBEdit2Enter();
    void DBEdit3Exit();

protected:
    void FormShow() override;
    void FormClose() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool searching() const;
    bool insertingOrEditing() const;
    void showCount();
    // Saves the customer being typed or edited; false (with a warning) when it has no name.
    bool saveCurrent();
    FieldExits* m_exits;
};

extern TFCadCli* FCadCli;
