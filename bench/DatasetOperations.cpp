#include "DatasetOperations.h"

#include "ScreenOperations.h"

#include "data/uDM.h"
#include "platform/core/Currency.h"
#include "platform/core/Errors.h"

#include <QTextStream>
#include <algorithm>
#include <memory>
#include <optional>

namespace Bench {

namespace {

int nonNullValues(const TableDataset& t) {
    int n = 0;
    for (int c = 0; c < int(t.schema().columns.size()); ++c)
        n += t.value(c).isNull() ? 0 : 1;
    return n;
}

QString ledgerAnswer(int rows, int values, std::optional<Currency> sum) {
    return QStringLiteral("rows=%1 values=%2 sum=%3")
        .arg(rows)
        .arg(values)
        .arg(sum ? sum->toDbText() : QStringLiteral("none"));
}

struct LedgerState {
    int customer = 0;
    QString filter;
};

// A customer with the median number of open entries among those who owe something, near the middle of the
// table: what the ledger screen usually shows.
void pickTypicalDebtor(TDM& dm, LedgerState& state) {
    const QVector<Row> counts = dm.FDConnection1.select(
        QStringLiteral("select CLIENTE, count(*) from TABDIVIDAS where STATUS_PAG = 'NP' and CONTA <> 'V' "
                       "group by CLIENTE order by CLIENTE"));
    if (counts.isEmpty())
        throw BrolaviError(QStringLiteral("ledger_open: no customer has open entries"));
    QVector<int> sorted;
    for (const Row& r : counts)
        sorted << r[1].toInt();
    std::sort(sorted.begin(), sorted.end());
    const int typical = sorted[sorted.size() / 2];
    const qsizetype mid = counts.size() / 2;
    for (qsizetype d = 0; d <= mid; ++d) {
        for (qsizetype i : {mid + d, mid - d}) {
            if (i >= 0 && i < counts.size() && counts[i][1].toInt() == typical) {
                state.customer = counts[i][0].toInt();
                state.filter =
                    QStringLiteral("Cliente LIKE'%1'AND Status_Pag ='NP'AND Conta <>'V'").arg(state.customer);
                QTextStream(stderr) << "# ledger_open: customer " << state.customer << ", " << typical
                                    << " open entries\n";
                return;
            }
        }
    }
}

Operation ledgerOpen() {
    auto state = std::make_shared<LedgerState>();
    return {
        QStringLiteral("ledger_open"),
        [state](TDM& dm) {
            pickTypicalDebtor(dm, *state);
            dm.TabDividas.open();
        },
        // The program's path: the customer chosen in the picker with the ledger screen behind it.
        [](TDM&) { return ledgerThroughScreens(); },
        [state](TDM& dm) {
            const Fetched rows =
                fetchAll(dm.FDConnection1,
                         QStringLiteral("select * from TABDIVIDAS where CLIENTE = ? and "
                                        "STATUS_PAG = 'NP' and CONTA <> 'V' order by CODIGO+0"),
                         {state->customer}, dm.TabDividas.schema());
            // Exact text of the sum, so that the answers compare without a double in between.
            const QVariant sum = dm.FDConnection1.selectValue(
                QStringLiteral("select cast(sum(VALOR) as varchar(40)) from TABDIVIDAS "
                               "where CLIENTE = ? and STATUS_PAG = 'NP' and CONTA <> 'V'"),
                {state->customer});
            return ledgerAnswer(rows.rows, rows.values,
                                sum.isNull() ? std::nullopt
                                             : std::optional(Currency::fromDbText(sum.toString())));
        },
        [state](TDM& dm, const std::function<void()>& inside) {
            withLedgerScreen(dm, state->customer, inside);
        },
    };
}

Operation nextCode() {
    return {
        QStringLiteral("next_code"),
        [](TDM&) {},
        [](TDM& dm) { return QString::number(dm.TabDividas.nextCode()); },
        [](TDM& dm) {
            const QVariant max =
                dm.FDConnection1.selectValue(QStringLiteral("select max(CODIGO) from TABDIVIDAS"));
            return QString::number(max.isNull() ? 1 : max.toInt() + 1);
        },
    };
}

Operation customersPrefix() {
    return {
        QStringLiteral("customers_prefix"),
        [](TDM& dm) { dm.TabCadCli.open(); },
        [](TDM& dm) {
            TableDataset& t = dm.TabCadCli;
            t.setFilter(QStringLiteral("NOME LIKE'MA%'"));
            t.setFiltered(true);
            return QString::number(t.recordCount());
        },
        [](TDM& dm) {
            return dm.FDConnection1
                .selectValue(QStringLiteral("select count(*) from TABCADCLI where NOME starting with ?"),
                             {QStringLiteral("MA")})
                .toString();
        },
    };
}

Operation customerLocate() {
    auto name = std::make_shared<QString>();
    return {
        QStringLiteral("customer_locate"),
        [name](TDM& dm) {
            dm.TabCadCli.open();
            dm.TabCadCli.setFiltered(false);
            const QVariant last =
                dm.FDConnection1.selectValue(QStringLiteral("select max(CODIGO) from TABCADCLI"));
            *name = dm.FDConnection1
                        .selectValue(
                            QStringLiteral("select NOME from TABCADCLI where CODIGO >= ? order by CODIGO "
                                           "rows 1"),
                            {(last.toInt() + 1) / 2})
                        .toString();
            if (name->isEmpty())
                throw BrolaviError(QStringLiteral("customer_locate: the table has no customers"));
        },
        [name](TDM& dm) {
            TableDataset& t = dm.TabCadCli;
            if (!t.locate(QStringLiteral("NOME"), *name))
                return QStringLiteral("none");
            return QStringLiteral("codigo=%1 values=%2").arg(t.keyValue().toInt()).arg(nonNullValues(t));
        },
        [name](TDM& dm) {
            const Fetched f =
                fetchAll(dm.FDConnection1,
                         QStringLiteral("select first 1 * from TABCADCLI where NOME = ? order by CODIGO"),
                         {*name}, dm.TabCadCli.schema());
            if (f.rows == 0)
                return QStringLiteral("none");
            return QStringLiteral("codigo=%1 values=%2").arg(f.first.toInt()).arg(f.values);
        },
    };
}

} // namespace

QVector<Operation> datasetOperations() {
    // ledger_open goes through the screens, whose bound controls then read TabCadCli's current row after each
    // of its changes: the operations on the datasets alone run before it.
    return {nextCode(), customersPrefix(), customerLocate(), ledgerOpen()};
}

} // namespace Bench
