#include "platform/core/Transaction.h"

#include "platform/core/Connection.h"

Transaction::Transaction(Connection& connection)
    : m_connection(connection) {
    m_connection.beginTransaction();
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
