// One till for the tills' tests: rings up sales and payments back to back on a server's database and prints
// each operation it confirmed, or the error it was refused with, one per line.
//
//   till_worker NAME USER PASSWORD TILL ROUNDS SALES_CUSTOMER PAYING_CUSTOMER [older]
//
// Each round: a sale in 3 instalments and a cash-sale item to SALES_CUSTOMER; every third round a partial
// payment of R$ 1,00 from PAYING_CUSTOMER (the till's own: two tills paying one account at once are refused
// by design). "older" numbers rows as a program without retries does: the
// highest code plus one, read and written in one unit, given up at the first error.
#include "data/DatabaseAccess.h"
#include "data/Ledger.h"
#include "data/uDM.h"
#include "platform/core/Errors.h"
#include "platform/core/ProcessStart.h"
#include "platform/core/Transaction.h"

#include <QCoreApplication>
#include <QTextStream>

namespace {

void olderInstalmentSale(TDM& dm, int customer, const QString& description) {
    Connection& c = dm.FDConnection1;
    Transaction unit(c);
    const QDate today = QDate::currentDate();
    int code = c.selectValue(QStringLiteral("select coalesce(max(CODIGO), 0) + 1 from TABDIVIDAS")).toInt();
    for (int i = 1; i <= 3; ++i, ++code)
        c.execute(
            QStringLiteral("insert into TABDIVIDAS (CODIGO, CLIENTE, DATA, DESCRICAO, QUANTIDADE, VALOR_UN, "
                           "VALOR, DATA_VENC, PARCELA, STATUS_PAG, CONTA) values (?, ?, ?, ?, 1, 30, 10, ?, "
                           "?, 'NP', 'P')"),
            {code, customer, today, description, today.addMonths(i),
             LedgerWords::instalmentLabel(i, QStringLiteral("3"))});
    const int line =
        c.selectValue(QStringLiteral("select coalesce(max(CODIGO), 0) + 1 from TABDESC_COMPRAS")).toInt();
    c.execute(
        QStringLiteral("insert into TABDESC_COMPRAS (CODIGO, CLIENTE, DATA, DESCRICAO, VALOR, STATUS, "
                       "QUANTIDADE, VALOR_UN, COD_VENDA) values (?, ?, ?, ?, 30, ?, 1, 30, ?)"),
        {line, customer, today, description, LedgerWords::instalmentLabel(3, QStringLiteral("3")), code - 1});
    unit.commit();
}

Currency openCredit(TDM& dm, int customer) {
    return dm.FDConnection1
        .selectValue(
            QStringLiteral("select sum(VALOR) from TABDIVIDAS where CLIENTE = ? and STATUS_PAG = 'NP' "
                           "and CONTA <> 'V'"),
            {customer})
        .value<Currency>();
}

} // namespace

int main(int argc, char* argv[]) {
    if (const QString failure = prepareProcess(); !failure.isEmpty()) {
        QTextStream(stderr) << failure << '\n';
        return 1;
    }
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 8)
        return 2;
    QTextStream out(stdout);
    const QString& till = args[4];
    const int rounds = args[5].toInt();
    const int salesCustomer = args[6].toInt();
    const int payingCustomer = args[7].toInt();
    const bool older = args.size() > 8 && args[8] == QStringLiteral("older");
    TDM dm(DatabaseAccess{args[1], args[2], args[3]});
    dm.TabCadCli.open();
    dm.TabCadCli.locate(QStringLiteral("CODIGO"), salesCustomer);
    Ledger ledger(dm);
    const auto attempt = [&](const QString& what, const std::function<void()>& operation) {
        try {
            operation();
            out << what << '\n' << Qt::flush;
        } catch (const BrolaviError& e) {
            out << "refused " << what << ": " << e.message().simplified() << '\n' << Qt::flush;
        }
    };
    for (int round = 1; round <= rounds; ++round) {
        const QString sale = QStringLiteral("%1 VENDA %2").arg(till).arg(round);
        if (older) {
            attempt(QStringLiteral("sale ") + sale, [&] { olderInstalmentSale(dm, salesCustomer, sale); });
            continue;
        }
        attempt(QStringLiteral("sale ") + sale, [&] {
            ledger.creditSaleInInstalments(salesCustomer,
                                           {sale, Currency::fromCents(3000), 1, QStringLiteral("1")}, 3,
                                           QStringLiteral("3"));
        });
        const QString item = QStringLiteral("%1 ITEM %2").arg(till).arg(round);
        attempt(QStringLiteral("cash ") + item, [&] {
            ledger.cashSaleItem(salesCustomer, {item, Currency::fromCents(250), 2, QStringLiteral("2")});
        });
        if (round % 3 == 0) {
            attempt(QStringLiteral("part"), [&] {
                const Currency shown = openCredit(dm, payingCustomer);
                ledger.settlePart(payingCustomer, shown, Currency::fromCents(100), LedgerWords::Cash);
            });
        }
    }
    return 0;
}
