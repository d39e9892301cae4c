#pragma once

#include <QString>

class Connection;

// The kinds of key a PIX payment can be addressed to.
enum class PixKeyKind { None, Document, Phone, Email, Random };

// What the shop prints on its slips and receipts and sends in its messages. Texts as the shopkeeper typed
// them, except the document and the PIX key, which are stored in their one accepted form.
struct ShopDetails {
    QString name;
    QString document; // CPF or CNPJ, with its mask
    QString address;
    QString telephone;
    QString city;
    PixKeyKind pixKind = PixKeyKind::None;
    QString pixKey;

    bool operator==(const ShopDetails&) const = default;
};

// What is wrong with typed details: the words shown to the shopkeeper and the detail to correct.
struct ShopProblem {
    enum class Field { None, Name, Address, Telephone, City, Document, PixKind, PixKey };
    QString text; // empty when nothing is wrong
    Field field = Field::None;
};

// The shop's details, kept in a table of their own (one row) that is made the first time they are read or
// written, so a database from an older installation opens unchanged until then.
class Shop {
public:
    explicit Shop(Connection& connection)
        : m_connection(connection) {}

    // Column lengths, which the screen's fields take.
    static constexpr int NameLength = 60;
    static constexpr int DocumentLength = 18;
    static constexpr int AddressLength = 100;
    static constexpr int TelephoneLength = 14;
    static constexpr int CityLength = 40;
    static constexpr int PixKeyLength = 77;

    // The details stored, or empty ones when nothing is stored yet.
    ShopDetails details();
    // Stores the details as normalized() gives them. Throws BrolaviError with problem()'s text when
    // they have one, and DatabaseError when the database refuses them.
    void save(const ShopDetails& details);

    // The first thing wrong with typed details.
    static ShopProblem problem(const ShopDetails& details);
    // The details as they are stored: the document masked, the key in the form a PIX payment carries it
    // ("+55" and the number for a phone, lower case for an e-mail and a random key). Only for details without
    // a problem().
    static ShopDetails normalized(const ShopDetails& details);
    // The PIX key typed for a kind in its stored form, or empty when it is not a key of that kind.
    static QString pixKey(PixKeyKind kind, const QString& typed);

    // The kind's code in the table, and back; an unknown code reads as no key.
    static QString kindCode(PixKeyKind kind);
    static PixKeyKind kindFromCode(const QString& code);

private:
    void ensureTable();

    Connection& m_connection;
};
