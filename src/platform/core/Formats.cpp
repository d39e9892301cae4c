#include "platform/core/Formats.h"

#include "platform/core/Currency.h"
#include "platform/core/Errors.h"

#include <limits>

namespace Formats {

QString date(const QDate& d) {
    return d.isValid() ? d.toString(ShortDate) : QString();
}

QString dateTime(const QDateTime& dt) {
    if (!dt.isValid())
        return QString();
    if (dt.time() == QTime(0, 0))
        return date(dt.date());
    return dt.toString(ShortDate + u' ' + LongTime);
}

QString plainText(const QVariant& v) {
    if (v.isNull() || !v.isValid())
        return QString();
    if (v.metaType() == QMetaType::fromType<Currency>())
        return v.value<Currency>().toPlainText();
    switch (v.metaType().id()) {
    case QMetaType::QDate:
        return date(v.toDate());
    case QMetaType::QDateTime:
        return dateTime(v.toDateTime());
    case QMetaType::QTime:
        return v.toTime().toString(LongTime);
    default:
        return v.toString();
    }
}

QString displayText(const QVariant& v) {
    if (v.metaType() == QMetaType::fromType<Currency>())
        return v.value<Currency>().format();
    return plainText(v);
}

} // namespace Formats

QVariant convertToColumn(ColumnType type, const QVariant& v) {
    if (v.isNull() || !v.isValid())
        return QVariant();
    const bool isText = v.metaType().id() == QMetaType::QString;
    const QString text = isText ? v.toString() : QString();
    if (isText && text.trimmed().isEmpty() && type != ColumnType::Text && type != ColumnType::TextBlob)
        return QVariant();
    switch (type) {
    case ColumnType::Text:
    case ColumnType::TextBlob:
        return Formats::plainText(v);
    case ColumnType::Integer:
    case ColumnType::BigInt: {
        bool ok = false;
        const qlonglong n = isText ? text.trimmed().toLongLong(&ok) : v.toLongLong(&ok);
        if (!ok || v.metaType() == QMetaType::fromType<Currency>())
            throw ConversionError::invalidValue(Formats::plainText(v));
        if (type == ColumnType::Integer) {
            if (n < std::numeric_limits<int>::min() || n > std::numeric_limits<int>::max())
                throw ConversionError::invalidValue(Formats::plainText(v));
            return int(n);
        }
        return n;
    }
    case ColumnType::Numeric:
        if (v.metaType() == QMetaType::fromType<Currency>())
            return v;
        if (isText) {
            try {
                return QVariant::fromValue(Currency::parse(text));
            } catch (const ConversionError&) {
                return QVariant::fromValue(Currency::parseDisplayed(text));
            }
        }
        if (v.metaType().id() == QMetaType::Int || v.metaType().id() == QMetaType::LongLong)
            return QVariant::fromValue(Currency::fromUnits(v.toLongLong()));
        // Money never comes from a double.
        throw ConversionError::invalidValue(v.toString());
    case ColumnType::Date:
        if (v.metaType().id() == QMetaType::QDateTime)
            return v.toDateTime().date();
        if (isText) {
            const QDate d = QDate::fromString(text.trimmed(), Formats::ShortDate);
            if (!d.isValid())
                throw ConversionError::invalidValue(text);
            return d;
        }
        return v.toDate();
    case ColumnType::Timestamp:
        if (v.metaType().id() == QMetaType::QDate)
            return v.toDate().startOfDay();
        if (isText) {
            QDateTime dt =
                QDateTime::fromString(text.trimmed(), Formats::ShortDate + u' ' + Formats::LongTime);
            if (!dt.isValid())
                dt = QDate::fromString(text.trimmed(), Formats::ShortDate).startOfDay();
            if (!dt.isValid())
                throw ConversionError::invalidValue(text);
            return dt;
        }
        return v.toDateTime();
    default:
        return v;
    }
}
