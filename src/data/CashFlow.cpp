#include "data/CashFlow.h"

#include "platform/core/Clock.h"
#include "platform/core/Query.h"

#include <QStringList>
#include <array>

namespace CashFlow {

namespace {

const QString Prefix = QStringLiteral(
    "select * from tabdividas Inner join TabCadCli on (Tabdividas.cliente = TabcadCli.Codigo) Where");
const QString OneCustomer = QStringLiteral("TabCadCli.Nome = :qNome AND ");

// Each condition as the shop has always run it (odd blanks included), and the ending. The current month is
// also taken in the current year: by the month alone, the same month of every earlier year was listed too.
// Payments are stamped with their time: the custom range of the paid ones takes its final day whole. An
// overdue entry is due today or earlier, whatever range of due days is asked.
const std::array<QString, 25> Conditions = {
    QString(),
    QStringLiteral(" TabDividas.data = CURRENT_DATE AND TabDividas.STATUS_PAG = 'NP'"),
    QStringLiteral(
        " extract(month from TabDividas.data) = :Mes AND extract(year from TabDividas.data) = :Ano AND "
        "TabDividas.STATUS_PAG = 'NP'"),
    QStringLiteral(" TabDividas.STATUS_PAG = 'NP'"),
    QStringLiteral("  TabDividas.data BETWEEN :pInicial and :pFinal AND TabDividas.STATUS_PAG = 'NP'"),
    QStringLiteral(" cast(TabDividas.data_pag as Date) = CURRENT_DATE AND TabDividas.STATUS_PAG = 'PG'"),
    QStringLiteral(
        " extract(month from TabDividas.data) = :Mes AND extract(year from TabDividas.data) = :Ano AND "
        "TabDividas.STATUS_PAG = 'PG' "),
    QStringLiteral(" TabDividas.STATUS_PAG = 'PG'"),
    QStringLiteral(" TabDividas.data_pag >= :pInicial and TabDividas.data_pag < :pAposFinal AND "
                   "TabDividas.STATUS_PAG = 'PG'"),
    QStringLiteral(" TabDividas.data_Venc = Current_date  AND TabDividas.STATUS_PAG = 'NP'"),
    QStringLiteral(
        " extract(month from TabDividas.data) = :Mes AND extract(year from TabDividas.data) = :Ano AND "
        "TabDividas.DATA_VENC <= CURRENT_DATE AND TabDividas.STATUS_PAG = 'NP'"),
    QStringLiteral(" TabDividas.DATA_VENC <= CURRENT_DATE AND TabDividas.STATUS_PAG = 'NP'"),
    QStringLiteral(" TabDividas.DATA_VENC BETWEEN :pInicial and :pFinal AND TabDividas.DATA_VENC <= "
                   "CURRENT_DATE AND TabDividas.STATUS_PAG = 'NP'"),
    QStringLiteral(
        " TabCadCli.Nome = :qNome AND TabDividas.data = CURRENT_DATE AND TabDividas.STATUS_PAG = 'NP'"),
    QStringLiteral(
        " extract(month from TabDividas.data) = :Mes AND extract(year from TabDividas.data) = :Ano AND "
        "TabCadCli.Nome = :qNome AND TabDividas.STATUS_PAG = 'NP'"),
    QStringLiteral(" TabCadCli.Nome = :qNome AND TabDividas.STATUS_PAG = 'NP'"),
    QStringLiteral(" TabCadCli.Nome = :qNome AND TabDividas.data BETWEEN :pInicial and :pFinal AND "
                   "TabDividas.STATUS_PAG = 'NP'"),
    QStringLiteral(" TabCadCli.Nome = :qNome AND cast(TabDividas.data_pag as Date) = CURRENT_DATE AND "
                   "TabDividas.STATUS_PAG = 'PG'"),
    QStringLiteral(
        " extract(month from TabDividas.data) = :Mes AND extract(year from TabDividas.data) = :Ano AND "
        "TabCadCli.Nome = :qnome AND TabDividas.STATUS_PAG = 'PG'"),
    QStringLiteral(" TabCadCli.Nome = :qnome  AND TabDividas.STATUS_PAG = 'PG'"),
    QStringLiteral(" TabCadCli.Nome = :qNome AND TabDividas.data BETWEEN :pInicial and :pFinal AND "
                   "TabDividas.STATUS_PAG = 'PG'"),
    QStringLiteral(" TabCadCli.Nome = :qNome AND TabDividas.data_Venc = Current_date  AND "
                   "TabDividas.STATUS_PAG = 'NP'"),
    QStringLiteral(
        " extract(month from TabDividas.data) = :Mes AND extract(year from TabDividas.data) = :Ano AND "
        "TabCadCli.Nome = :qnome AND TabDividas.DATA_VENC <= CURRENT_DATE AND "
        "TabDividas.STATUS_PAG = 'NP'"),
    QStringLiteral(" TabCadCli.Nome = :qnome AND TabDividas.DATA_VENC <= CURRENT_DATE AND "
                   "TabDividas.STATUS_PAG = 'NP'"),
    QStringLiteral(" TabCadCli.Nome = :qnome AND TabDividas.data BETWEEN :pInicial and :pFinal AND "
                   "TabDividas.DATA_VENC <= CURRENT_DATE AND TabDividas.STATUS_PAG = 'NP'"),
};

} // namespace

QString initialStatement() {
    return QStringLiteral("select * from tabdividas Inner join TabCadCli on (Tabdividas.cliente = "
                          "TabcadCli.Codigo) ORDER BY tabdividas.data Desc");
}

int statementNumber(Scope scope, Kind kind, Period period) {
    return (scope == Scope::OneCustomer ? 12 : 0) + int(kind) * 4 + int(period) + 1;
}

QString statement(int number) {
    return Prefix + Conditions.at(std::size_t(number)) + QStringLiteral("ORDER BY tabdividas.codigo Desc");
}

void prepare(Query& query, const Consultation& c) {
    query.setSql(statement(statementNumber(c.scope, c.kind, c.period)));
    const QDate today = Clock::today();
    const QStringList names = query.paramNames();
    auto bindIfNamed = [&](const QString& name, const QVariant& value) {
        if (names.contains(name.toUpper()))
            query.setParam(name, value);
    };
    bindIfNamed(QStringLiteral("Mes"), today.month());
    bindIfNamed(QStringLiteral("Ano"), today.year());
    bindIfNamed(QStringLiteral("pInicial"), c.from);
    bindIfNamed(QStringLiteral("pFinal"), c.to);
    bindIfNamed(QStringLiteral("pAposFinal"), c.to.addDays(1));
    bindIfNamed(QStringLiteral("qNome"), c.customerName);
}

} // namespace CashFlow
