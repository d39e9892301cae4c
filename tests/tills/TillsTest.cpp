#include "Printers.h"
#include "TestDatabase.h"
#include "TestServer.h"
#include "data/Ledger.h"
#include "platform/core/Connection.h"

#include <QProcess>
#include <QSet>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

struct Till {
    QString name;
    bool older = false;
    int salesCustomer() const { return 10 + name.mid(1).toInt(); }
    int payingCustomer() const { return 20 + name.mid(1).toInt(); }
};

// What one till printed: the operations it confirmed and those it was refused.
struct Confirmed {
    QStringList sales;
    QStringList items;
    int parts = 0;
    QStringList refused;
};

class Tills : public ::testing::Test {
protected:
    void SetUp() override {
        if (!TestServer::available())
            GTEST_SKIP() << "no test server (scripts/test starts one)";
        db = TestServer::createShopDatabase(QStringLiteral("tills"));
        connection = connectTo(db.access);
    }

    void seed(const std::vector<Till>& tills) {
        for (const Till& t : tills) {
            for (const int customer : {t.salesCustomer(), t.payingCustomer()})
                connection->execute(QStringLiteral("insert into TABCADCLI (CODIGO, NOME) values (?, ?)"),
                                    {customer, QStringLiteral("CLIENTE %1").arg(customer)});
            connection->execute(
                QStringLiteral("insert into TABDIVIDAS (CODIGO, CLIENTE, DATA, DESCRICAO, VALOR, "
                               "DATA_VENC, PARCELA, STATUS_PAG, CONTA) values ((select "
                               "coalesce(max(CODIGO), 0) + 1 from TABDIVIDAS), ?, current_date, "
                               "'CONTA ANTIGA', 1000, current_date, ?, 'NP', 'N')"),
                {t.payingCustomer(), LedgerWords::OnCredit});
        }
    }

    // Runs the tills at once, each its rounds back to back, and returns what each confirmed.
    std::vector<Confirmed> ring(const std::vector<Till>& tills, int rounds) {
        std::vector<std::unique_ptr<QProcess>> processes;
        for (const Till& t : tills) {
            auto p = std::make_unique<QProcess>();
            p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            QStringList args{db.access.name,
                             db.access.user,
                             db.access.password,
                             t.name,
                             QString::number(rounds),
                             QString::number(t.salesCustomer()),
                             QString::number(t.payingCustomer())};
            if (t.older)
                args << QStringLiteral("older");
            p->start(QStringLiteral(TILL_WORKER), args);
            EXPECT_TRUE(p->waitForStarted());
            processes.push_back(std::move(p));
        }
        std::vector<Confirmed> confirmed;
        for (auto& p : processes) {
            EXPECT_TRUE(p->waitForFinished(300000));
            EXPECT_EQ(p->exitCode(), 0);
            Confirmed c;
            for (const QString& line :
                 QString::fromUtf8(p->readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts)) {
                if (line.startsWith(QStringLiteral("refused ")))
                    c.refused << line;
                else if (line.startsWith(QStringLiteral("sale ")))
                    c.sales << line.mid(5);
                else if (line.startsWith(QStringLiteral("cash ")))
                    c.items << line.mid(5);
                else if (line == QStringLiteral("part"))
                    ++c.parts;
            }
            confirmed.push_back(c);
        }
        return confirmed;
    }

    int count(const QString& sql, const QVariantList& params) {
        return connection->selectValue(sql, params).toInt();
    }

    // Every confirmed sale is whole (three instalments adding up, one purchase line pointing at the last),
    // every confirmed item has its entry and its line, every confirmed partial payment is in the paying
    // account, and nothing else of the till is stored.
    void expectBooksMatch(const Till& t, const Confirmed& c) {
        const int customer = t.salesCustomer();
        for (const QString& sale : c.sales) {
            EXPECT_EQ(count(QStringLiteral(
                                "select count(*) from TABDIVIDAS where CLIENTE = ? and DESCRICAO = ? and "
                                "PARCELA starting with 'Parc. ' and VALOR = 10"),
                            {customer, sale}),
                      3)
                << sale.toStdString();
            EXPECT_EQ(count(QStringLiteral(
                                "select count(*) from TABDESC_COMPRAS l join TABDIVIDAS d on d.CODIGO = "
                                "l.COD_VENDA and d.CLIENTE = l.CLIENTE and d.DESCRICAO = l.DESCRICAO and "
                                "d.PARCELA = 'Parc. 3 de 3' where l.CLIENTE = ? and l.DESCRICAO = ?"),
                            {customer, sale}),
                      1)
                << sale.toStdString();
        }
        for (const QString& item : c.items) {
            EXPECT_EQ(count(QStringLiteral(
                                "select count(*) from TABDESC_COMPRAS l join TABDIVIDAS d on d.CODIGO = "
                                "l.COD_VENDA and d.CLIENTE = l.CLIENTE and d.DESCRICAO = l.DESCRICAO and "
                                "d.CONTA = 'V' and d.VALOR = 5 where l.CLIENTE = ? and l.DESCRICAO = ?"),
                            {customer, item}),
                      1)
                << item.toStdString();
        }
        EXPECT_EQ(count(QStringLiteral("select count(*) from TABDIVIDAS where CLIENTE = ?"), {customer}),
                  3 * c.sales.size() + c.items.size())
            << t.name.toStdString() << ": a refused sale stored nothing";
        EXPECT_EQ(count(QStringLiteral("select count(*) from TABDESC_COMPRAS where CLIENTE = ?"), {customer}),
                  c.sales.size() + c.items.size());
        EXPECT_EQ(count(QStringLiteral("select count(*) from TABDIVIDAS where CLIENTE = ? and DESCRICAO = "
                                       "'Pagamento Saldo PARCIAL'"),
                        {t.payingCustomer()}),
                  c.parts);
        EXPECT_EQ(connection
                      ->selectValue(QStringLiteral("select sum(VALOR) from TABDIVIDAS where CLIENTE = ? and "
                                                   "STATUS_PAG = 'NP'"),
                                    {t.payingCustomer()})
                      .value<Currency>(),
                  Currency::fromCents(100000 - 100 * c.parts));
    }

    TestServer::Database db;
    std::unique_ptr<Connection> connection;
};

// Codes are the highest plus one, as older programs sharing the file expect: two or three tills numbering
// rows at once collide on them, and a unit that collides runs again whole, so no till loses a sale.
TEST_F(Tills, TillsRingingUpAtOnceLoseNothing) {
    const struct {
        const char* what;
        std::vector<Till> tills;
        int rounds;
    } cases[] = {
        {"two tills", {{QStringLiteral("T1")}, {QStringLiteral("T2")}}, 45},
        {"three tills", {{QStringLiteral("T3")}, {QStringLiteral("T4")}, {QStringLiteral("T5")}}, 30},
        {"two tills beside an older program",
         {{QStringLiteral("T6")}, {QStringLiteral("T7")}, {QStringLiteral("T8"), true}},
         30},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        seed(c.tills);
        const std::vector<Confirmed> confirmed = ring(c.tills, c.rounds);
        for (std::size_t i = 0; i < c.tills.size(); ++i) {
            const Till& t = c.tills[i];
            if (!t.older) {
                EXPECT_EQ(confirmed[i].refused, QStringList()) << t.name.toStdString();
                EXPECT_EQ(confirmed[i].sales.size(), c.rounds);
                EXPECT_EQ(confirmed[i].items.size(), c.rounds);
                EXPECT_EQ(confirmed[i].parts, c.rounds / 3);
            }
            expectBooksMatch(t, confirmed[i]);
        }
    }
}

} // namespace
