#include "data/Booklet.h"
#include "Printers.h"
#include "TestDatabase.h"
#include "data/uDM.h"
#include "platform/core/Connection.h"

#include <gtest/gtest.h>

namespace {

TEST(BookletParcels, AnInstalmentIsReadFromItsLabelAndAnythingElseIsOneParcel) {
    const std::pair<const char*, const char*> cases[] = {
        {"Parc. 2 de 3", "Parc. 2 de 3"},     {"Parc. 1 de 03", "Parc. 1 de 3"}, // the count as it was typed
        {"Parc. 99 de 99", "Parc. 99 de 99"}, {"parc.  4 de 12 ", "Parc. 4 de 12"},
        {"À Prazo", "Parcela única"}, // a sale with one due date, or a part payment's balance
        {"À Vista", "Parcela única"},         {"Parc. 0 de 3", "Parcela única"},
        {"Parc. 2 de", "Parcela única"},      {"", "Parcela única"},
    };
    for (const auto& [label, printed] : cases)
        EXPECT_EQ(Booklet::parcelText(QString::fromUtf8(label)), QString::fromUtf8(printed)) << label;
}

class OpenInstalments : public ::testing::Test {
protected:
    OpenInstalments()
        : dm(db.path()) {}
    void entry(int code, int customer, const QDate& due, const char* value, const char* status,
               const char* account, const char* label) {
        dm.FDConnection1.execute(
            QStringLiteral("insert into TABDIVIDAS (CODIGO, CLIENTE, DATA, DESCRICAO, VALOR, DATA_VENC, "
                           "STATUS_PAG, CONTA, PARCELA) values (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            {code, customer, QDate(2025, 1, 10), QStringLiteral("SOFÁ %1").arg(code),
             QVariant::fromValue(Currency::parse(QString::fromUtf8(value))), due, QString::fromUtf8(status),
             QString::fromUtf8(account), QString::fromUtf8(label)});
    }
    TestDatabase db;
    TDM dm;
};

TEST_F(OpenInstalments, AreTheCustomersUnpaidCreditEntriesEarliestDueFirst) {
    entry(1, 7, QDate(2025, 3, 10), "33,33", "NP", "P", "Parc. 2 de 3");
    entry(2, 7, QDate(2025, 2, 10), "33,33", "PG", "P", "Parc. 1 de 3"); // paid
    entry(3, 7, QDate(2025, 4, 10), "33,34", "NP", "P", "Parc. 3 de 3");
    entry(4, 7, QDate(2025, 2, 20), "1250,00", "NP", "N", "À Prazo");
    entry(5, 7, QDate(2025, 1, 10), "9,90", "NP", "V", "À Vista");      // a cash-sale item
    entry(6, 8, QDate(2025, 1, 5), "10,00", "NP", "P", "Parc. 1 de 2"); // another customer's
    entry(7, 7, QDate(2025, 3, 10), "5,00", "NP", "N", "À Prazo");      // same day: by code

    const QVector<OpenInstalment> open = Booklet::openInstalments(dm.FDConnection1, 7);
    QStringList got;
    for (const OpenInstalment& i : open)
        got << QStringLiteral("%1|%2|%3|%4|%5")
                   .arg(i.code)
                   .arg(i.description, i.label, i.due.toString(Qt::ISODate), i.value.format());
    EXPECT_EQ(got, (QStringList{QStringLiteral("4|SOFÁ 4|À Prazo|2025-02-20|R$ 1.250,00"),
                                QStringLiteral("1|SOFÁ 1|Parc. 2 de 3|2025-03-10|R$ 33,33"),
                                QStringLiteral("7|SOFÁ 7|À Prazo|2025-03-10|R$ 5,00"),
                                QStringLiteral("3|SOFÁ 3|Parc. 3 de 3|2025-04-10|R$ 33,34")}));
    EXPECT_TRUE(Booklet::openInstalments(dm.FDConnection1, 9).isEmpty());
}

TEST_F(OpenInstalments, GiveNoSlipForAZeroBalanceOrACredit) {
    entry(1, 7, QDate(2025, 2, 10), "-3666,67", "NP", "N", "À Prazo"); // paid more than owed
    entry(2, 7, QDate(2025, 2, 11), "0,00", "NP", "P", "Parc. 1 de 2");
    entry(3, 7, QDate(2025, 2, 12), "0,01", "NP", "P", "Parc. 2 de 2");
    const QVector<OpenInstalment> open = Booklet::openInstalments(dm.FDConnection1, 7);
    ASSERT_EQ(open.size(), 1);
    EXPECT_EQ(open.front().code, 3);
}

} // namespace
