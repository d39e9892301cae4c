#pragma once

#include "platform/core/Currency.h"
#include "platform/core/Errors.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVariant>
#include <QVector>
#include <optional>

class TDM;

// The words the ledger's columns hold, named once.
namespace LedgerWords {
inline const QString Open = QStringLiteral("NP"); // STATUS_PAG
inline const QString Paid = QStringLiteral("PG");
inline const QString CashAccount = QStringLiteral("V"); // CONTA
inline const QString CreditAccount = QStringLiteral("N");
inline const QString InstalmentAccount = QStringLiteral("P");
inline const QString CashSale = QStringLiteral("À Vista"); // PARCELA
inline const QString OnCredit = QStringLiteral("À Prazo");
inline const QString WalkInCustomer = QStringLiteral("CLIENTE AVULSO");
inline const QString Cash = QStringLiteral("Dinheiro"); // FORM_PAG
inline const QString Card = QStringLiteral("Cartão");
inline const QString Pix = QStringLiteral("PIX");

// "Parc. i de n", with n as the shopkeeper typed it.
QString instalmentLabel(int i, const QString& typedCount);

// The account conditions the customer's ledger is filtered with after its customer condition: the credit
// entries ("AND Conta <>'V'") and the cash-sale items ("AND Conta ='V'").
QString creditAccountCondition();
QString cashAccountCondition();
} // namespace LedgerWords

// One item of a sale as typed: the quantity also as typed, since the purchase line keeps its text.
struct SaleItem {
    QString description;
    Currency unitValue;
    int quantity = 1;
    QString quantityText;
};

// What a payment settled, read in the unit that stored it: what its receipt prints.
struct Settlement {
    struct Entry {
        QString description;
        QString instalment; // PARCELA
        QDate due;
        Currency value;
    };
    QDateTime paidAt;
    QString formOfPayment;
    QVector<Entry> entries;          // the entries marked paid; none for a partial payment
    std::optional<Currency> partial; // the amount of a partial payment
    Currency paid;                   // the entries' sum, or the partial amount
    Currency stillOpen; // what the customer owes afterwards: every open entry, credit or cash sale
};

// An entry as the payment screen showed it: paying it goes through only while it is still open with this
// value.
struct ShownEntry {
    QVariant code;
    Currency value;
};

// A payment refused because the customer's account is no longer what the screen showed: another till paid,
// sold or changed something in it meanwhile, or is doing so at this moment. Nothing of the payment is stored.
class AccountChanged : public BrolaviError {
public:
    AccountChanged();
};

// The shop's writes to the ledger and its purchase lines, on the data module's shared datasets (so that the
// screens bound to them follow). Each is one unit of work: all of it is stored, or nothing.
class Ledger {
public:
    explicit Ledger(TDM& dm)
        : m_dm(dm) {}

    // A credit sale with one due date: one entry "À Prazo" and its purchase line.
    void creditSale(const QVariant& customer, const SaleItem& item, const QDate& due);
    // A credit sale in n monthly instalments "Parc. i de n" due i months from today, adding up to the sale to
    // the cent, and one purchase line pointing at the last.
    void creditSaleInInstalments(const QVariant& customer, const SaleItem& item, int n,
                                 const QString& typedCount);
    // One cash-sale item, open until paid, and its purchase line.
    void cashSaleItem(const QVariant& customer, const SaleItem& item);

    // The payments throw AccountChanged, storing nothing, when the customer's open entries are no longer
    // those the screen showed (shown): a payment never settles what the shopkeeper did not see.

    // Marks every open entry of the customer paid: the credit entries, or the cash-sale ones; they must sum
    // to shown.
    Settlement settleAll(const QVariant& customer, const QString& formOfPayment, bool cashSale,
                         Currency shown);
    // Replaces the customer's open credit entries (summing to shown) by an open balance and a paid row of
    // paid.
    Settlement settlePart(const QVariant& customer, Currency shown, Currency paid,
                          const QString& formOfPayment);
    // Marks these entries paid, each still open with the value shown.
    Settlement settleSelected(const QVector<ShownEntry>& entries, const QString& formOfPayment);

    // Deletes the ledger's current entry with its own purchase line.
    void deleteCurrentEntry();
    // Deletes the entry with this code and its own purchase line, found among all rows
    // whatever filter the shared datasets carry, which they keep. False when no entry has that code.
    bool deleteEntry(const QVariant& code);
    // Saves the correction of the current entry: its value is unit value × quantity, or stays as it is when
    // the entry has neither (a balance row).
    void saveCorrection();
    // Saves a cash-sale item's new description, quantity and unit value into the current entry.
    void correctCashSaleItem(const SaleItem& item);

private:
    Settlement settlePartOnce(const QVariant& customer, Currency shown, Currency paid,
                              const QString& formOfPayment);
    int appendEntry(const QVariant& customer, const QDate& today, const SaleItem& item, const Currency& value,
                    const QDate& due, const QString& label, const QString& account);
    Currency stillOpen(const QVariant& customer);
    // The code of the entry's own purchase line, null when it has none.
    QVariant purchaseLineOf(const QVariant& entry);
    void appendPurchaseLine(const QVariant& customer, const QDate& today, const SaleItem& item,
                            const QString& status, int entryCode);

    TDM& m_dm;
};
