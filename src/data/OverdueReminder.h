#pragma once

#include "platform/core/Currency.h"

#include <QDate>
#include <QString>
#include <QVariant>
#include <QVector>

class Connection;
struct ShopDetails;

// An open entry past (or at) its due day, as a reminder lists it.
struct OverdueEntry {
    QString description;
    QString label; // PARCELA as stored
    QDate due;
    Currency value;
};

// The message a shop sends a customer who is late, and the WhatsApp link that opens it ready to send. Only
// texts: nothing here goes to the network.
namespace OverdueReminder {

// The customer's unpaid entries due on today or earlier (what the consultation lists as overdue), earliest
// due first; only amounts owed (a zero or credit balance is no debt to remind of).
QVector<OverdueEntry> overdueEntries(Connection& connection, const QVariant& customer, const QDate& today);

// The message: a greeting by name, each entry with its due date and value, the total, the shop's PIX key
// when it has one, and the shop's name.
QString message(const QString& customerName, const QVector<OverdueEntry>& entries, const ShopDetails& shop);

// Why a telephone gives no link.
enum class PhoneProblem { None, Missing, NoAreaCode, Invalid };

struct WhatsAppNumber {
    QString digits; // "55", the area code and the number; empty with a problem
    PhoneProblem problem = PhoneProblem::None;
};

// The number a wa.me link takes, from a telephone typed in any mask. A leading 0 (with the carrier's two
// digits, as in 0xx11) or the country code 55 already typed is dropped; then an area code (two digits, no
// zero) and a landline of 8 digits starting with 2 to 5 or a mobile of 9 starting with 9. A mobile written
// with the old 8 digits (starting with 6 to 9) gets the 9 every mobile has carried since 2016. Eight or nine
// digits alone lack the area code.
WhatsAppNumber whatsAppNumber(const QString& telephone);

// https://wa.me/<number>?text=<the message percent-encoded as UTF-8>
QString link(const QString& number, const QString& message);

} // namespace OverdueReminder
