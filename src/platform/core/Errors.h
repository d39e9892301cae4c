#pragma once

#include <QString>
#include <stdexcept>

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

// A failure reported by the database engine, with the engine's own text.
class DatabaseError : public BrolaviError {
public:
    using BrolaviError::BrolaviError;
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
