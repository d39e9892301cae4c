#pragma once

#include "CustomerScreen.h"
#include "credit/uDividas.h"
#include "customers/uPesquisaCli.h"
#include "data/uDM.h"
#include "platform/widgets/DBGrid.h"
#include "platform/widgets/DataWidgets.h"

// The ledger screen open with a customer chosen through the picker, as the shopkeeper gets there.
class LedgerTest : public ScreenTest {
protected:
    void openLedgerFor(const QString& name) {
        showActive(FDividas);
        modal.onShow(QStringLiteral("FPesquisaCli"), [name](QDialog*) {
            ASSERT_TRUE(DM->TabCadCli.locate(QStringLiteral("NOME"), name));
            FPesquisaCli->DBGrid1DblClick();
        });
        FDividas->BPesquisarClick();
        QApplication::setActiveWindow(FDividas);
    }
    void addEntry(int code, int customer, const QString& value, const QDate& due, const char* status = "NP",
                  const char* account = "N", const QVariant& paidAt = {}) {
        sql(QStringLiteral(
                "insert into TABDIVIDAS (CODIGO, CLIENTE, DATA, DESCRICAO, QUANTIDADE, VALOR_UN, VALOR, "
                "DATA_VENC, STATUS_PAG, CONTA, DATA_PAG, PARCELA) values (?, ?, ?, ?, 1, ?, ?, ?, ?, ?, ?, "
                "?)"),
            {code, customer, clock.currentDateTime().date(), QStringLiteral("ITEM %1").arg(code),
             QVariant::fromValue(Currency::parse(value)), QVariant::fromValue(Currency::parse(value)), due,
             QString::fromUtf8(status), QString::fromUtf8(account), paidAt,
             QString::fromUtf8(account) == u"V" ? QStringLiteral("À Vista") : QStringLiteral("À Prazo")});
    }
    QString column(const QString& sqlText) { return sqlValue(sqlText).toString(); }
    void messagesAnswerYes() { messages.answers.enqueue(QMessageBox::Yes); }
    void messagesAnswerNo() { messages.answers.enqueue(QMessageBox::No); }
};
