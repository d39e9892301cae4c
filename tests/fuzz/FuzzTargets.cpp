#include "FuzzTargets.h"

#include "ScratchDatabase.h"
#include "customers/uCadCli.h"
#include "data/Documents.h"
#include "data/OverdueReminder.h"
#include "data/PixCode.h"
#include "data/Shop.h"
#include "platform/core/Currency.h"
#include "platform/core/Errors.h"
#include "platform/core/FilterExpression.h"
#include "platform/core/FirebirdServices.h"
#include "platform/core/Formats.h"
#include "platform/widgets/InputRules.h"
#include "platform/widgets/ScreenParts.h"

#include <QLineEdit>
#include <QMap>
#include <QRegularExpression>
#include <memory>

namespace {

void require(bool holds, const QString& what) {
    if (!holds)
        throw FuzzFailure{what};
}

QString text(const QByteArray& input) {
    return QString::fromUtf8(input);
}

void money(const QByteArray& input) {
    const QString typed = text(input);
    try {
        const Currency c = Currency::parse(typed);
        // What a field shows for editing and what goes to the database read back to the same amount.
        require(Currency::parse(c.toPlainText()).roundedToCents() == c.roundedToCents(),
                "plain text round trip");
        require(Currency::fromDbText(c.toDbText()) == c.roundedToCents(), "database text round trip");
        require(Currency::parseDisplayed(c.format()) == c.roundedToCents(), "displayed text round trip");
    } catch (const ConversionError&) {
    }
    for (auto parse : {&Currency::parseDisplayed, &Currency::fromDbText}) {
        try {
            parse(typed);
        } catch (const ConversionError&) {
        }
    }
}

void number(const QByteArray& input) {
    const QString typed = text(input);
    try {
        const int n = ScreenParts::wholeNumber(typed);
        require(ScreenParts::wholeNumber(QString::number(n)) == n, "whole number round trip");
    } catch (const ConversionError&) {
    }
}

void columnValue(const QByteArray& input) {
    const QString typed = text(input);
    for (ColumnType type : {ColumnType::Integer, ColumnType::Numeric, ColumnType::Date, ColumnType::Timestamp,
                            ColumnType::Text}) {
        try {
            const QVariant v = convertToColumn(type, typed);
            if (v.isNull())
                continue;
            // What a field shows converts back to the same value (money to the cent the column keeps).
            const QVariant back = convertToColumn(type, Formats::plainText(v));
            const bool same = type == ColumnType::Numeric
                                  ? back.value<Currency>() == v.value<Currency>().roundedToCents()
                                  : back == v;
            require(same, QStringLiteral("column value round trip (%1)").arg(int(type)));
        } catch (const ConversionError&) {
        }
    }
}

void cpf(const QByteArray& input) {
    const QString typed = text(input);
    const QString digits = ClrDig(typed);
    static const QRegularExpression onlyDigits(QStringLiteral("^[0-9]*$"));
    require(onlyDigits.match(digits).hasMatch(), "ClrDig leaves digits only");
    if (IsValidCPF(typed))
        require(typed.size() == 11 && digits == typed, "a valid CPF is eleven digits");
    IsValidCPF(digits);
}

// Whatever is typed, a document or PIX key in the form the shop stores it reads back as itself, and details
// without a problem fit their columns once stored.
void shop(const QByteArray& input) {
    const QString typed = text(input);
    const QString document = Documents::formatted(typed);
    if (!document.isEmpty())
        require(Documents::formatted(document) == document, "a stored document reads back as itself");
    for (PixKeyKind kind : {PixKeyKind::Document, PixKeyKind::Phone, PixKeyKind::Email, PixKeyKind::Random}) {
        const QString key = Shop::pixKey(kind, typed);
        if (!key.isEmpty()) {
            require(key.size() <= Shop::PixKeyLength && Shop::pixKey(kind, key) == key,
                    QStringLiteral("a stored PIX key reads back as itself (%1)").arg(Shop::kindCode(kind)));
            require(key.toUtf8().size() == key.size(),
                    QStringLiteral("a stored PIX key is ASCII (%1)").arg(Shop::kindCode(kind)));
        }
    }
    const ShopDetails details{typed, QString(), typed, typed, typed, PixKeyKind::None, QString()};
    if (Shop::problem(details).text.isEmpty()) {
        const ShopDetails stored = Shop::normalized(details);
        require(stored.name.size() <= Shop::NameLength && stored.document.size() <= Shop::DocumentLength &&
                    stored.telephone.size() <= Shop::TelephoneLength &&
                    stored.city.size() <= Shop::CityLength,
                "details without a problem fit their columns");
    }
}

// A PIX code made of any key, name, city and amount is refused with the program's own error, or is ASCII and
// reads back field by field: the fields in order with their lengths, the amount, the name and city in plain
// ASCII within their limits, and the CRC of everything before it.
void pix(const QByteArray& input) {
    const QList<QByteArray> parts = input.split('\n');
    const auto part = [&parts](int i) {
        return i < parts.size() ? text(parts[i]) : QString();
    };
    PixCode::Payment payment{part(0), std::nullopt, part(1), part(2)};
    if (parts.size() > 3) {
        qint64 cents = 0;
        for (const char c : parts[3].left(6)) // up to billions, past the amount field's limit
            cents = cents * 256 + quint8(c);
        payment.amount = Currency::fromCents(parts[3].startsWith('-') ? -cents : cents);
    }
    QString code;
    try {
        code = PixCode::payload(payment);
    } catch (const BrolaviError&) {
        return;
    }
    const QByteArray bytes = code.toUtf8();
    require(bytes.size() == code.size(), "every length counts the characters as well as the bytes");
    QStringList ids;
    QMap<QString, QByteArray> values;
    qsizetype at = 0;
    while (at < bytes.size()) {
        require(at + 4 <= bytes.size(), "a field's id and length fit");
        bool ok = false;
        const int length = bytes.mid(at + 2, 2).toInt(&ok);
        require(ok && at + 4 + length <= bytes.size(), "a field's value fits its length");
        const QString id = QString::fromLatin1(bytes.mid(at, 2));
        ids << id;
        values[id] = bytes.mid(at + 4, length);
        at += 4 + length;
    }
    const QStringList expected = payment.amount
                                     ? QStringList{"00", "26", "52", "53", "54", "58", "59", "60", "62", "63"}
                                     : QStringList{"00", "26", "52", "53", "58", "59", "60", "62", "63"};
    require(ids == expected, QStringLiteral("the fields in order: ") + ids.join(u' '));
    require(values["26"].endsWith(payment.key.toUtf8()), "the key as given");
    if (payment.amount)
        require(Currency::parse(QString::fromLatin1(values["54"]).replace(u'.', u',')) == *payment.amount,
                "the amount reads back");
    static const QRegularExpression plain(QStringLiteral("^[ -~]+$"));
    for (const auto& [id, limit] : {std::pair{"59", PixCode::NameLimit}, std::pair{"60", PixCode::CityLimit}})
        require(values[id].size() <= limit && plain.match(QString::fromLatin1(values[id])).hasMatch(),
                QStringLiteral("field %1 in plain ASCII within its limit").arg(QString::fromLatin1(id)));
    require(QString::fromLatin1(values["63"]) ==
                QStringLiteral("%1")
                    .arg(PixCode::crc16(bytes.left(bytes.size() - 4)), 4, 16, QLatin1Char('0'))
                    .toUpper(),
            "the CRC of everything before it");
}

// Any telephone gives a WhatsApp number of Brazil (55, an area code, a landline or a mobile) or a reason for
// none, and a number given back reads as itself.
void phone(const QByteArray& input) {
    const OverdueReminder::WhatsAppNumber n = OverdueReminder::whatsAppNumber(text(input));
    static const QRegularExpression brazil(QStringLiteral("^55[1-9][1-9](9[0-9]{8}|[2-5][0-9]{7})$"));
    if (n.problem != OverdueReminder::PhoneProblem::None) {
        require(n.digits.isEmpty(), "no number with a problem");
        return;
    }
    require(brazil.match(n.digits).hasMatch(), QStringLiteral("a number of Brazil: ") + n.digits);
    require(OverdueReminder::whatsAppNumber(n.digits).digits == n.digits, "a number reads back as itself");
}

// Types the text into a field with the rule, as the user would (keys one by one, then a paste).
void typedInto(QLineEdit& field, const QString& typed) {
    field.clear();
    for (const QChar ch : typed)
        field.insert(QString(ch));
    field.selectAll();
    field.insert(typed);
}

void password(const QByteArray& input) {
    static QLineEdit* field = [] {
        auto* f = new QLineEdit;
        InputRules::password(f);
        return f;
    }();
    typedInto(*field, text(input));
    static const QRegularExpression sixDigits(QStringLiteral("^[0-9]{0,6}$"));
    require(sixDigits.match(field->text()).hasMatch(), "a password field holds up to six digits");
}

void login(const QByteArray& input) {
    static QLineEdit* field = [] {
        auto* f = new QLineEdit;
        InputRules::upperCase(f);
        return f;
    }();
    typedInto(*field, text(input));
    require(field->text() == field->text().toUpper(), "a login field is upper case");
}

void moneyField(const QByteArray& input) {
    static QLineEdit* field = [] {
        auto* f = new QLineEdit;
        InputRules::money(f);
        return f;
    }();
    typedInto(*field, text(input));
    static const QRegularExpression allowed(QStringLiteral("^[0-9,]*$"));
    require(allowed.match(field->text()).hasMatch(), "a money field holds digits and commas");
}

void mask(const QByteArray& input) {
    // The first line is the mask, the rest is what is typed into a field with it.
    const QString all = text(input);
    const qsizetype cut = all.indexOf(u'\n');
    const QString maskText = cut < 0 ? all : all.left(cut);
    const QString typed = cut < 0 ? QString() : all.mid(cut + 1);
    InputRules::qtInputMask(maskText);
    static QLineEdit* field = new QLineEdit;
    InputRules::editMask(field, maskText);
    typedInto(*field, typed);
    field->text();
}

void serviceReply(const QByteArray& input) {
    try {
        const FirebirdServices::Reply reply =
            FirebirdServices::parseReply(input.constData(), int(input.size()));
        if (reply.kind == FirebirdServices::Reply::Kind::Line)
            require(reply.line.size() <= input.size() - 3,
                    "a line within the reply"); // a byte is one character at most
    } catch (const DatabaseError&) {
    }
}

// A few ledger rows whose values sit at the edges the filter language meets: blanks, apostrophes, %, _,
// NULLs, numbers as text.
struct FilterTable {
    FilterTable()
        : db({QStringLiteral("TABDIVIDAS")}) {
        db.connect(connection);
        const QList<QVariantList> rows = {
            {1, 12, QStringLiteral("NP"), QStringLiteral("N"), QStringLiteral("CAMISA")},
            {2, 1, QStringLiteral("PG"), QStringLiteral("V"), QStringLiteral("O'BRIEN")},
            {3, 120, QStringLiteral("NP"), QStringLiteral("P"), QStringLiteral("50% OFF")},
            {4, 12, QStringLiteral("NP "), QStringLiteral("N"), QStringLiteral("A_B")},
            {5, -3, QVariant(), QVariant(), QStringLiteral("")},
            {6, 7, QStringLiteral("np"), QStringLiteral("V"), QStringLiteral("ÇÃO ")},
        };
        for (const QVariantList& r : rows)
            connection.execute(QStringLiteral("insert into TABDIVIDAS (CODIGO, CLIENTE, STATUS_PAG, CONTA, "
                                              "DESCRICAO) values (?, ?, ?, ?, ?)"),
                               r);
        schema = connection.schema(QStringLiteral("TABDIVIDAS"));
        all = connection.select(QStringLiteral("select * from TABDIVIDAS order by CODIGO"));
    }
    ScratchDatabase db;
    Connection connection;
    TableSchema schema;
    QVector<Row> all;
};

void filter(const QByteArray& input) {
    static const std::unique_ptr<FilterTable> table = std::make_unique<FilterTable>();
    FilterExpression f;
    try {
        f = FilterExpression::parse(text(input));
        f.bind(table->schema);
    } catch (const FilterError&) {
        return;
    }
    QList<int> inMemory;
    for (const Row& row : table->all)
        if (f.matches(row))
            inMemory << row.value(0).toInt();
    QVariantList params;
    const QString condition = f.toSql(params);
    QList<int> inSql;
    for (const Row& row : table->connection.select(QStringLiteral("select CODIGO from TABDIVIDAS where ") +
                                                       condition + QStringLiteral(" order by CODIGO"),
                                                   params))
        inSql << row.value(0).toInt();
    require(inMemory == inSql, QStringLiteral("the same rows in memory and as SQL (%1)").arg(condition));
}

QList<QByteArray> words(std::initializer_list<const char*> list) {
    QList<QByteArray> out;
    for (const char* w : list)
        out << QByteArray(w);
    return out;
}

} // namespace

QList<FuzzTarget> fuzzTargets() {
    return {
        {QStringLiteral("money"), money,
         words(
             {"12,5", "-0,01", "1.234,56", "R$ 1.234,56", "922337203685477,58", "1234.50", " 7 ", ",", "-"})},
        {QStringLiteral("number"), number,
         words({"1", "12", "-20", "2147483647", "2147483648", " 3", "1e3", "0x1"})},
        {QStringLiteral("column_value"), columnValue,
         words(
             {"31/12/2025", "29/02/2024", "01/01/0001 00:00:00", "12,34", "-5", "10/12/2026 23:59:59", ""})},
        {QStringLiteral("cpf"), cpf,
         words({"111.444.777-35", "11144477735", "00000000000", "123", "529.982.247-25"})},
        {QStringLiteral("shop"), shop,
         words({"11.222.333/0001-81", "+55 (11) 91234-5678", "Loja@Exemplo.com.br",
                "123e4567-e89b-12d3-a456-426614174000", "529.982.247-25", "5591234567"})},
        {QStringLiteral("pix"), pix,
         words({"+5511912345678\nMERCEARIA SÃO JOSÉ\nSão Paulo\n\x01\x00", "a@b.com\n\n\n", "x\ny\nz",
                "123e4567-e89b-12d3-a456-426614174000\nLoja\nCampinas\n-\x05"})},
        {QStringLiteral("phone"), phone,
         words({"(11) 98765-4321", "011 3333-4444", "+55 19 8765-4321", "98765-4321", "", "0xx11987654321"})},
        {QStringLiteral("password"), password, words({"907438", "1234567", "12a4", "٣٤٥", "\t"})},
        {QStringLiteral("login"), login, words({"master", "ana maria", "straße", "ǆ", "ß"})},
        {QStringLiteral("money_field"), moneyField, words({"12,50", "1.234", "-3", "R$", "١٢"})},
        {QStringLiteral("mask"), mask,
         words({"!\\(99\\)99999-9999;1;_\n11987654321", "00000-000;1;_\n01310100", "\\\\;0;\n", "9;1; \nx"})},
        {QStringLiteral("service_reply"), serviceReply,
         words({"\x3e\x05\x00gbak:", "\x3e\x00\x00", "\x02", "\x3e\xff\xff", ""})},
        {QStringLiteral("filter"), filter,
         words({"Cliente LIKE'12'AND Status_Pag ='NP'AND Conta <>'V'", "DESCRICAO LIKE'%OFF'",
                "Status_Pag ='NP '", "DESCRICAO = 'O''BRIEN'", "Cliente = '-3'", "DESCRICAO LIKE'A_B'",
                "descricao <> ''", "CLIENTE LIKE'1%'"})},
    };
}

const FuzzTarget* findFuzzTarget(const QString& name) {
    static const QList<FuzzTarget> targets = fuzzTargets();
    for (const FuzzTarget& t : targets)
        if (t.name == name)
            return &t;
    return nullptr;
}
