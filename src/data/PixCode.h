#pragma once

#include "platform/core/Currency.h"

#include <QByteArray>
#include <QString>
#include <optional>

struct ShopDetails;

// The static BR Code a PIX payment is made from: the EMV merchant-presented payload that the QR symbol and
// the "copy and paste" text carry. Pure functions, no widgets.
namespace PixCode {

// Field limits of the format.
constexpr int NameLimit = 25;
constexpr int CityLimit = 15;

// Written in place of an empty name or city: both fields are mandatory, and the payer's bank shows the name
// registered for the key, not this one.
inline const QString NoName = QStringLiteral("LOJA");
inline const QString NoCity = QStringLiteral("BRASIL");

struct Payment {
    QString key; // as the payment carries it ("+5511912345678", digits, e-mail, random key)
    std::optional<Currency> amount; // none: the payer types the amount
    QString name;
    QString city;
    QString txid = QStringLiteral("***"); // "***": no identifier
};

// CRC16-CCITT-FALSE (polynomial 0x1021, initial value 0xFFFF, no reflection, no final xor).
quint16 crc16(const QByteArray& data);
// An id, the value's length in two digits and the value. Throws BrolaviError for a value longer
// than 99.
QString field(const QString& id, const QString& value);
// The text in plain ASCII letters (accents dropped, other characters left out), blanks collapsed, cut to
// limit and trimmed.
QString plainText(const QString& text, int limit);
// "10.50": a point and two decimals, rounded to the cent.
QString amountText(Currency amount);

// The whole payload, ending with the CRC of everything before it (with "6304") in four upper-case hex digits.
// Throws BrolaviError when there is no key, the amount is not above zero, a field is too long or holds a
// character beyond ASCII.
QString payload(const Payment& payment);
// The payment of an amount to the shop: its key, name and city.
QString payload(const ShopDetails& shop, Currency amount);

} // namespace PixCode
