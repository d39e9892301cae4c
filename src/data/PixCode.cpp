#include "data/PixCode.h"

#include "data/Shop.h"

#include "platform/core/Errors.h"

#include <QList>

namespace PixCode {

quint16 crc16(const QByteArray& data) {
    quint16 crc = 0xFFFF;
    for (const char c : data) {
        crc ^= quint16(quint8(c)) << 8;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x8000) ? quint16((crc << 1) ^ 0x1021) : quint16(crc << 1);
    }
    return crc;
}

QString field(const QString& id, const QString& value) {
    // Lengths count the bytes the symbol carries (payload() lets no character beyond ASCII in).
    const qsizetype length = value.toUtf8().size();
    if (length > 99)
        throw BrolaviError(QStringLiteral("Campo %1 do código PIX longo demais").arg(id));
    return id + QStringLiteral("%1").arg(length, 2, 10, QLatin1Char('0')) + value;
}

QString plainText(const QString& text, int limit) {
    QString out;
    for (const QChar c : text.normalized(QString::NormalizationForm_KD)) {
        if (c.isSpace())
            out += u' ';
        else if (c.unicode() > 0x20 && c.unicode() < 0x7F)
            out += c;
    }
    return out.simplified().left(limit).trimmed();
}

QString amountText(Currency amount) {
    const std::int64_t cents = amount.cents();
    const QString sign = cents < 0 ? QStringLiteral("-") : QString();
    const std::int64_t whole = cents < 0 ? -cents : cents;
    return sign + QString::number(whole / 100) + u'.' +
           QStringLiteral("%1").arg(whole % 100, 2, 10, QLatin1Char('0'));
}

namespace {

// Every length counts bytes, and a reader counts characters as well: a character beyond ASCII would make
// the two differ and the payload unreadable. The first such character, empty when there is none.
QString beyondAscii(const QString& value) {
    for (const char32_t c : value.toUcs4())
        if (c > 0x7F)
            return QString::fromUcs4(&c, 1);
    return {};
}

} // namespace

QString payload(const Payment& payment) {
    if (payment.key.trimmed().isEmpty())
        throw BrolaviError(QStringLiteral("Código PIX sem chave"));
    if (const QString c = beyondAscii(payment.key); !c.isEmpty())
        throw BrolaviError(QStringLiteral("A chave PIX \"%1\" tem o caractere \"%2\", que um código PIX não "
                                          "aceita: corrija-a em Dados da Loja")
                               .arg(payment.key, c));
    QString text = field(QStringLiteral("00"), QStringLiteral("01")) +
                   field(QStringLiteral("26"), field(QStringLiteral("00"), QStringLiteral("br.gov.bcb.pix")) +
                                                   field(QStringLiteral("01"), payment.key)) +
                   field(QStringLiteral("52"), QStringLiteral("0000")) +
                   field(QStringLiteral("53"), QStringLiteral("986"));
    if (payment.amount) {
        if (payment.amount->cents() <= 0)
            throw BrolaviError(QStringLiteral("Valor do PIX não é maior que zero"));
        const QString amount = amountText(*payment.amount);
        if (amount.size() > 13)
            throw BrolaviError(QStringLiteral("Valor grande demais para um código PIX"));
        text += field(QStringLiteral("54"), amount);
    }
    const QString name = plainText(payment.name, NameLimit);
    const QString city = plainText(payment.city, CityLimit);
    text += field(QStringLiteral("58"), QStringLiteral("BR")) +
            field(QStringLiteral("59"), name.isEmpty() ? NoName : name) +
            field(QStringLiteral("60"), city.isEmpty() ? NoCity : city) +
            field(QStringLiteral("62"), field(QStringLiteral("05"), payment.txid)) + QStringLiteral("6304");
    if (const QString c = beyondAscii(text); !c.isEmpty())
        throw BrolaviError(
            QStringLiteral("O código PIX teria o caractere \"%1\", que ele não aceita").arg(c));
    return text + QStringLiteral("%1").arg(crc16(text.toUtf8()), 4, 16, QLatin1Char('0')).toUpper();
}

QString payload(const ShopDetails& shop, Currency amount) {
    return payload(Payment{shop.pixKey, amount, shop.name, shop.city});
}

} // namespace PixCode
