#pragma once

#include "platform/core/TableSchema.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVariant>

// The program's fixed formats: short date dd/MM/yyyy, long time HH:mm:ss, money R$ #,##0.00.
namespace Formats {

inline const QString ShortDate = QStringLiteral("dd/MM/yyyy");
inline const QString LongTime = QStringLiteral("HH:mm:ss");

QString date(const QDate& d);
// Date and long time; a moment at midnight shows the date alone.
QString dateTime(const QDateTime& dt);
// A value as a field shows it for editing: money as 1234,56, dates in the short format.
QString plainText(const QVariant& v);
// A value as a grid or label shows it: money as R$ 1.234,56.
QString displayText(const QVariant& v);

} // namespace Formats

// Converts a value (or a typed text) to the program's type for a column; an empty text is NULL.
// Throws ConversionError with the text as typed when it does not convert.
QVariant convertToColumn(ColumnType type, const QVariant& v);
