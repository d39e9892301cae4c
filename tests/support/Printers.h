#pragma once

#include "platform/core/Currency.h"

#include <QString>
#include <QVariant>
#include <ostream>

// Readable failures: gtest prints these types as text instead of bytes.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

inline void PrintTo(const Currency& c, std::ostream* os) {
    *os << c.toDbText().toStdString() << " (raw " << c.raw() << ')';
}
