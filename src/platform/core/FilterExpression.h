#pragma once

#include "platform/core/TableSchema.h"

#include <QString>
#include <QVariantList>
#include <QVector>

// The condition language the screens filter datasets with:
//   Cliente LIKE'12'AND Status_Pag ='NP'AND Conta <>'V'
// conditions "column op 'literal'" joined by AND; op is =, <> or LIKE; keywords and column names in any case;
// a literal in apostrophes with inner apostrophes doubled, no blanks needed around it. LIKE matches the whole
// value with % as its only wildcard. Text compares case-sensitively and exactly (trailing blanks count); a
// literal against an integer column is the number for = and <>, and the column's decimal text for LIKE.
//
// The tree evaluates on a row in C++ and renders an SQL condition meant to select exactly the same rows; the
// C++ meaning is the reference (SQL's "=" ignores trailing blanks and its LIKE knows "_", so rendering works
// around both). A literal with a character the column's character set cannot hold equals no stored value, so
// it selects nothing rather than reaching the engine, which would refuse it.
class FilterExpression {
public:
    enum class Op { Equal, NotEqual, Like };

    struct Condition {
        QString columnName; // as written
        Op op = Op::Equal;
        QString literal;  // apostrophes undoubled
        int position = 0; // 1-based offset of the column name in the text
        // Filled by bind():
        int column = -1;
        QString sqlName;
        bool integerColumn = false;
        bool leadsIndex = false;
        int length = 0;          // the text column's length in characters; 0 when unknown
        bool unstorable = false; // the literal has a character the text column cannot hold
        qlonglong number = 0;    // the literal as a number, for = and <> on an integer column
    };

    FilterExpression() = default;

    // Parses the text; an empty or blank text selects every row. Throws FilterError saying where it failed.
    static FilterExpression parse(const QString& text);

    // Resolves column names and literals against the table; throws FilterError on an unknown column, a
    // column that cannot be filtered, or a literal that is not a number where one is required.
    void bind(const TableSchema& schema);

    bool isEmpty() const { return m_conditions.isEmpty(); }
    const QVector<Condition>& conditions() const { return m_conditions; }

    // Whether the row satisfies every condition (a NULL value satisfies none). Requires bind().
    bool matches(const Row& row) const;

    // An SQL condition for the WHERE clause with '?' placeholders, and the values to bind; "1 = 1" when
    // empty. Requires bind().
    QString toSql(QVariantList& params) const;

    // How an index other than the key can answer the filter: an equality on an indexed column picks few rows;
    // a prefix may pick few or many.
    enum class Selectivity { None, Prefix, Equality };
    Selectivity selectivity() const;

    // Wraps a text in apostrophes, doubling those inside: the screens' way of writing literals.
    static QString quoted(const QString& text);

    // Matches value against a pattern whose only wildcard is '%'.
    static bool likeMatches(QStringView value, QStringView pattern);

    // SQL that a text column equals value exactly, trailing blanks included (the engine's "=" ignores them),
    // or with notEqual that it differs; appends the parameters. The lengths compared are in characters, which
    // the engine counts the same way in every character set. A value longer than the column (columnLength
    // characters, 0 when unknown) can equal none of its values: it is not sent, since the engine refuses a
    // parameter longer than the column it is compared with.
    static QString textEquality(const QString& column, const QString& value, QVariantList& params,
                                bool notEqual = false, int columnLength = 0);

private:
    QVector<Condition> m_conditions;
    bool m_bound = false;
};
