#include "data/Ledger.h"

#include "data/uDM.h"
#include "platform/core/Clock.h"
#include "platform/core/Errors.h"
#include "platform/core/FilterExpression.h"
#include "platform/core/FirebirdStatus.h"
#include "platform/core/Query.h"
#include "platform/core/Transaction.h"

#include <QScopeGuard>

namespace LedgerWords {

QString instalmentLabel(int i, const QString& typedCount) {
    return QStringLiteral("Parc. ") + QString::number(i) + QStringLiteral(" ") + QStringLiteral("de") +
           QStringLiteral(" ") + typedCount;
}

QString creditAccountCondition() {
    return QStringLiteral("AND Conta <>") + FilterExpression::quoted(CashAccount);
}

QString cashAccountCondition() {
    return QStringLiteral("AND Conta =") + FilterExpression::quoted(CashAccount);
}

} // namespace LedgerWords

using namespace LedgerWords;

AccountChanged::AccountChanged()
    : BrolaviError(QStringLiteral("A CONTA DESTE CLIENTE FOI ALTERADA EM OUTRO CAIXA: O PAGAMENTO NÃO FOI "
                                  "FEITO. CONFIRA A CONTA ATUALIZADA E FAÇA O PAGAMENTO NOVAMENTE.")) {}

namespace {

// A row another till changed, or holds, while this unit pays it is the account changing under the screen too.
template <typename F> auto refusedWhenChanged(F&& pay) {
    try {
        return pay();
    } catch (const DatabaseError& e) {
        const Firebird::Problem problem = Firebird::problemOf(e.engineStatus());
        if (problem == Firebird::Problem::Conflict || problem == Firebird::Problem::LockTimeout)
            throw AccountChanged();
        throw;
    }
}

} // namespace

int Ledger::appendEntry(const QVariant& customer, const QDate& today, const SaleItem& item,
                        const Currency& value, const QDate& due, const QString& label,
                        const QString& account) {
    TableDataset& ledger = m_dm.TabDividas;
    ledger.append();
    m_dm.TabDividasCLIENTE.setValue(customer);
    m_dm.TabDividasDATA.setValue(today);
    m_dm.TabDividasDESCRICAO.setValue(item.description);
    m_dm.TabDividasQUANTIDADE.setAsString(item.quantityText);
    m_dm.TabDividasSTATUS_PAG.setValue(Open);
    m_dm.TabDividasVALOR_UN.setValue(QVariant::fromValue(item.unitValue));
    m_dm.TabDividasVALOR.setValue(QVariant::fromValue(value));
    m_dm.TabDividasDATA_VENC.setValue(due);
    m_dm.TabDividasPARCELA.setValue(label);
    m_dm.TabDividasCONTA.setValue(account);
    return ledger.postUnderNextCode();
}

void Ledger::appendPurchaseLine(const QVariant& customer, const QDate& today, const SaleItem& item,
                                const QString& status, int entryCode) {
    TableDataset& lines = m_dm.TabDesc_Compras;
    lines.append();
    m_dm.TabDesc_ComprasCLIENTE.setValue(customer);
    m_dm.TabDesc_ComprasDATA.setValue(today);
    m_dm.TabDesc_ComprasDESCRICAO.setValue(item.description);
    m_dm.TabDesc_ComprasQUANTIDADE.setAsString(item.quantityText);
    m_dm.TabDesc_ComprasSTATUS.setValue(status);
    m_dm.TabDesc_ComprasVALOR_UN.setValue(QVariant::fromValue(item.unitValue));
    m_dm.TabDesc_ComprasVALOR.setValue(QVariant::fromValue(item.unitValue * item.quantity));
    m_dm.TabDesc_ComprasCOD_VENDA.setValue(entryCode);
    lines.postUnderNextCode();
}

void Ledger::creditSale(const QVariant& customer, const SaleItem& item, const QDate& due) {
    m_dm.TabDesc_Compras.open();
    m_dm.TabDividas.open();
    // Whatever happens below, the ledger then shows the customer's open entries again.
    const QDate today = Clock::today();
    LedgerUnfiltered forWriting(m_dm, creditAccountCondition());
    runNumberingUnit(m_dm.FDConnection1, Isolation::ReadCommitted, [&] {
        const int code = appendEntry(customer, today, item, (item.unitValue * item.quantity).roundedToCents(),
                                     due, OnCredit, CreditAccount);
        appendPurchaseLine(customer, today, item, OnCredit, code);
    });
}

void Ledger::creditSaleInInstalments(const QVariant& customer, const SaleItem& item, int n,
                                     const QString& typedCount) {
    m_dm.TabDesc_Compras.open();
    m_dm.TabDividas.open();
    // Each instalment but the last is the even share brought to the cent; the last carries what is left, so
    // that they add up to the sale.
    const Currency total = (item.unitValue * item.quantity).roundedToCents();
    const Currency share = total.shareToCents(n);
    const Currency last = total - share * (n - 1);
    const QDate today = Clock::today();
    LedgerUnfiltered forWriting(m_dm, creditAccountCondition());
    runNumberingUnit(m_dm.FDConnection1, Isolation::ReadCommitted, [&] {
        int lastCode = 0;
        for (int i = 1; i <= n; ++i)
            lastCode = appendEntry(customer, today, item, i == n ? last : share, today.addMonths(i),
                                   instalmentLabel(i, typedCount), InstalmentAccount);
        appendPurchaseLine(customer, today, item, instalmentLabel(n, typedCount), lastCode);
    });
}

void Ledger::cashSaleItem(const QVariant& customer, const SaleItem& item) {
    m_dm.TabDesc_Compras.open();
    m_dm.TabDividas.open();
    const QDate today = Clock::today();
    LedgerUnfiltered forWriting(m_dm, cashAccountCondition());
    int code = 0;
    runNumberingUnit(m_dm.FDConnection1, Isolation::ReadCommitted, [&] {
        code =
            appendEntry(customer, today, item, item.unitValue * item.quantity, today, CashSale, CashAccount);
        appendPurchaseLine(customer, today, item, CashSale, code);
    });
    // Before the ledger is shown again: the item is this cash sale's to list and to pay.
    m_dm.cashItemRungUp(customer, code);
}

Currency Ledger::stillOpen(const QVariant& customer) {
    return m_dm.FDConnection1
        .selectValue(QStringLiteral("select sum(VALOR) from TABDIVIDAS where CLIENTE = ? and STATUS_PAG = ?"),
                     {customer, Open})
        .value<Currency>();
}

Settlement Ledger::settleAll(const QVariant& customer, const QString& formOfPayment, bool cashSale,
                             Currency shown) {
    return refusedWhenChanged([&] {
        Settlement done;
        done.paidAt = Clock::now();
        done.formOfPayment = formOfPayment;
        // The entries are read in the unit that pays them, so the receipt lists what was paid, and the unit's
        // one snapshot makes the update pay exactly the entries read.
        Transaction unit(m_dm.FDConnection1);
        const QString which = cashSale ? QStringLiteral("PARCELA = ?") : QStringLiteral("CONTA <> ?");
        for (const Row& r : m_dm.FDConnection1.select(
                 QStringLiteral("select DESCRICAO, PARCELA, DATA_VENC, VALOR from TABDIVIDAS "
                                "where CLIENTE = ? and STATUS_PAG = ? and ") +
                     which + QStringLiteral(" order by CODIGO"),
                 {customer, Open, cashSale ? CashSale : CashAccount})) {
            done.entries.append({r[0].toString(), r[1].toString(), r[2].toDate(), r[3].value<Currency>()});
            done.paid += done.entries.last().value;
        }
        if (done.entries.isEmpty() || done.paid != shown)
            throw AccountChanged();
        Query update(m_dm.FDConnection1);
        if (cashSale)
            update.setSql(
                QStringLiteral("Update tabdividas set Status_Pag = 'PG', Data_Pag = :DPAG, Form_Pag = :TP "
                               "where Cliente = :C AND Status_Pag ='NP' AND Parcela = 'À Vista'"));
        else
            update.setSql(
                QStringLiteral("Update tabdividas set Status_Pag = 'PG', Data_Pag = :DPAG, Form_Pag = :TP "
                               "where Cliente = :C AND Status_Pag ='NP' AND Conta <> 'V'"));
        update.setParam(QStringLiteral("C"), customer);
        update.setParam(QStringLiteral("DPAG"), done.paidAt);
        update.setParam(QStringLiteral("TP"), formOfPayment);
        update.execSql();
        done.stillOpen = stillOpen(customer);
        unit.commit();
        return done;
    });
}

Settlement Ledger::settlePart(const QVariant& customer, Currency shown, Currency paid,
                              const QString& formOfPayment) {
    // The whole payment again when another till took the balance's code meanwhile.
    return retryingOnKeyConflict([&] { return settlePartOnce(customer, shown, paid, formOfPayment); });
}

Settlement Ledger::settlePartOnce(const QVariant& customer, Currency shown, Currency paid,
                                  const QString& formOfPayment) {
    TableDataset& ledger = m_dm.TabDividas;
    ledger.open();
    Settlement done;
    done.paidAt = Clock::now();
    done.formOfPayment = formOfPayment;
    done.partial = paid;
    done.paid = paid;
    const QDate today = done.paidAt.date();
    return refusedWhenChanged([&] {
        // The open entries give way to the balance and the payment only all together: a failure part way
        // would otherwise lose the customer's debts. Read committed, so that the codes of the two rows are
        // read as other tills left them; the entries it replaces are held against them meanwhile.
        Transaction unit(m_dm.FDConnection1, Isolation::ReadCommitted);
        // The balance is what the screen showed less the payment: the entries it replaces must still be
        // those, and none may have joined them by the time they are deleted.
        const QVector<Row> replaced = m_dm.FDConnection1.select(
            QStringLiteral("select CODIGO, VALOR from TABDIVIDAS where CLIENTE = ? and STATUS_PAG = ? and "
                           "CONTA <> ? with lock"),
            {customer, Open, CashAccount});
        Currency open;
        for (const Row& r : replaced)
            open += r[1].value<Currency>();
        if (replaced.isEmpty() || open != shown)
            throw AccountChanged();
        Query remove(m_dm.FDConnection1);
        remove.setSql(QStringLiteral(
            "Delete from tabdividas where Cliente = :C AND Status_Pag ='NP' AND Conta <> 'V'"));
        remove.setParam(QStringLiteral("C"), customer);
        if (remove.execSql() != replaced.size())
            throw AccountChanged();

        ledger.append();
        m_dm.TabDividasCLIENTE.setValue(customer);
        m_dm.TabDividasDATA.setValue(today);
        m_dm.TabDividasDESCRICAO.setValue(formOfPayment == Pix ? QStringLiteral("Saldo Anterior")
                                                               : QStringLiteral("Saldo PARCIAL"));
        m_dm.TabDividasSTATUS_PAG.setValue(Open);
        m_dm.TabDividasVALOR.setValue(QVariant::fromValue(shown - paid));
        m_dm.TabDividasDATA_VENC.setValue(today.addMonths(1));
        m_dm.TabDividasPARCELA.setValue(OnCredit);
        m_dm.TabDividasCONTA.setValue(CreditAccount);
        ledger.postUnderNextCode();

        ledger.append();
        m_dm.TabDividasCLIENTE.setValue(customer);
        m_dm.TabDividasDATA.setValue(today);
        m_dm.TabDividasDESCRICAO.setValue(QStringLiteral("Pagamento Saldo PARCIAL"));
        m_dm.TabDividasSTATUS_PAG.setValue(Paid);
        m_dm.TabDividasVALOR.setValue(QVariant::fromValue(paid));
        m_dm.TabDividasDATA_VENC.setValue(today.addMonths(1));
        m_dm.TabDividasPARCELA.setValue(OnCredit);
        m_dm.TabDividasCONTA.setValue(CreditAccount);
        m_dm.TabDividasDATA_PAG.setValue(done.paidAt);
        m_dm.TabDividasFORM_PAG.setValue(formOfPayment);
        ledger.postUnderNextCode();
        done.stillOpen = stillOpen(customer);
        unit.commit();
        return done;
    });
}

Settlement Ledger::settleSelected(const QVector<ShownEntry>& entries, const QString& formOfPayment) {
    return refusedWhenChanged([&] {
        Settlement done;
        done.paidAt = Clock::now();
        done.formOfPayment = formOfPayment;
        QVariant customer;
        Transaction unit(m_dm.FDConnection1);
        for (const ShownEntry& shown : entries) {
            const QVariantList still = {shown.code, Open, QVariant::fromValue(shown.value)};
            const QVector<Row> rows = m_dm.FDConnection1.select(
                QStringLiteral("select CLIENTE, DESCRICAO, PARCELA, DATA_VENC, VALOR from TABDIVIDAS "
                               "where CODIGO = ? and STATUS_PAG = ? and VALOR = ?"),
                still);
            if (rows.isEmpty())
                throw AccountChanged();
            const Row& r = rows.front();
            customer = r[0];
            done.entries.append({r[1].toString(), r[2].toString(), r[3].toDate(), r[4].value<Currency>()});
            done.paid += done.entries.last().value;
            if (m_dm.FDConnection1.execute(
                    QStringLiteral("update TABDIVIDAS set STATUS_PAG = ?, DATA_PAG = ?, FORM_PAG = ? "
                                   "where CODIGO = ? and STATUS_PAG = ? and VALOR = ?"),
                    QVariantList{Paid, done.paidAt, formOfPayment} + still) != 1)
                throw AccountChanged();
        }
        if (customer.isValid())
            done.stillOpen = stillOpen(customer);
        unit.commit();
        return done;
    });
}

QVariant Ledger::purchaseLineOf(const QVariant& entry) {
    // A partial payment deletes the entries it settles but keeps their purchase lines, and their codes are
    // given again: a line is the entry's own only if it was written with it, for the same customer, on the
    // sale's day and under the entry's label; of those, the newest. Balance rows (no quantity) have no line.
    return m_dm.FDConnection1.selectValue(
        QStringLiteral("select first 1 l.CODIGO from TABDESC_COMPRAS l join TABDIVIDAS d on "
                       "d.CODIGO = l.COD_VENDA and d.CLIENTE = l.CLIENTE and d.DATA = l.DATA and "
                       "d.PARCELA = l.STATUS where d.CODIGO = ? and d.QUANTIDADE is not null "
                       "order by l.CODIGO desc"),
        {entry});
}

void Ledger::deleteCurrentEntry() {
    const QVariant entry = m_dm.TabDividasCODIGO.value();
    // The entry and its purchase line go together or not at all.
    Transaction unit(m_dm.FDConnection1);
    TableDataset& lines = m_dm.TabDesc_Compras;
    lines.open();
    lines.setFiltered(false);
    const QVariant line = purchaseLineOf(entry);
    if (!line.isNull() && lines.locate(QStringLiteral("CODIGO"), line))
        lines.remove();
    m_dm.TabDividas.remove();
    unit.commit();
}

bool Ledger::deleteEntry(const QVariant& code) {
    TableDataset& lines = m_dm.TabDesc_Compras;
    TableDataset& entries = m_dm.TabDividas;
    lines.open();
    entries.open();
    const bool linesFiltered = lines.filtered();
    const bool entriesFiltered = entries.filtered();
    const ControlsDisabled quietLines(lines);
    const ControlsDisabled quietEntries(entries);
    bool found = false;
    {
        const auto restore = qScopeGuard([&] {
            UnthrownErrors::guard([&] {
                lines.setFiltered(linesFiltered);
                entries.setFiltered(entriesFiltered);
            });
        });
        lines.setFiltered(false);
        entries.setFiltered(false);
        // The entry and its purchase line go together or not at all.
        Transaction unit(m_dm.FDConnection1);
        const QVariant line = purchaseLineOf(code);
        if (!line.isNull() && lines.locate(QStringLiteral("CODIGO"), line))
            lines.remove();
        found = entries.locate(QStringLiteral("CODIGO"), code);
        if (found)
            entries.remove();
        unit.commit();
    }
    return found;
}

void Ledger::saveCorrection() {
    if (!m_dm.TabDividasVALOR_UN.isNull() && !m_dm.TabDividasQUANTIDADE.isNull())
        m_dm.TabDividasVALOR.setValue(QVariant::fromValue(m_dm.TabDividasVALOR_UN.asCurrency() *
                                                          m_dm.TabDividasQUANTIDADE.asInteger()));
    m_dm.TabDividas.post();
}

void Ledger::correctCashSaleItem(const SaleItem& item) {
    m_dm.TabDividasDESCRICAO.setValue(item.description);
    m_dm.TabDividasQUANTIDADE.setValue(item.quantity);
    m_dm.TabDividasVALOR_UN.setValue(QVariant::fromValue(item.unitValue));
    m_dm.TabDividasVALOR.setValue(QVariant::fromValue(item.unitValue * item.quantity));
    m_dm.TabDividas.post();
}
