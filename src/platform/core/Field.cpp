#include "platform/core/Field.h"

#include "platform/core/Formats.h"
#include "platform/core/TableDataset.h"

QVariant Field::value() const {
    return m_dataset->value(m_column);
}

void Field::setValue(const QVariant& v) {
    m_dataset->setValue(m_column, v);
}

bool Field::isNull() const {
    const QVariant v = value();
    return v.isNull() || !v.isValid();
}

QString Field::asString() const {
    return Formats::plainText(value());
}

int Field::asInteger() const {
    return value().toInt();
}

Currency Field::asCurrency() const {
    const QVariant v = value();
    return v.metaType() == QMetaType::fromType<Currency>() ? v.value<Currency>() : Currency();
}

QDate Field::asDate() const {
    const QVariant v = value();
    return v.metaType().id() == QMetaType::QDateTime ? v.toDateTime().date() : v.toDate();
}

QDateTime Field::asDateTime() const {
    const QVariant v = value();
    return v.metaType().id() == QMetaType::QDate ? v.toDate().startOfDay() : v.toDateTime();
}

QString Field::displayText() const {
    return Formats::displayText(value());
}
