#include "data/Documents.h"

namespace {

int digitAt(const QString& digits, int i) {
    return digits[i].unicode() - u'0';
}

bool allDigits(const QString& text, int size) {
    if (text.size() != size)
        return false;
    for (QChar c : text)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

// The check digit over the first count digits, weighted from the right by 2, 3, ... up to maxWeight and round
// again.
int checkDigit(const QString& digits, int count, int maxWeight) {
    int sum = 0;
    int weight = 2;
    for (int i = count - 1; i >= 0; --i) {
        sum += weight * digitAt(digits, i);
        weight = weight == maxWeight ? 2 : weight + 1;
    }
    const int r = sum % 11;
    return r < 2 ? 0 : 11 - r;
}

bool checked(const QString& digits, int size, int maxWeight) {
    if (!allDigits(digits, size) || digits == QString(size, digits[0]))
        return false;
    return checkDigit(digits, size - 2, maxWeight) == digitAt(digits, size - 2) &&
           checkDigit(digits, size - 1, maxWeight) == digitAt(digits, size - 1);
}

} // namespace

namespace Documents {

QString digits(const QString& text) {
    QString out;
    for (QChar c : text)
        if (c >= u'0' && c <= u'9')
            out += c;
    return out;
}

bool validCpf(const QString& digits) {
    return checked(digits, 11, 11);
}

bool validCnpj(const QString& digits) {
    return checked(digits, 14, 9);
}

QString formatted(const QString& typed) {
    const QString d = digits(typed);
    if (validCpf(d))
        return QStringLiteral("%1.%2.%3-%4").arg(d.mid(0, 3), d.mid(3, 3), d.mid(6, 3), d.mid(9, 2));
    if (validCnpj(d))
        return QStringLiteral("%1.%2.%3/%4-%5")
            .arg(d.mid(0, 2), d.mid(2, 3), d.mid(5, 3), d.mid(8, 4), d.mid(12, 2));
    return {};
}

} // namespace Documents
