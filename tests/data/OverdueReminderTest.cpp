#include "data/OverdueReminder.h"
#include "Printers.h"
#include "TestDatabase.h"
#include "data/Shop.h"
#include "data/uDM.h"
#include "platform/core/Connection.h"

#include <QUrl>
#include <gtest/gtest.h>

namespace {

using OverdueReminder::PhoneProblem;

TEST(ReminderTelephones, GiveTheNumberAWhatsAppLinkTakesOrSayWhyNot) {
    const struct {
        const char* typed;
        const char* number;
        PhoneProblem problem;
    } cases[] = {
        {"(11)91234-5678", "5511912345678", PhoneProblem::None}, // as the customer screen stores it
        {"(11) 9 1234-5678", "5511912345678", PhoneProblem::None},
        {"11912345678", "5511912345678", PhoneProblem::None},
        {"(21)3333-4444", "552133334444", PhoneProblem::None},   // a landline keeps its 8 digits
        {"(31)8765-4321", "5531987654321", PhoneProblem::None},  // an old mobile gets its 9
        {"(55)99876-5432", "5555998765432", PhoneProblem::None}, // area code 55 is no country code
        {"+55 (11) 91234-5678", "5511912345678", PhoneProblem::None},
        {"551133334444", "551133334444", PhoneProblem::None},
        {"0 11 91234-5678", "5511912345678", PhoneProblem::None}, // the long-distance 0
        {"0xx11 3333-4444", "551133334444", PhoneProblem::None},
        {"0 15 11 91234-5678", "5511912345678", PhoneProblem::None}, // with a carrier's code
        {"91234-5678", "", PhoneProblem::NoAreaCode},
        {"3333-4444", "", PhoneProblem::NoAreaCode},
        {"(__)_____-____", "", PhoneProblem::Missing}, // the mask left empty
        {"", "", PhoneProblem::Missing},
        {"(11)81234-5678", "", PhoneProblem::Invalid}, // nine digits must start with 9
        {"(01)91234-5678", "", PhoneProblem::Invalid}, // no area code has a 0
        {"(11)1234-5678", "", PhoneProblem::Invalid},
        {"1234", "", PhoneProblem::Invalid},
        {"(11)91234-567812", "", PhoneProblem::Invalid},
    };
    for (const auto& c : cases) {
        const OverdueReminder::WhatsAppNumber n = OverdueReminder::whatsAppNumber(QString::fromUtf8(c.typed));
        EXPECT_EQ(n.digits, QString::fromUtf8(c.number)) << c.typed;
        EXPECT_EQ(n.problem, c.problem) << c.typed;
    }
}

OverdueEntry overdue(const char* description, const char* label, QDate due, const char* value) {
    return {QString::fromUtf8(description), QString::fromUtf8(label), due,
            Currency::parse(QString::fromUtf8(value))};
}

TEST(ReminderText, NamesEachEntryTheTotalTheKeyAndTheShopAndTheLinkCarriesItWhole) {
    ShopDetails shop;
    shop.name = QStringLiteral("MÓVEIS CORAÇÃO & CIA");
    shop.pixKind = PixKeyKind::Phone;
    shop.pixKey = QStringLiteral("+5511912345678");
    const QVector<OverdueEntry> entries = {
        overdue("SOFÁ 3 LUGARES", "Parc. 1 de 3", QDate(2025, 10, 9), "1233,33"),
        overdue("SOFÁ 3 LUGARES", "Parc. 2 de 3", QDate(2025, 11, 9), "1233,33"),
        overdue("CAMISA", "À Prazo", QDate(2025, 12, 9), "49,90"),
    };
    const QString text = OverdueReminder::message(QStringLiteral("JOSÉ DA CONCEIÇÃO"), entries, shop);
    EXPECT_EQ(text, QStringLiteral("Olá, JOSÉ DA CONCEIÇÃO!\n"
                                   "Constam em aberto as seguintes contas vencidas:\n"
                                   "- SOFÁ 3 LUGARES (Parc. 1 de 3) - vencimento 09/10/2025 - R$ 1.233,33\n"
                                   "- SOFÁ 3 LUGARES (Parc. 2 de 3) - vencimento 09/11/2025 - R$ 1.233,33\n"
                                   "- CAMISA - vencimento 09/12/2025 - R$ 49,90\n"
                                   "Total: R$ 2.516,56\n"
                                   "PIX: +5511912345678\n"
                                   "Se já pagou, por favor desconsidere esta mensagem.\n"
                                   "MÓVEIS CORAÇÃO & CIA"));

    const QString link = OverdueReminder::link(QStringLiteral("5511912345678"), text);
    const QString prefix = QStringLiteral("https://wa.me/5511912345678?text=");
    ASSERT_TRUE(link.startsWith(prefix));
    const QString query = link.mid(prefix.size());
    EXPECT_TRUE(query.startsWith(QStringLiteral("Ol%C3%A1%2C%20JOS%C3%89%20DA%20CONCEI%C3%87%C3%83O%21%0A")))
        << query.toStdString();
    for (const char* raw : {" ", "\n", "&", "+", "#", "?"})
        EXPECT_FALSE(query.contains(QLatin1String(raw))) << "unencoded " << raw;
    EXPECT_EQ(QUrl::fromPercentEncoding(query.toUtf8()), text);
    EXPECT_TRUE(QUrl(link).isValid());
}

TEST(ReminderText, AShopWithoutKeyOrNameSendsTheDebtAlone) {
    const QString text = OverdueReminder::message(
        QStringLiteral("ANA"), {overdue("MESA", "À Prazo", QDate(2025, 12, 1), "80,00")}, ShopDetails{});
    EXPECT_EQ(text, QStringLiteral("Olá, ANA!\n"
                                   "Consta em aberto a seguinte conta vencida:\n"
                                   "- MESA - vencimento 01/12/2025 - R$ 80,00\n"
                                   "Total: R$ 80,00\n"
                                   "Se já pagou, por favor desconsidere esta mensagem."));
}

class ReminderEntries : public ::testing::Test {
protected:
    ReminderEntries()
        : dm(db.path()) {}
    void entry(int code, int customer, const QDate& due, const char* status, const char* account) {
        dm.FDConnection1.execute(
            QStringLiteral("insert into TABDIVIDAS (CODIGO, CLIENTE, DATA, DESCRICAO, VALOR, DATA_VENC, "
                           "STATUS_PAG, CONTA, PARCELA) values (?, ?, ?, ?, ?, ?, ?, ?, 'À Prazo')"),
            {code, customer, QDate(2025, 1, 10), QStringLiteral("ITEM %1").arg(code),
             QVariant::fromValue(Currency::fromUnits(code)), due, QString::fromUtf8(status),
             QString::fromUtf8(account)});
    }
    TestDatabase db;
    TDM dm;
};

TEST_F(ReminderEntries, AreTheCustomersUnpaidEntriesDueByTheDayAskedEarliestFirst) {
    const QDate today(2025, 12, 9);
    entry(1, 5, today, "NP", "P");            // due today counts, as the consultation lists it
    entry(2, 5, today.addDays(1), "NP", "P"); // not yet due
    entry(3, 5, today.addDays(-30), "NP", "N");
    entry(4, 5, today.addDays(-60), "PG", "N"); // paid
    entry(5, 6, today.addDays(-5), "NP", "N");  // another customer's
    entry(6, 5, today.addDays(-2), "NP", "V");  // a cash sale left open is owed too
    QStringList got;
    for (const OverdueEntry& e : OverdueReminder::overdueEntries(dm.FDConnection1, 5, today))
        got << e.description + u'|' + e.due.toString(Qt::ISODate) + u'|' + e.value.format();
    EXPECT_EQ(got, (QStringList{QStringLiteral("ITEM 3|2025-11-09|R$ 3,00"),
                                QStringLiteral("ITEM 6|2025-12-07|R$ 6,00"),
                                QStringLiteral("ITEM 1|2025-12-09|R$ 1,00")}));
}

TEST_F(ReminderEntries, LeaveOutZeroBalancesAndCredits) {
    const QDate today(2025, 12, 9);
    entry(1, 5, today.addDays(-3), "NP", "N");
    entry(2, 5, today.addDays(-2), "NP", "N");
    entry(3, 5, today.addDays(-1), "NP", "N");
    dm.FDConnection1.execute(QStringLiteral("update TABDIVIDAS set VALOR = 0 where CODIGO = 1"));
    dm.FDConnection1.execute(QStringLiteral("update TABDIVIDAS set VALOR = -3666.67 where CODIGO = 2"));
    const QVector<OverdueEntry> got = OverdueReminder::overdueEntries(dm.FDConnection1, 5, today);
    ASSERT_EQ(got.size(), 1);
    EXPECT_EQ(got.front().description, QStringLiteral("ITEM 3"));
}

} // namespace
