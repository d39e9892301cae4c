#pragma once

#include "platform/core/Errors.h"

#include <type_traits>

class Connection;

// What a unit sees of the rows other connections (other tills on the same server) commit while it runs.
enum class Isolation {
    Snapshot,      // the database as it was when the unit began: what every unit has always done
    ReadCommitted, // each read sees what is committed at that moment
};

// A unit of work that is all or nothing: everything run on the connection while it lives (datasets' posts and
// deletes, next codes, a screen's own statements) joins it and sees its own rows. It rolls back in its
// destructor unless committed, so an error anywhere in the unit leaves the database as it was; either way the
// open datasets then read the database again. Units do not nest.
class Transaction {
public:
    explicit Transaction(Connection& connection, Isolation isolation = Isolation::Snapshot);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();

private:
    Connection& m_connection;
    bool m_done = false;
};

// Codes are the highest stored plus one, which older programs sharing the file rely on. Another till may
// store the same code between this one's read and its insert, and the engine refuses the second: the unit is
// then run again, reading the codes afresh, a few times before giving up.
namespace KeyConflicts {
inline constexpr int Attempts = 8;
// Between attempts of a whole unit, a pause. A row's insert that waited for another till's unit and then
// found the code taken is tried again at once: that unit has just ended, and its rows are there to read.
enum class Pause { Random, None };
// Whether the engine refused a row because its key is stored already (told by its codes, never its text).
bool isKeyConflict(const DatabaseError& error);
// A short pause of random length, longer after each failed attempt, so that two tills do not meet again.
void pauseAfter(int failedAttempt);
} // namespace KeyConflicts

// Runs attempt() again while it fails on a taken key, at most KeyConflicts::Attempts times; after that, or on
// any other error, the error goes on as it came (the standard error box tells a taken key in Portuguese).
// Each attempt must start from a clean state and take its codes afresh.
template <typename F>
auto retryingOnKeyConflict(F&& attempt, KeyConflicts::Pause pause = KeyConflicts::Pause::Random) {
    for (int i = 1;; ++i) {
        try {
            return attempt();
        } catch (const DatabaseError& e) {
            if (i >= KeyConflicts::Attempts || !KeyConflicts::isKeyConflict(e))
                throw;
        }
        if (pause == KeyConflicts::Pause::Random)
            KeyConflicts::pauseAfter(i);
    }
}

// A unit of work that numbers its rows: body() runs in a Transaction of its own, committed after it, and
// the whole unit runs again when a code was taken meanwhile. The rollback between attempts leaves the
// datasets with no appended row, reading the database again. Returns what body() returns.
template <typename F> auto runNumberingUnit(Connection& connection, Isolation isolation, F&& body) {
    return retryingOnKeyConflict([&] {
        Transaction unit(connection, isolation);
        if constexpr (std::is_void_v<std::invoke_result_t<F&>>) {
            body();
            unit.commit();
        } else {
            auto result = body();
            unit.commit();
            return result;
        }
    });
}
