#include "ScreenOperations.h"

#include "app/uBrolavi.h"
#include "cash/uVendasAvista.h"
#include "consultation/uConsulta.h"
#include "credit/uCompras.h"
#include "credit/uDividas.h"
#include "credit/uNovaDivida.h"
#include "credit/uPagamentos.h"
#include "customers/uCadCli.h"
#include "customers/uPesquisaCli.h"
#include "data/uDM.h"
#include "platform/core/Clock.h"
#include "platform/core/Currency.h"
#include "platform/core/Errors.h"
#include "platform/core/Transaction.h"
#include "platform/widgets/DBGrid.h"
#include "platform/widgets/DataWidgets.h"
#include "platform/widgets/Messages.h"
#include "platform/widgets/ModalHost.h"
#include "platform/widgets/RadioGroup.h"

#include <QComboBox>
#include <QDialog>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QQueue>
#include <exception>
#include <functional>

namespace Bench {

namespace {

// Answers Yes to every question: the operations time the work, not a person reading a box.
class YesMessages : public Messages {
public:
    QMessageBox::StandardButton show(const Request& r) override {
        return r.buttons.testFlag(QMessageBox::Yes) ? QMessageBox::Yes : QMessageBox::Ok;
    }
};

// Shows a screen, runs what the operation scripted for it, and closes it as its "X" would unless the script
// closed it; the caller then goes on as it does in the program. Like the tests' host it runs no event loop:
// the timed paths are the screens' handlers, not Qt's painting of windows nobody looks at.
class ScriptedHost : public ModalHost {
public:
    // What runs inside the next showing of the screen.
    void onShow(QDialog* form, std::function<void()> script) { m_scripts[form].enqueue(std::move(script)); }

    int showModal(QDialog* form) override {
        std::function<void()> script;
        if (auto it = m_scripts.find(form); it != m_scripts.end() && !it->isEmpty())
            script = it->dequeue();
        bool closed = false;
        const QMetaObject::Connection finished =
            QObject::connect(form, &QDialog::finished, form, [&closed] { closed = true; });
        std::exception_ptr failure;
        form->setResult(0);
        form->show();
        try {
            if (script)
                script();
        } catch (...) {
            // The screen closes before the error goes on, so that nothing is left open behind it.
            failure = std::current_exception();
        }
        if (!closed)
            form->close();
        QObject::disconnect(finished);
        if (failure)
            std::rethrow_exception(failure);
        return form->result();
    }

private:
    QHash<QDialog*, QQueue<std::function<void()>>> m_scripts;
};

YesMessages g_messages;
ScriptedHost g_host;

template <typename T> void make(T*& screen) {
    if (!screen) {
        screen = new T();
        screen->bindData();
    }
}

QVariant scalar(TDM& dm, const QString& sql, const QVariantList& params = {}) {
    return dm.FDConnection1.selectValue(sql, params);
}

// --- picker_search ------------------------------------------------------------------------------------

const QStringList Typed = {QStringLiteral("M"), QStringLiteral("MA"), QStringLiteral("MAR")};
constexpr int Shown = 30; // rows a picker's grid shows at once

QString pickerSearchApp(TDM&) {
    QStringList out;
    for (const QString& prefix : Typed) {
        FPesquisaCli->Edit1->setText(prefix); // the handler filters and counts
        QString names;
        for (int row = 0; row < Shown; ++row)
            names += FPesquisaCli->DBGrid1->cellText(row, 0) + u';';
        out << QStringLiteral("%1:%2:%3").arg(prefix, FPesquisaCli->Label2->text(), names);
    }
    return out.join(u'|');
}

QString pickerSearchBaseline(TDM& dm) {
    const QVector<ColumnType> types = columnTypes(dm.TabCadCli.schema());
    QStringList out;
    for (const QString& prefix : Typed) {
        const int n = scalar(dm,
                             QStringLiteral("select count(*) from TABCADCLI where NOME starting with ? "
                                            "and NOME <> 'CLIENTE AVULSO'"),
                             {prefix})
                          .toInt();
        QString names;
        int seen = 0;
        for (const Row& row : dm.FDConnection1.select(
                 QStringLiteral("select first 30 * from TABCADCLI where NOME starting with "
                                "? and NOME <> 'CLIENTE AVULSO' order by CODIGO"),
                 {prefix}, &types)) {
            names += row.value(1).toString() + u';';
            ++seen;
        }
        for (; seen < Shown; ++seen)
            names += u';';
        out << QStringLiteral("%1:(%2):%3").arg(prefix).arg(n).arg(names);
    }
    return out.join(u'|');
}

// --- credit_sale_12 -----------------------------------------------------------------------------------

struct SaleState {
    int customer = 0;
};

int rowsOf(TDM& dm, int customer) {
    return scalar(dm, QStringLiteral("select count(*) from TABDIVIDAS where CLIENTE = ?"), {customer})
               .toInt() +
           scalar(dm, QStringLiteral("select count(*) from TABDESC_COMPRAS where CLIENTE = ?"), {customer})
               .toInt();
}

QString creditSaleApp(TDM& dm, const SaleState& s) {
    const int before = rowsOf(dm, s.customer);
    FNovaDivida->Edit1->setText(QStringLiteral("GELADEIRA"));
    FNovaDivida->Edit2->setText(QStringLiteral("1200,00"));
    FNovaDivida->Edit3->setText(QStringLiteral("1"));
    FNovaDivida->BConfirmarClick();
    return QStringLiteral("rows=%1").arg(rowsOf(dm, s.customer) - before);
}

QString creditSaleBaseline(TDM& dm, const SaleState& s) {
    const int before = rowsOf(dm, s.customer);
    const QDate today = QDate::currentDate();
    Transaction unit(dm.FDConnection1);
    for (int i = 1; i <= 12; ++i)
        dm.FDConnection1.execute(
            QStringLiteral(
                "insert into TABDIVIDAS (CODIGO, CLIENTE, DATA, DESCRICAO, QUANTIDADE, DATA_VENC, VALOR_UN, "
                "VALOR, PARCELA, STATUS_PAG, CONTA) select coalesce(max(CODIGO), 0) + 1, ?, ?, 'GELADEIRA', "
                "1, ?, CAST('1200.00' AS VARCHAR(40)), CAST('100.00' AS VARCHAR(40)), ?, 'NP', 'P' "
                "from TABDIVIDAS"),
            {s.customer, today, today.addMonths(i), QStringLiteral("Parc. %1 de 12").arg(i)});
    dm.FDConnection1.execute(
        QStringLiteral(
            "insert into TABDESC_COMPRAS (CODIGO, CLIENTE, DATA, DESCRICAO, VALOR, STATUS, QUANTIDADE, "
            "VALOR_UN, COD_VENDA) select coalesce(max(CODIGO), 0) + 1, ?, ?, 'GELADEIRA', "
            "CAST('1200.00' AS VARCHAR(40)), 'Parc. 12 de 12', 1, CAST('1200.00' AS VARCHAR(40)), "
            "(select max(CODIGO) from TABDIVIDAS) from TABDESC_COMPRAS"),
        {s.customer, today});
    unit.commit();
    return QStringLiteral("rows=%1").arg(rowsOf(dm, s.customer) - before);
}

// --- pay_total ----------------------------------------------------------------------------------------

constexpr int OpenEntries = 40;

// Both sides first open the customer's forty entries again, so that every run pays forty.
void reopenEntries(TDM& dm, int customer) {
    dm.FDConnection1.execute(
        QStringLiteral("update TABDIVIDAS set STATUS_PAG = 'NP', DATA_PAG = null, "
                       "FORM_PAG = null where CLIENTE = ? and DESCRICAO = 'BENCH PAGAMENTO'"),
        {customer});
}

QString paidOf(TDM& dm, int customer) {
    return QStringLiteral("paid=%1").arg(
        scalar(dm,
               QStringLiteral("select count(*) from TABDIVIDAS where CLIENTE = ? and STATUS_PAG = 'PG' and "
                              "DESCRICAO = 'BENCH PAGAMENTO'"),
               {customer})
            .toInt());
}

// --- quick_sale_open ----------------------------------------------------------------------------------

constexpr int WalkInItems = 200;

} // namespace

void screens(TDM& dm) {
    DM = &dm;
    Messages::install(&g_messages);
    ModalHost::install(&g_host);
    make(FVendasAvista);
    make(TelaInicial);
    make(FDividas);
    make(FNovaDivida);
    make(FPesquisaCli);
    make(FPagamentos);
    make(FConsulta);
    make(FCompras);
    make(FCadCli);
}

void onNextShow(QDialog* form, std::function<void()> script) {
    g_host.onShow(form, std::move(script));
}

QString answer(int rows, int values, const QString& total) {
    return QStringLiteral("rows=%1 values=%2 sum=%3")
        .arg(rows)
        .arg(values)
        .arg(total.isEmpty() ? QStringLiteral("none") : Currency::parseDisplayed(total).toDbText());
}

QString readGrid(DBGrid* grid, DBText* total, int limit) {
    int rows = grid->model()->rowCount();
    // The model offers rows a block at a time: past the last real row it gives way.
    while (grid->model()->canFetchMore({}) && (limit < 0 || rows < limit)) {
        grid->model()->fetchMore({});
        rows = grid->model()->rowCount();
    }
    if (limit >= 0)
        rows = std::min(rows, limit);
    int values = 0;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < grid->model()->columnCount(); ++c)
            grid->cellText(r, c);
        for (const QVariant& v : grid->datasetModel()->dataset()->rowAt(r))
            values += v.isNull() ? 0 : 1;
    }
    return answer(rows, values, total->text());
}

void withLedgerScreen(TDM& dm, int customer, const std::function<void()>& inside) {
    screens(dm);
    // The main screen's button opens the ledger; its search button opens the picker, where the shopkeeper
    // finds the customer and double-clicks it.
    g_host.onShow(FDividas, [customer, &dm, &inside] {
        g_host.onShow(FPesquisaCli, [customer, &dm] {
            if (!dm.TabCadCli.locate(QStringLiteral("CODIGO"), customer))
                throw BrolaviError(QStringLiteral("ledger_open: customer %1 not found").arg(customer));
            FPesquisaCli->DBGrid1DblClick();
        });
        FDividas->BPesquisarClick();
        inside();
    });
    TelaInicial->BDividasClick();
}

QString ledgerThroughScreens() {
    // The picker has closed on its choice (its double click, made once): the ledger screen takes the chosen
    // customer's open credit entries, as after every return from the picker. A closed screen's handlers are
    // not called again.
    FDividas->customerPicked();
    return readGrid(FDividas->DBGrid1, FDividas->DBText2);
}

QVector<Operation> screenOperations() {
    auto sale = std::make_shared<SaleState>();
    auto payer = std::make_shared<int>(0);
    auto walkIn = std::make_shared<int>(0);
    return {
        {QStringLiteral("picker_search"), [](TDM&) {}, pickerSearchApp, pickerSearchBaseline,
         [](TDM& dm, const std::function<void()>& inside) {
             screens(dm);
             // The picker as the ledger screen's search button opens it, its field emptied first.
             g_host.onShow(FDividas, [&inside] {
                 g_host.onShow(FPesquisaCli, [&inside] {
                     FPesquisaCli->Edit1->clear();
                     inside();
                 });
                 FDividas->BPesquisarClick();
             });
             TelaInicial->BDividasClick();
         }},
        {QStringLiteral("credit_sale_12"),
         [sale](TDM& dm) {
             // Not one the bench made: a sale to the walk-in customer or the payer would change what their
             // operations read in the next run on this database.
             sale->customer = scalar(dm, QStringLiteral("select max(CODIGO) from TABCADCLI where NOME not in "
                                                        "('CLIENTE AVULSO', 'BENCH PAGADOR')"))
                                  .toInt();
         },
         [sale](TDM& dm) { return creditSaleApp(dm, *sale); },
         [sale](TDM& dm) { return creditSaleBaseline(dm, *sale); },
         [sale](TDM& dm, const std::function<void()>& inside) {
             screens(dm);
             // The customer current, as the picker leaves it; the new sale opened over it with twelve
             // instalments chosen. The ledger screen that opens it in the program stays closed: its grid and
             // total would read the customer's ledger again after every sale, which the baseline does not.
             dm.TabCadCli.open();
             dm.TabCadCli.setFiltered(false);
             dm.TabCadCli.locate(QStringLiteral("CODIGO"), sale->customer);
             g_host.onShow(FNovaDivida, [&inside] {
                 FNovaDivida->RadioGroup1->setItemIndex(1);
                 FNovaDivida->RadioGroup1Click();
                 FNovaDivida->ComboBox1->setEditText(QStringLiteral("12"));
                 inside();
             });
             ModalHost::show(FNovaDivida);
         }},
        {QStringLiteral("pay_total"),
         [payer](TDM& dm) {
             // A customer of its own with forty entries, made by the first run on the database.
             QVariant code = dm.FDConnection1.selectValue(QStringLiteral(
                 "select first 1 CODIGO from TABCADCLI where NOME = 'BENCH PAGADOR' order by CODIGO"));
             if (code.isNull()) {
                 code = scalar(dm, QStringLiteral("select max(CODIGO) + 1 from TABCADCLI"));
                 dm.FDConnection1.execute(
                     QStringLiteral("insert into TABCADCLI (CODIGO, NOME) values (?, 'BENCH PAGADOR')"),
                     {code});
             }
             *payer = code.toInt();
             const int have = scalar(dm,
                                     QStringLiteral("select count(*) from TABDIVIDAS where CLIENTE = ? and "
                                                    "DESCRICAO = 'BENCH PAGAMENTO'"),
                                     {*payer})
                                  .toInt();
             for (int i = have; i < OpenEntries; ++i)
                 dm.FDConnection1.execute(
                     QStringLiteral(
                         "insert into TABDIVIDAS (CODIGO, CLIENTE, DATA, DESCRICAO, VALOR, DATA_VENC, "
                         "PARCELA, STATUS_PAG, CONTA) select max(CODIGO) + 1, ?, current_date, "
                         "'BENCH PAGAMENTO', 10, current_date, 'À Prazo', 'NP', 'N' from TABDIVIDAS"),
                     {*payer});
         },
         [payer](TDM& dm) {
             reopenEntries(dm, *payer);
             // The screen sees the entries opened again behind its back only by reading them: the payment
             // refuses to pay when it shows nothing open.
             dm.TabDividas.refresh();
             FPagamentos->Edit1->setText(QStringLiteral("400"));
             FPagamentos->BConfirmarClick();
             return paidOf(dm, *payer);
         },
         [payer](TDM& dm) {
             reopenEntries(dm, *payer);
             dm.FDConnection1.execute(
                 QStringLiteral(
                     "Update tabdividas set Status_Pag = 'PG', Data_Pag = ?, Form_Pag = 'Dinheiro' "
                     "where Cliente = ? AND Status_Pag ='NP' AND Conta <> 'V'"),
                 {QDateTime::currentDateTime(), *payer});
             return paidOf(dm, *payer);
         },
         [payer](TDM& dm, const std::function<void()>& inside) {
             screens(dm);
             // The payer current, as the picker leaves it, and the payment opened over it as the ledger
             // screen opens it.
             dm.TabCadCli.open();
             dm.TabCadCli.setFiltered(false);
             dm.TabCadCli.locate(QStringLiteral("CODIGO"), *payer);
             FPagamentos->setFromCashSale(false);
             g_host.onShow(FPagamentos, inside);
             ModalHost::show(FPagamentos);
         }},
        {QStringLiteral("quick_sale_open"),
         [walkIn](TDM& dm) {
             screens(dm);
             QVariant code = dm.FDConnection1.selectValue(QStringLiteral(
                 "select first 1 CODIGO from TABCADCLI where NOME = 'CLIENTE AVULSO' order by CODIGO"));
             if (code.isNull()) {
                 code = scalar(dm, QStringLiteral("select max(CODIGO) + 1 from TABCADCLI"));
                 dm.FDConnection1.execute(
                     QStringLiteral("insert into TABCADCLI (CODIGO, NOME) values (?, 'CLIENTE AVULSO')"),
                     {code});
             }
             *walkIn = code.toInt();
             const int have = scalar(dm,
                                     QStringLiteral("select count(*) from TABDIVIDAS where CLIENTE = ? and "
                                                    "STATUS_PAG = 'NP' and CONTA = 'V'"),
                                     {*walkIn})
                                  .toInt();
             for (int i = have; i < WalkInItems; ++i)
                 dm.FDConnection1.execute(
                     QStringLiteral(
                         "insert into TABDIVIDAS (CODIGO, CLIENTE, DATA, DESCRICAO, QUANTIDADE, VALOR_UN, "
                         "VALOR, DATA_VENC, PARCELA, STATUS_PAG, CONTA) select max(CODIGO) + 1, ?, "
                         "current_date, 'PAO', 2, 0.75, 1.5, current_date, 'À Vista', 'NP', 'V' "
                         "from TABDIVIDAS"),
                     {*walkIn});
         },
         [](TDM&) {
             // The main screen's button, pressed with no other screen open (they are modal): every operation
             // before this one closed its screens.
             QString seen;
             g_host.onShow(FVendasAvista,
                           [&seen] { seen = readGrid(FVendasAvista->DBGrid1, FVendasAvista->DBText2); });
             TelaInicial->BVendas_rapidasClick();
             return seen;
         },
         [](TDM& dm) {
             const QVariant code = scalar(
                 dm,
                 QStringLiteral(
                     "select first 1 CODIGO from TABCADCLI where NOME = 'CLIENTE AVULSO' order by CODIGO+0"));
             const Fetched items =
                 fetchAll(dm.FDConnection1,
                          QStringLiteral("select * from TABDIVIDAS where CLIENTE = ? and "
                                         "STATUS_PAG = 'NP' and CONTA = 'V' order by CODIGO+0"),
                          {code}, dm.TabDividas.schema());
             const QVariant sum = scalar(
                 dm,
                 QStringLiteral("select cast(sum(VALOR) as varchar(40)) from TABDIVIDAS where CLIENTE = ? "
                                "and STATUS_PAG = 'NP' and CONTA = 'V'"),
                 {code});
             return QStringLiteral("rows=%1 values=%2 sum=%3")
                 .arg(items.rows)
                 .arg(items.values)
                 .arg(sum.isNull() ? QStringLiteral("none")
                                   : Currency::fromDbText(sum.toString()).toDbText());
         }},
    };
}

} // namespace Bench
