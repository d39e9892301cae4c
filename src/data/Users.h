#pragma once

#include <QString>

class TDM;

// The shop's operations on its users, on the data module's shared users dataset.
class Users {
public:
    explicit Users(TDM& dm)
        : m_dm(dm) {}

    // Whether the user the program runs under is a master user. Nobody found under the current login (renamed
    // or deleted during the run) counts as a normal user.
    bool currentIsMaster();

private:
    TDM& m_dm;
};
