#include "ReportOperations.h"

#include "ScreenOperations.h"
#include "app/uBrolavi.h"
#include "consultation/uConsulta.h"
#include "customers/uCadCli.h"
#include "data/CashFlow.h"
#include "data/Ledger.h"
#include "data/uDM.h"
#include "platform/core/Clock.h"
#include "platform/core/Connection.h"
#include "platform/core/Query.h"
#include "platform/widgets/ModalHost.h"
#include "platform/widgets/RadioGroup.h"
#include "reports/PreparedReport.h"
#include "reports/Printing.h"
#include "reports/ReportPainter.h"

#include <QComboBox>
#include <QDateEdit>
#include <QTemporaryDir>
#include <memory>

namespace Bench {

namespace {

constexpr int CashFlowRows = 10'000;

// Instead of the preview: the prepared pages written as a PDF, and how many rows they print.
class PdfPrinting : public Printing {
public:
    void preview(const Report::Prepared& report, QWidget*) override {
        Report::writePdf(report, m_dir.filePath(QStringLiteral("report.pdf")));
        rows = int(report.itemsOf(m_rowObject).size());
        pages = int(report.pages.size());
    }
    QString answer(const QString& rowObject, const std::function<void()>& print) {
        m_rowObject = rowObject;
        rows = -1;
        Printing::install(this);
        try {
            print();
        } catch (...) {
            Printing::install(nullptr);
            throw;
        }
        Printing::install(nullptr);
        return QStringLiteral("rows=%1").arg(rows);
    }
    int rows = -1;
    int pages = 0;

private:
    QTemporaryDir m_dir;
    QString m_rowObject;
};

int fetchAll(TDM& dm, const QString& sql, const QVariantList& params) {
    const std::unique_ptr<Cursor> cursor = dm.FDConnection1.openCursor(sql, params);
    int rows = 0;
    Row row;
    while (cursor->next(row))
        ++rows;
    return rows;
}

struct CashFlowState {
    QDate from;
    QDate to;
};

} // namespace

QVector<Operation> reportOperations() {
    auto printing = std::make_shared<PdfPrinting>();
    auto range = std::make_shared<CashFlowState>();
    QVector<Operation> ops;
    // Every customer's unpaid entries sold over the custom period that holds about 10,000 of them.
    ops << Operation{
        QStringLiteral("report_cashflow"),
        [range](TDM& dm) {
            range->to = Clock::today();
            range->from =
                dm.FDConnection1
                    .selectValue(QStringLiteral("select first 1 skip %1 DATA from TABDIVIDAS where "
                                                "STATUS_PAG = 'NP' and DATA <= ? order by DATA desc")
                                     .arg(CashFlowRows),
                                 {range->to})
                    .toDate();
            if (!range->from.isValid())
                range->from = QDate(1900, 1, 1);
        },
        [printing](TDM&) {
            return printing->answer(QStringLiteral("DBRelatorioDESCRICAO"), [printing] {
                FConsulta->BConsultarClick();
                FConsulta->BImprimirClick();
                qInfo("# report_cashflow: %d pages", printing->pages);
            });
        },
        [range](TDM& dm) {
            QStringList names;
            const QString sql = replaceNamedParameters(
                CashFlow::statement(CashFlow::statementNumber(
                    CashFlow::Scope::AllCustomers, CashFlow::Kind::Unpaid, CashFlow::Period::Custom)),
                names);
            QVariantList params;
            for (const QString& n : names)
                params << (n == QLatin1String("PINICIAL") ? QVariant(range->from) : QVariant(range->to));
            return QStringLiteral("rows=%1").arg(fetchAll(dm, sql, params));
        },
        [range](TDM& dm, const std::function<void()>& inside) {
            screens(dm);
            onNextShow(FConsulta, [range, &inside] {
                FConsulta->RadioGroup1->setItemIndex(0);
                FConsulta->RadioGroup1Click();
                FConsulta->RadioGroup2->setItemIndex(int(CashFlow::Kind::Unpaid));
                FConsulta->ComboBox1->setCurrentIndex(int(CashFlow::Period::Custom));
                FConsulta->DateTimePicker1->setDate(range->from);
                FConsulta->DateTimePicker2->setDate(range->to);
                inside();
            });
            TelaInicial->BConsultarClick();
        }};
    // Every customer the search page lists ("Todos").
    ops << Operation{QStringLiteral("report_customers"), [](TDM&) {},
                     [printing](TDM&) {
                         return printing->answer(QStringLiteral("DBClienteNOME"), [printing] {
                             FCadCli->BImprimirClick();
                             qInfo("# report_customers: %d pages", printing->pages);
                         });
                     },
                     [](TDM& dm) {
                         return QStringLiteral("rows=%1").arg(fetchAll(
                             dm, QStringLiteral("select * from TABCADCLI where NOME <> ? order by CODIGO"),
                             {LedgerWords::WalkInCustomer}));
                     },
                     [](TDM& dm, const std::function<void()>& inside) {
                         screens(dm);
                         onNextShow(FCadCli, [&inside] {
                             FCadCli->BPesquisarClick();
                             inside();
                         });
                         ModalHost::show(FCadCli);
                     }};
    return ops;
}

} // namespace Bench
