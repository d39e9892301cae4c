#pragma once

#include "LedgerFixture.h"
#include "credit/uPagamentos.h"

#include <QLineEdit>
#include <functional>

// Ana's ledger as the payment screen finds it: three open credit entries (100,00, 150,00 and 50,00), an open
// cash-sale item and an entry paid long ago.
class Payment : public LedgerTest {
protected:
    void SetUp() override {
        LedgerTest::SetUp();
        addCustomer(1, QStringLiteral("ANA"));
        const QDate today = clock.currentDateTime().date();
        addEntry(1, 1, QStringLiteral("100,00"), today);
        addEntry(2, 1, QStringLiteral("150,00"), today);
        addEntry(3, 1, QStringLiteral("50,00"), today);
        addEntry(4, 1, QStringLiteral("9,00"), today, "NP", "V"); // an open cash sale
        addEntry(5, 1, QStringLiteral("30,00"), today, "PG", "N",
                 QDateTime(QDate(2025, 1, 2), QTime(8, 0))); // paid
        sql(QStringLiteral("update TABDIVIDAS set FORM_PAG = 'PIX' where CODIGO = 5"));
    }
    // From the ledger, with the payment screen open: runs the script in it.
    void pay(const std::function<void()>& script) {
        openLedgerFor(QStringLiteral("ANA"));
        modal.onShow(QStringLiteral("FPagamentos"), [script](QDialog*) { script(); });
        press(Qt::Key_F5);
    }
    static void typeAmount(const QString& amount) {
        FPagamentos->Edit1->clear();
        QTest::keyClicks(FPagamentos->Edit1, amount);
    }
    static void enter() { QTest::keyClick(FPagamentos->Edit1, Qt::Key_Return); }
    QStringList rows() {
        QStringList out;
        for (const Row& r : DM->FDConnection1.select(QStringLiteral(
                 "select CODIGO, DESCRICAO, cast(VALOR as varchar(20)), STATUS_PAG, CONTA, PARCELA, "
                 "coalesce(cast(DATA_PAG as varchar(24)), '-'), coalesce(FORM_PAG, '-'), cast(DATA_VENC as "
                 "varchar(10)) "
                 "from TABDIVIDAS order by CODIGO"))) {
            QStringList cells;
            for (const QVariant& v : r)
                cells << v.toString();
            out << cells.join(u'|');
        }
        return out;
    }
};
