#pragma once

#include <QList>
#include <QString>
#include <stdexcept>
#include <utility>

// Every failure the program reports carries a text meant for the shopkeeper; the data layer never shows a
// window, it throws one of these and the screen (or the standard error box) shows it.
class BrolaviError : public std::runtime_error {
public:
    explicit BrolaviError(const QString& message)
        : std::runtime_error(message.toStdString())
        , m_message(message) {}
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

// A failure reported by the database engine, with the engine's own text. What the engine said is decided by
// its status: the error codes (isc_..., in the order it gave them) and the system's error number behind an
// input/output failure. The text is for people; it names files, and a file may be named anything.
struct EngineStatus {
    QList<qint64> codes;
    int posixError = 0;   // errno, when the engine passed one on
    int windowsError = 0; // GetLastError(), likewise
};

class DatabaseError : public BrolaviError {
public:
    using BrolaviError::BrolaviError;
    DatabaseError(const QString& message, EngineStatus status)
        : BrolaviError(message)
        , m_status(std::move(status)) {}
    const EngineStatus& engineStatus() const { return m_status; }

private:
    EngineStatus m_status;
};

// A typed text that does not convert to the column's type or to money.
class ConversionError : public BrolaviError {
public:
    using BrolaviError::BrolaviError;
    static ConversionError invalidValue(const QString& typed) {
        return ConversionError(QStringLiteral("'%1' não é um valor válido").arg(typed));
    }
};

// A filter text that does not parse, or names a column the dataset does not have.
class FilterError : public BrolaviError {
public:
    FilterError(const QString& message, int position)
        : BrolaviError(message)
        , m_position(position) {}
    int position() const { return m_position; }

private:
    int m_position;
};

// An operation asked of a dataset in a state that does not allow it (posting while browsing, ...).
class DatasetStateError : public BrolaviError {
public:
    using BrolaviError::BrolaviError;
};

// Where an error goes that cannot be thrown on (one raised while a destructor restores a state): the screens
// install the standard error box; until then it is written to standard error. Call from inside a catch block.
namespace UnthrownErrors {
void setHandler(void (*handler)());
void reportCurrent();

template <typename F> void guard(F&& f) {
    try {
        f();
    } catch (...) {
        reportCurrent();
    }
}
} // namespace UnthrownErrors
