#pragma once

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

    // Whether the user the program runs under is a master user. Nobody found under the current login (renamed
    // or deleted during the run) counts as a normal user.
    bool currentIsMaster();
    // The code a new user gets: the highest of the whole table plus one.
    int nextCode();
    // Whether a user record has this name, or this login, as the database compares them. A login held only
    // by the user exceptCode is not taken.
    bool nameTaken(const QString& name);
    bool loginTaken(const QString& login, std::optional<int> exceptCode = std::nullopt);
    // Whether the current user record is the seeded master user.
    bool currentIsSeededMaster() const;
    // Writes the user being entered or edited with its type ("M" or "N") and password, dated today.
    void saveCurrent(const QString& type, const QString& password);
    // Narrows the users to the record of the current login and stands on it; false when there is none.
    bool showCurrentOnly();
    // Writes a new login and password into the user with that code, which stays the only one shown, and the
    // program runs under the new login from then on. If the write fails the record is left as it was.
    void changeCredentials(int code, const QString& login, const QString& password);

private:
    bool taken(const QString& sql, const QString& param, const QString& value, std::optional<int> exceptCode);

    TDM& m_dm;
};
