#include "data/Shop.h"

#include "data/Documents.h"
#include "platform/core/Connection.h"
#include "platform/core/Query.h"

#include "platform/core/Errors.h"
#include <QList>
#include <QRegularExpression>

namespace {

const QString Table = QStringLiteral("TABLOJA");

// The number's digits without the country code: an area code (11 to 99) and the number.
QString nationalNumber(const QString& typed) {
    QString d = Documents::digits(typed);
    if ((d.size() == 12 || d.size() == 13) && d.startsWith(QStringLiteral("55")))
        d = d.mid(2);
    if ((d.size() != 10 && d.size() != 11) || d[0] == u'0' || d[1] == u'0')
        return {};
    return d;
}

// PIX takes only mobile numbers for a phone key: an area code and 9 digits starting with 9.
QString phoneKey(const QString& typed) {
    const QString d = nationalNumber(typed);
    if (d.size() != 11 || d[2] != u'9')
        return {};
    return QStringLiteral("+55") + d;
}

bool isLandline(const QString& typed) {
    return nationalNumber(typed).size() == 10;
}

// The first character of the text that is not a printable ASCII one; empty when there is none.
QString firstBeyondAscii(const QString& text) {
    for (const char32_t c : text.toUcs4())
        if (c < 0x20 || c > 0x7E)
            return QString::fromUcs4(&c, 1);
    return {};
}

// The payment carries the key's bytes under a length that must count its characters too: ASCII only.
QString emailKey(const QString& typed) {
    static const QRegularExpression shape(QStringLiteral("^[^@\\s]+@[^@\\s.]+(\\.[^@\\s.]+)+$"));
    const QString key = typed.trimmed().toLower();
    return key.size() <= Shop::PixKeyLength && firstBeyondAscii(key).isEmpty() && shape.match(key).hasMatch()
               ? key
               : QString();
}

QString randomKey(const QString& typed) {
    static const QRegularExpression shape(
        QStringLiteral("^[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}$"));
    const QString key = typed.trimmed().toLower();
    return shape.match(key).hasMatch() ? key : QString();
}

} // namespace

QString Shop::kindCode(PixKeyKind kind) {
    switch (kind) {
    case PixKeyKind::Document:
        return QStringLiteral("CPF/CNPJ");
    case PixKeyKind::Phone:
        return QStringLiteral("TELEFONE");
    case PixKeyKind::Email:
        return QStringLiteral("EMAIL");
    case PixKeyKind::Random:
        return QStringLiteral("ALEATORIA");
    case PixKeyKind::None:
        break;
    }
    return {};
}

PixKeyKind Shop::kindFromCode(const QString& code) {
    for (PixKeyKind kind : {PixKeyKind::Document, PixKeyKind::Phone, PixKeyKind::Email, PixKeyKind::Random})
        if (code.trimmed() == kindCode(kind))
            return kind;
    return PixKeyKind::None;
}

QString Shop::pixKey(PixKeyKind kind, const QString& typed) {
    switch (kind) {
    case PixKeyKind::Document: {
        const QString d = Documents::digits(typed);
        return Documents::validCpf(d) || Documents::validCnpj(d) ? d : QString();
    }
    case PixKeyKind::Phone:
        return phoneKey(typed);
    case PixKeyKind::Email:
        return emailKey(typed);
    case PixKeyKind::Random:
        return randomKey(typed);
    case PixKeyKind::None:
        break;
    }
    return {};
}

ShopProblem Shop::problem(const ShopDetails& details) {
    using Field = ShopProblem::Field;
    if (details.name.trimmed().isEmpty())
        return {QStringLiteral("FAVOR DIGITE O NOME DA LOJA"), Field::Name};
    const struct {
        const QString& text;
        int length;
        const char* caption;
        Field field;
    } fields[] = {{details.name, NameLength, "NOME", Field::Name},
                  {details.address, AddressLength, "ENDEREÇO", Field::Address},
                  {details.telephone, TelephoneLength, "TELEFONE", Field::Telephone},
                  {details.city, CityLength, "CIDADE", Field::City}};
    for (const auto& f : fields)
        if (f.text.trimmed().size() > f.length)
            return {QStringLiteral("O CAMPO %1 ACEITA NO MÁXIMO %2 CARACTERES")
                        .arg(QString::fromUtf8(f.caption))
                        .arg(f.length),
                    f.field};
    if (!details.document.trimmed().isEmpty() && Documents::formatted(details.document).isEmpty())
        return {QStringLiteral("CPF OU CNPJ INVÁLIDO"), Field::Document};
    if (details.pixKind == PixKeyKind::None) {
        if (details.pixKey.trimmed().isEmpty())
            return {};
        return {QStringLiteral("ESCOLHA O TIPO DA CHAVE PIX"), Field::PixKind};
    }
    if (details.pixKind == PixKeyKind::Email)
        if (const QString beyond = firstBeyondAscii(details.pixKey.trimmed()); !beyond.isEmpty())
            return {QStringLiteral("O CAMPO CHAVE PIX NÃO ACEITA \"%1\": SÓ LETRAS SEM ACENTO, NÚMEROS E "
                                   "SINAIS SIMPLES")
                        .arg(beyond),
                    Field::PixKey};
    if (details.pixKind == PixKeyKind::Phone && isLandline(details.pixKey))
        return {QStringLiteral("TELEFONE FIXO NÃO É CHAVE PIX: DIGITE O CELULAR COM DDD"), Field::PixKey};
    if (pixKey(details.pixKind, details.pixKey).isEmpty())
        return {QStringLiteral("CHAVE PIX INVÁLIDA PARA O TIPO ESCOLHIDO"), Field::PixKey};
    return {};
}

ShopDetails Shop::normalized(const ShopDetails& details) {
    ShopDetails out = details;
    out.name = details.name.trimmed();
    out.address = details.address.trimmed();
    out.telephone = details.telephone.trimmed();
    out.city = details.city.trimmed();
    out.document = details.document.trimmed().isEmpty() ? QString() : Documents::formatted(details.document);
    out.pixKey = pixKey(details.pixKind, details.pixKey);
    return out;
}

void Shop::ensureTable() {
    m_connection.ensureOpen();
    if (m_connection
            .selectValue(QStringLiteral("select count(*) from RDB$RELATIONS where RDB$RELATION_NAME = ?"),
                         {Table})
            .toInt() > 0)
        return;
    m_connection.execute(QStringLiteral("create table TABLOJA (CODIGO integer not null primary key, "
                                        "NOME varchar(%1), DOCUMENTO varchar(%2), ENDERECO varchar(%3), "
                                        "TELEFONE varchar(%4), CIDADE varchar(%5), PIX_TIPO varchar(10), "
                                        "PIX_CHAVE varchar(%6))")
                             .arg(NameLength)
                             .arg(DocumentLength)
                             .arg(AddressLength)
                             .arg(TelephoneLength)
                             .arg(CityLength)
                             .arg(PixKeyLength));
}

ShopDetails Shop::details() {
    ensureTable();
    Query row(m_connection);
    row.setSql(QStringLiteral("select * from TABLOJA where CODIGO = 1"));
    row.open();
    ShopDetails details;
    if (!row.isEmpty()) {
        auto text = [&row](const char* column) {
            return row.value(QLatin1String(column)).toString();
        };
        details = {text("NOME"),     text("DOCUMENTO"), text("ENDERECO"),
                   text("TELEFONE"), text("CIDADE"),    kindFromCode(text("PIX_TIPO")),
                   text("PIX_CHAVE")};
    }
    row.close();
    return details;
}

void Shop::save(const ShopDetails& details) {
    const ShopProblem wrong = problem(details);
    if (!wrong.text.isEmpty())
        throw BrolaviError(wrong.text);
    const ShopDetails row = normalized(details);
    ensureTable();
    m_connection.execute(
        QStringLiteral("update or insert into TABLOJA (CODIGO, NOME, DOCUMENTO, ENDERECO, TELEFONE, "
                       "CIDADE, PIX_TIPO, PIX_CHAVE) values (1, ?, ?, ?, ?, ?, ?, ?) matching (CODIGO)"),
        {row.name, row.document, row.address, row.telephone, row.city, kindCode(row.pixKind), row.pixKey});
}
