#include "ConsultationOperations.h"

#include "ScreenOperations.h"
#include "app/uBrolavi.h"
#include "consultation/uConsulta.h"
#include "credit/uCompras.h"
#include "data/CashFlow.h"
#include "data/uDM.h"
#include "platform/core/Clock.h"
#include "platform/core/Connection.h"
#include "platform/core/Errors.h"
#include "platform/core/Query.h"
#include "platform/widgets/RadioGroup.h"

#include <QComboBox>
#include <QDateEdit>
#include <memory>

namespace Bench {

namespace {

constexpr int Screenful = 20; // rows the consultation's grid shows at once

struct ConsultState {
    int customer = 0;
    QString name;
    QDate from;
    QDate to;
};

// The statement's parameters by name, in the order of its placeholders.
QVariantList positional(const QString& sql, QString& out, const QHash<QString, QVariant>& values) {
    QStringList names;
    out = replaceNamedParameters(sql, names);
    QVariantList params;
    for (const QString& n : names)
        params << values.value(n);
    return params;
}

// The plain statement: its first screenful of rows and the sum of the same condition.
QString plain(TDM& dm, const QString& statement, const QHash<QString, QVariant>& values, int limit) {
    QString sql;
    const QVariantList params = positional(statement, sql, values);
    int rows = 0;
    int count = 0;
    {
        const std::unique_ptr<Cursor> cursor = dm.FDConnection1.openCursor(sql, params);
        Row row;
        while ((limit < 0 || rows < limit) && cursor->next(row)) {
            ++rows;
            for (const QVariant& v : row)
                count += v.isNull() ? 0 : 1;
        }
    }
    QString sumSql = withoutTrailingOrderBy(sql);
    sumSql.replace(0, QStringLiteral("select *").size(),
                   QStringLiteral("select CAST(sum(VALOR) AS VARCHAR(40))"));
    const QVariant sum = dm.FDConnection1.selectValue(sumSql, params);
    return QStringLiteral("rows=%1 values=%2 sum=%3")
        .arg(rows)
        .arg(count)
        .arg(sum.isNull() ? QStringLiteral("none") : Currency::fromDbText(sum.toString()).toDbText());
}

CashFlow::Consultation consultationOf(int number, const ConsultState& s) {
    const int n = number - 1;
    CashFlow::Consultation c;
    c.scope = n >= 12 ? CashFlow::Scope::OneCustomer : CashFlow::Scope::AllCustomers;
    c.kind = CashFlow::Kind((n % 12) / 4);
    c.period = CashFlow::Period(n % 4);
    c.from = s.from;
    c.to = s.to;
    c.customerName = s.name;
    return c;
}

QHash<QString, QVariant> parametersOf(const CashFlow::Consultation& c) {
    const QDate today = Clock::today();
    return {{QStringLiteral("MES"), today.month()},
            {QStringLiteral("ANO"), today.year()},
            {QStringLiteral("PINICIAL"), c.from},
            {QStringLiteral("PFINAL"), c.to},
            {QStringLiteral("PAPOSFINAL"), c.to.addDays(1)},
            {QStringLiteral("QNOME"), c.customerName}};
}

void chooseCustomer(TDM& dm, int customer) {
    dm.TabCadCli.open();
    dm.TabCadCli.setFiltered(false);
    if (!dm.TabCadCli.locate(QStringLiteral("CODIGO"), customer))
        throw BrolaviError(QStringLiteral("consult: customer %1 not found").arg(customer));
}

// The consultation screen opened from the main screen with its selectors set as the shopkeeper sets them.
void withConsultation(TDM& dm, const CashFlow::Consultation& c, const ConsultState& s,
                      const std::function<void()>& inside) {
    screens(dm);
    chooseCustomer(dm, s.customer);
    onNextShow(FConsulta, [&c, &inside] {
        FConsulta->RadioGroup1->setItemIndex(c.scope == CashFlow::Scope::OneCustomer ? 1 : 0);
        FConsulta->RadioGroup1Click();
        FConsulta->RadioGroup2->setItemIndex(int(c.kind));
        FConsulta->ComboBox1->setCurrentIndex(int(c.period));
        FConsulta->DateTimePicker1->setDate(c.from);
        FConsulta->DateTimePicker2->setDate(c.to);
        inside();
    });
    TelaInicial->BConsultarClick();
}

void pickState(TDM& dm, ConsultState& s) {
    // A customer from the middle of the register, with its name as the shop typed it; the last thirty days.
    s.customer =
        dm.FDConnection1
            .selectValue(QStringLiteral("select first 1 CLIENTE from TABDIVIDAS where CODIGO >= (select "
                                        "max(CODIGO) / 2 from TABDIVIDAS) order by CODIGO"))
            .toInt();
    s.name = dm.FDConnection1
                 .selectValue(QStringLiteral("select NOME from TABCADCLI where CODIGO = ?"), {s.customer})
                 .toString();
    s.to = Clock::today();
    s.from = s.to.addDays(-30);
}

Operation consultation(int number, const std::shared_ptr<ConsultState>& state) {
    return {QStringLiteral("consult_%1").arg(number), [state](TDM& dm) { pickState(dm, *state); },
            [](TDM&) {
                FConsulta->BConsultarClick();
                return readGrid(FConsulta->DBGrid1, FConsulta->DBText2, Screenful);
            },
            [number, state](TDM& dm) {
                const CashFlow::Consultation c = consultationOf(number, *state);
                return plain(dm, CashFlow::statement(number), parametersOf(c), Screenful);
            },
            [number, state](TDM& dm, const std::function<void()>& inside) {
                const CashFlow::Consultation c = consultationOf(number, *state);
                withConsultation(dm, c, *state, inside);
            }};
}

} // namespace

QVector<Operation> consultationOperations() {
    auto state = std::make_shared<ConsultState>();
    QVector<Operation> ops;
    for (int n = 1; n <= 24; ++n)
        ops << consultation(n, state);
    // The viewer over the chosen customer's newest unpaid entry, from that customer's consultation.
    ops << Operation{
        QStringLiteral("purchases_view"), [state](TDM& dm) { pickState(dm, *state); },
        [](TDM&) {
            QString seen;
            onNextShow(FCompras, [&seen] { seen = readGrid(FCompras->DBGrid1, FCompras->DBText2); });
            FConsulta->BComprasClick();
            return seen;
        },
        [](TDM& dm) {
            const Query& row = *FConsulta->QConsulta;
            return plain(
                dm,
                QStringLiteral("select * from tabDesc_Compras inner join TabCadCli on (TabCadCli.Codigo = "
                               "TabDesc_Compras.Cliente) Where TabCadCli.Nome = :qcli AND "
                               "TabDesc_Compras.data = :qdata"),
                {{QStringLiteral("QCLI"), row.value(QStringLiteral("NOME"))},
                 {QStringLiteral("QDATA"), row.value(QStringLiteral("DATA"))}},
                -1);
        },
        [state](TDM& dm, const std::function<void()>& inside) {
            const CashFlow::Consultation c = consultationOf(15, *state);
            withConsultation(dm, c, *state, [&inside] {
                FConsulta->BConsultarClick();
                inside();
            });
        }};
    return ops;
}

} // namespace Bench
