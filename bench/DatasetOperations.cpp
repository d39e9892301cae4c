#include "DatasetOperations.h"

#include "ScreenOperations.h"

#include "data/uDM.h"
#include "platform/core/Currency.h"
#include "platform/core/Errors.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTextStream>
#include <algorithm>
#include <memory>
#include <optional>

namespace Bench {

namespace {

struct Fetched {
    int rows = 0;
    int values = 0; // non-null values read, to compare with what the dataset gave
    QVariant first; // first column of the first row
};

// The baseline: a plain query on the program's connection, prepared afresh and destroyed at the end, since a
// live SELECT would keep its transaction and snapshot. The caller knows how many columns it selected: the
// driver's record() reads the catalogue for every NUMERIC column, work a hand-written fetch does not do.
Fetched fetchAll(TDM& dm, const QString& sql, const QVariantList& params = {}, int columns = 1) {
    QSqlQuery q(dm.FDConnection1.database());
    q.setForwardOnly(true);
    if (!q.prepare(sql))
        throw DatabaseError(engineText(q.lastError()));
    for (qsizetype i = 0; i < params.size(); ++i)
        q.bindValue(int(i), params[i]);
    if (!q.exec())
        throw DatabaseError(engineText(q.lastError()));
    Fetched f;
    while (q.next()) {
        if (f.rows == 0)
            f.first = q.value(0);
        for (int c = 0; c < columns; ++c)
            f.values += q.value(c).isNull() ? 0 : 1;
        ++f.rows;
    }
    if (q.lastError().isValid())
        throw DatabaseError(engineText(q.lastError()));
    return f;
}

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
                fetchAll(dm,
                         QStringLiteral("select * from TABDIVIDAS where CLIENTE = ? and "
                                        "STATUS_PAG = 'NP' and CONTA <> 'V' order by CODIGO+0"),
                         {state->customer}, int(dm.TabDividas.schema().columns.size()));
            // Exact text of the sum, so that the answers compare without a double in between.
            const Fetched sum =
                fetchAll(dm,
                         QStringLiteral("select cast(sum(VALOR) as varchar(40)) from TABDIVIDAS "
                                        "where CLIENTE = ? and STATUS_PAG = 'NP' and CONTA <> 'V'"),
                         {state->customer});
            return ledgerAnswer(rows.rows, rows.values,
                                sum.first.isNull()
                                    ? std::nullopt
                                    : std::optional(Currency::fromDbText(sum.first.toString())));
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
            const QVariant max = fetchAll(dm, QStringLiteral("select max(CODIGO) from TABDIVIDAS")).first;
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
            return fetchAll(dm, QStringLiteral("select count(*) from TABCADCLI where NOME starting with ?"),
                            {QStringLiteral("MA")})
                .first.toString();
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
                fetchAll(dm, QStringLiteral("select first 1 * from TABCADCLI where NOME = ? order by CODIGO"),
                         {*name}, int(dm.TabCadCli.schema().columns.size()));
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
