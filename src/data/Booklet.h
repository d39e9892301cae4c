#pragma once

#include "platform/core/Currency.h"

#include <QDate>
#include <QString>
#include <QVariant>
#include <QVector>

class Connection;

// An open credit entry as the customer's payment slip shows it.
struct OpenInstalment {
    int code = 0;
    QString description;
    QString label; // PARCELA as stored
    QDate due;
    Currency value;
};

// The booklet of payment slips (carnê) a customer takes home for what is still open on credit.
namespace Booklet {

// The customer's open credit entries (cash-sale items left out, as on the ledger), earliest due first. Only
// what is owed gets a slip: a balance of zero, or below zero (a credit), is not a debt.
QVector<OpenInstalment> openInstalments(Connection& connection, const QVariant& customer);

// The parcel a slip names: "Parc. i de n" read from an instalment's label (n as a number, so a count typed
// "03" prints 3); an entry of no plan (a sale with one due date, a balance left by a part payment) is the
// whole debt in one parcel, "Parcela única".
QString parcelText(const QString& label);

} // namespace Booklet
