#pragma once

#include "data/CashFlow.h"
#include "platform/widgets/Form.h"
#include "reports/ReportTemplate.h"

class DataSource;
class DBGrid;
class DBText;
class Query;
class QComboBox;
class QDateEdit;
class QFrame;
class QLabel;
class QToolButton;
class RadioGroup;

// The cash-flow consultation: the ledger's unpaid, paid or overdue entries of all customers or one, for
// today, this month, all time or a range, with their total. A master user deletes an entry from here.
class TFConsulta : public Form {
    Q_OBJECT
public:
    explicit TFConsulta(QWidget* parent = nullptr);
    ~TFConsulta() override;

    void bindData() override;

    RadioGroup* RadioGroup1;
    RadioGroup* RadioGroup2;
    QComboBox* ComboBox1;
    QDateEdit* DateTimePicker1;
    QDateEdit* DateTimePicker2;
    QToolButton* BPesquisar;
    QLabel* Label3;
    DBText* DBText1;
    QToolButton* BConsultar;
    QFrame* Panel6;
    QToolButton* BExcluir;
    QToolButton* BCompras;
    QToolButton* BImprimir;
    QToolButton* BLembrete;
    DBGrid* DBGrid1;
    DBText* DBText2;
    QToolButton* SpeedButton4;
    Query* QConsulta = nullptr;
    DataSource* DSConsulta = nullptr;
    // The custom period of the last consultation that had one, as short dates.
    QString Inicio;
    QString Final;
    // The printed consultation; its headline keeps the last print's texts.
    Report::Template Relatorio;

    void RadioGroup1Click();
    void RadioGroup2Click();
    void ComboBox1Change();
    void BPesquisarClick();
    void BConsultarClick();
    void BExcluirClick();
    void BComprasClick();
    void BImprimirClick();
    // Copies to the clipboard a reminder for the selected overdue row's customer, with a WhatsApp link when
    // the customer's telephone gives one.
    void BLembreteClick();

    // The consultation the selectors describe now.
    CashFlow::Consultation consultation() const;

protected:
    void FormShow() override;
    void FormClose() override;

private:
    bool nameChosen() const;
    bool hasCurrentRow() const;
    bool m_master = false;
};

extern TFConsulta* FConsulta;
