#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

class TDM;

// The shop's operations on its users, on the data module's shared users dataset.
class Users {
public:
    explicit Users(TDM& dm)
        : m_dm(dm) {}

    // The name of the master user the login seeds: the registration neither edits nor deletes it.
    static inline const QString MasterName = QStringLiteral("MASTER");
    // The code of that seeded master, whose login stays "MASTER".
    static constexpr int MasterCode = 1;
    // The characters of the users table's login column: a longer login is refused by the engine.
    static constexpr int LoginLength = 10;

    // The user these credentials are, as the database compares them (trailing blanks of the login do not
    // count): the moment of login, read from the clock once they matched, is written into its record alone
    // and returned, and the program runs under that user from then on. Where an older file gives two users
    // the same login and password, the first in code order. Nothing, with nothing written, when nobody
    // matches.
    std::optional<QDateTime> logIn(const QString& login, const QString& password);
    // Whether the user the program runs under, found by its code, is a master user. Nobody logged in, or a
    // user deleted during the run, counts as a normal user.
    bool currentIsMaster();
    // The code a new user gets: the highest of the whole table plus one.
    int nextCode();
    // Whether a user record has this name, or this login, as the database compares them. A login held only
    // by the user exceptCode is not taken.
    bool nameTaken(const QString& name);
    bool loginTaken(const QString& login, std::optional<int> exceptCode = std::nullopt);
    // Whether the user with this code may not take that name: "MASTER" (as the database compares names,
    // trailing blanks aside) is the seeded master's alone, the registration protecting the user of that name.
    static bool nameReserved(const QString& name, int code);
    // Whether the current user record is the seeded master user.
    bool currentIsSeededMaster() const;
    // Writes the user being entered or edited with its type ("M" or "N") and password, dated today. A new
    // user whose code another till took since it was shown gets the next free code.
    void saveCurrent(const QString& type, const QString& password);
    // Narrows the users to the record of the user the program runs under and stands on it; false when there
    // is none.
    bool showCurrentOnly();
    // Writes a new login and password into the user with that code, which stays the only one shown, and the
    // program runs under the new login from then on. If the write fails the record is left as it was.
    void changeCredentials(int code, const QString& login, const QString& password);

private:
    bool taken(const QString& sql, const QString& param, const QString& value, std::optional<int> exceptCode);

    TDM& m_dm;
};
