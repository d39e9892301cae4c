#pragma once

class Connection;

// A unit of work that is all or nothing: everything run on the connection while it lives (datasets' posts and
// deletes, next codes, a screen's own statements) joins it and sees its own rows. It rolls back in its
// destructor unless committed, so an error anywhere in the unit leaves the database as it was; either way the
// open datasets then read the database again. Units do not nest.
class Transaction {
public:
    explicit Transaction(Connection& connection);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();

private:
    Connection& m_connection;
    bool m_done = false;
};
