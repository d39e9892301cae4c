#include "platform/core/FilterExpression.h"

#include "platform/core/Errors.h"
#include "platform/core/TextEncoding.h"

#include <limits>

namespace {

FilterError parseError(int position, const QString& what) {
    return FilterError(QStringLiteral("Filtro inválido na posição %1: %2").arg(position).arg(what), position);
}

bool isIdentStart(QChar c) {
    return c.isLetter() || c == u'_';
}

bool isIdentPart(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c == u'$';
}

class Parser {
public:
    explicit Parser(const QString& text)
        : m_text(text) {}

    QVector<FilterExpression::Condition> run() {
        QVector<FilterExpression::Condition> out;
        skipBlanks();
        if (atEnd())
            return out;
        for (;;) {
            out.append(condition());
            skipBlanks();
            if (atEnd())
                return out;
            const int at = m_pos;
            if (word().compare(QStringLiteral("AND"), Qt::CaseInsensitive) != 0)
                throw parseError(at + 1, QStringLiteral("esperado AND"));
        }
    }

private:
    bool atEnd() const { return m_pos >= m_text.size(); }
    void skipBlanks() {
        while (!atEnd() && m_text[m_pos].isSpace())
            ++m_pos;
    }
    QString word() {
        skipBlanks();
        const int start = m_pos;
        if (!atEnd() && isIdentStart(m_text[m_pos])) {
            while (!atEnd() && isIdentPart(m_text[m_pos]))
                ++m_pos;
        }
        return m_text.mid(start, m_pos - start);
    }

    FilterExpression::Condition condition() {
        FilterExpression::Condition c;
        skipBlanks();
        c.position = m_pos + 1;
        c.columnName = word();
        if (c.columnName.isEmpty())
            throw parseError(c.position, QStringLiteral("esperado o nome de uma coluna"));
        skipBlanks();
        const int opAt = m_pos + 1;
        if (m_text.mid(m_pos, 2) == QStringLiteral("<>")) {
            c.op = FilterExpression::Op::NotEqual;
            m_pos += 2;
        } else if (!atEnd() && m_text[m_pos] == u'=') {
            c.op = FilterExpression::Op::Equal;
            ++m_pos;
        } else if (word().compare(QStringLiteral("LIKE"), Qt::CaseInsensitive) == 0) {
            c.op = FilterExpression::Op::Like;
        } else {
            throw parseError(opAt, QStringLiteral("esperado =, <> ou LIKE"));
        }
        c.literal = literal();
        return c;
    }

    QString literal() {
        skipBlanks();
        const int start = m_pos + 1;
        if (atEnd() || m_text[m_pos] != u'\'')
            throw parseError(start, QStringLiteral("esperado um texto entre apóstrofos"));
        ++m_pos;
        QString out;
        for (;;) {
            if (atEnd())
                throw parseError(start, QStringLiteral("texto sem o apóstrofo final"));
            const QChar ch = m_text[m_pos++];
            if (ch != u'\'') {
                out.append(ch);
                continue;
            }
            if (!atEnd() && m_text[m_pos] == u'\'') {
                out.append(u'\'');
                ++m_pos;
                continue;
            }
            return out;
        }
    }

    const QString& m_text;
    int m_pos = 0;
};

// The literal read as an integer for "=" and "<>": blanks around and leading zeros allowed.
bool literalAsNumber(const QString& literal, qlonglong& out) {
    bool ok = false;
    out = literal.trimmed().toLongLong(&ok, 10);
    return ok;
}

// The decimal text an integer column shows: no sign for positives, no leading zeros.
bool isCanonicalInteger(const QString& s, qlonglong& out) {
    bool ok = false;
    out = s.toLongLong(&ok, 10);
    return ok && QString::number(out) == s;
}

QString escapeLike(const QString& pattern) {
    QString out;
    out.reserve(pattern.size());
    for (QChar ch : pattern) {
        if (ch == u'\\' || ch == u'_')
            out.append(u'\\');
        out.append(ch);
    }
    return out;
}

bool onlyPercents(QStringView s) {
    for (QChar ch : s)
        if (ch != u'%')
            return false;
    return true;
}

QString valueText(const QVariant& v, bool integerColumn) {
    return integerColumn ? QString::number(v.toLongLong()) : v.toString();
}

// SQL for "expr LIKE pattern" with the C++ meaning: exact when there is no '%', a prefix test when the only
// wildcards end the pattern (that one can use an index), otherwise LIKE with '_' escaped.
int characters(const QString& text) {
    return int(text.toUcs4().size());
}

// A pattern may be longer than the column and still match ("N%%%" matches "NP"), but the engine refuses a
// parameter longer than the column it is compared with: such a one is sent as a text of its own length.
QString patternParameter(const QString& pattern, int columnLength) {
    if (columnLength <= 0 || characters(pattern) <= columnLength)
        return QStringLiteral("?");
    return QStringLiteral("CAST(? AS VARCHAR(%1))").arg(characters(pattern));
}

QString likeSql(const QString& expr, const QString& pattern, QVariantList& params, int columnLength = 0) {
    const qsizetype firstPercent = pattern.indexOf(u'%');
    if (firstPercent < 0)
        return FilterExpression::textEquality(expr, pattern, params, false, columnLength);
    if (onlyPercents(QStringView(pattern).mid(firstPercent))) {
        if (firstPercent == 0)
            return QStringLiteral("%1 IS NOT NULL").arg(expr);
        const QString prefix = pattern.left(firstPercent);
        if (columnLength > 0 && characters(prefix) > columnLength)
            return QStringLiteral("1 = 0"); // no value of the column is that long
        params << prefix;
        return QStringLiteral("%1 STARTING WITH ?").arg(expr);
    }
    const QString escaped = escapeLike(pattern);
    params << escaped;
    return QStringLiteral("%1 LIKE %2 ESCAPE '\\'").arg(expr, patternParameter(escaped, columnLength));
}

} // namespace

FilterExpression FilterExpression::parse(const QString& text) {
    FilterExpression e;
    e.m_conditions = Parser(text).run();
    return e;
}

void FilterExpression::bind(const TableSchema& schema) {
    for (Condition& c : m_conditions) {
        c.column = schema.indexOf(c.columnName);
        if (c.column < 0)
            throw FilterError(QStringLiteral("Filtro inválido na posição %1: a coluna %2 não existe em %3")
                                  .arg(c.position)
                                  .arg(c.columnName, schema.table),
                              c.position);
        const ColumnInfo& info = schema.columns[c.column];
        c.sqlName = info.name;
        c.leadsIndex = info.leadsIndex || c.column == schema.keyColumn;
        c.integerColumn = schema.isInteger(c.column);
        c.length = info.type == ColumnType::Text ? info.length : 0;
        if (info.type == ColumnType::Text) {
            // Latin-1 has no typographic apostrophe, which phones type for the plain one: no name stored
            // there can hold it, so it can only mean the plain one.
            if (info.characterSet == u"ISO8859_1")
                c.literal.replace(QChar(0x2019), u'\'');
            c.unstorable = !TextCodec::canHold(c.literal, info.characterSet);
        }
        if (!c.integerColumn && info.type != ColumnType::Text)
            throw FilterError(
                QStringLiteral("Filtro inválido na posição %1: a coluna %2 não pode ser filtrada")
                    .arg(c.position)
                    .arg(info.name),
                c.position);
        if (c.integerColumn && c.op != Op::Like && !literalAsNumber(c.literal, c.number))
            throw FilterError(QStringLiteral("Filtro inválido na posição %1: '%2' não é um número")
                                  .arg(c.position)
                                  .arg(c.literal),
                              c.position);
    }
    m_bound = true;
}

bool FilterExpression::likeMatches(QStringView value, QStringView pattern) {
    // Greedy match with backtracking to the last '%': linear in practice, no recursion.
    qsizetype v = 0, p = 0, starP = -1, starV = 0;
    while (v < value.size()) {
        if (p < pattern.size() && pattern[p] == u'%') {
            starP = p++;
            starV = v;
        } else if (p < pattern.size() && pattern[p] == value[v]) {
            ++p;
            ++v;
        } else if (starP >= 0) {
            p = starP + 1;
            v = ++starV;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'%')
        ++p;
    return p == pattern.size();
}

bool FilterExpression::matches(const Row& row) const {
    Q_ASSERT(m_bound);
    for (const Condition& c : m_conditions) {
        const QVariant& v = row[c.column];
        if (v.isNull() || !v.isValid())
            return false;
        bool ok = false;
        if (c.op == Op::Like) {
            ok = likeMatches(valueText(v, c.integerColumn), c.literal);
        } else {
            const bool equal = c.integerColumn ? v.toLongLong() == c.number : v.toString() == c.literal;
            ok = (c.op == Op::Equal) == equal;
        }
        if (!ok)
            return false;
    }
    return true;
}

QString FilterExpression::toSql(QVariantList& params) const {
    Q_ASSERT(m_bound);
    if (m_conditions.isEmpty())
        return QStringLiteral("1 = 1");
    QStringList parts;
    for (const Condition& c : m_conditions) {
        const QString& col = c.sqlName;
        if (c.integerColumn) {
            if (c.op == Op::Like) {
                qlonglong n = 0;
                if (c.literal.contains(u'%')) {
                    parts << likeSql(QStringLiteral("CAST(%1 AS VARCHAR(20))").arg(col), c.literal, params,
                                     20);
                } else if (isCanonicalInteger(c.literal, n)) {
                    // The decimal text equals the literal exactly when the number does: keeps the index.
                    parts << QStringLiteral("%1 = ?").arg(col);
                    params << n;
                } else {
                    parts << QStringLiteral("1 = 0"); // "012", " 12": no integer is written that way
                }
            } else {
                parts << QStringLiteral("%1 %2 ?").arg(col, c.op == Op::Equal ? QStringLiteral("=")
                                                                              : QStringLiteral("<>"));
                params << c.number;
            }
            continue;
        }
        if (c.unstorable) {
            parts << (c.op == Op::NotEqual ? QStringLiteral("%1 IS NOT NULL").arg(col)
                                           : QStringLiteral("1 = 0"));
            continue;
        }
        switch (c.op) {
        case Op::Like:
            parts << likeSql(col, c.literal, params, c.length);
            break;
        case Op::Equal:
        case Op::NotEqual:
            parts << textEquality(col, c.literal, params, c.op == Op::NotEqual, c.length);
            break;
        }
    }
    return parts.join(QStringLiteral(" AND "));
}

FilterExpression::Selectivity FilterExpression::selectivity() const {
    Selectivity best = Selectivity::None;
    for (const Condition& c : m_conditions) {
        if (!c.leadsIndex || (c.integerColumn && c.literal.contains(u'%')))
            continue;
        if (c.op == Op::Equal || (c.op == Op::Like && !c.literal.contains(u'%')))
            return Selectivity::Equality;
        if (c.op == Op::Like && !c.literal.startsWith(u'%'))
            best = Selectivity::Prefix;
    }
    return best;
}

QString FilterExpression::textEquality(const QString& column, const QString& value, QVariantList& params,
                                       bool notEqual, int columnLength) {
    if (columnLength > 0 && characters(value) > columnLength)
        return notEqual ? QStringLiteral("%1 IS NOT NULL").arg(column) : QStringLiteral("1 = 0");
    params << value << characters(value);
    return notEqual ? QStringLiteral("(%1 <> ? OR CHAR_LENGTH(%1) <> ?)").arg(column)
                    : QStringLiteral("(%1 = ? AND CHAR_LENGTH(%1) = ?)").arg(column);
}

QString FilterExpression::quoted(const QString& text) {
    QString out = text;
    out.replace(u'\'', QStringLiteral("''"));
    return u'\'' + out + u'\'';
}
