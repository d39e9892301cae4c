#include "platform/core/Transaction.h"

#include "platform/core/Connection.h"
#include "platform/core/FirebirdStatus.h"

#include <QRandomGenerator>
#include <QThread>
#include <algorithm>

Transaction::Transaction(Connection& connection, Isolation isolation)
    : m_connection(connection) {
    m_connection.beginTransaction(isolation);
}

Transaction::~Transaction() {
    if (!m_done) {
        try {
            m_connection.rollbackTransaction();
        } catch (...) {
            // The error that brought us here is the one to report; a failed rollback ends the transaction
            // too.
        }
    }
}

void Transaction::commit() {
    m_done = true;
    m_connection.commitTransaction();
}

namespace KeyConflicts {

bool isKeyConflict(const DatabaseError& error) {
    return Firebird::keyTaken(error.engineStatus());
}

void pauseAfter(int failedAttempt) {
    // 5 ms after the first, doubling up to 80; a plain sleep, not the clock tests freeze.
    const int most = std::min(5 << std::min(failedAttempt - 1, 4), 80);
    QThread::msleep(QRandomGenerator::global()->bounded(most / 4 + 1, most + 1));
}

} // namespace KeyConflicts
