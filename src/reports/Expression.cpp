#include "reports/Expression.h"

#include "platform/core/Dataset.h"
#include "platform/core/Errors.h"
#include "platform/core/Formats.h"

#include <QRegularExpression>

namespace Report {

namespace {

BrolaviError unknown(const QString& expression) {
    return BrolaviError(QStringLiteral("Expressão desconhecida no relatório: [%1]").arg(expression));
}

} // namespace

Expression Expression::compile(const QString& text, const QString& datasetName, const Dataset* dataset) {
    static const QRegularExpression field(QStringLiteral(R"re(^\s*(\w+)\s*\.\s*"([^"]+)"\s*$)re"));
    static const QRegularExpression count(QStringLiteral(R"(^\s*COUNT\s*\(\s*(\w+)\s*\)\s*$)"),
                                          QRegularExpression::CaseInsensitiveOption);
    Expression e;
    e.m_dataset = dataset;
    qsizetype at = 0;
    while (at < text.size()) {
        const qsizetype open = text.indexOf(u'[', at);
        const qsizetype close = open < 0 ? -1 : text.indexOf(u']', open);
        if (open < 0 || close < 0) {
            e.m_parts.append({Part::Kind::Literal, text.mid(at), -1});
            break;
        }
        if (open > at)
            e.m_parts.append({Part::Kind::Literal, text.mid(at, open - at), -1});
        const QString inner = text.mid(open + 1, close - open - 1);
        const QString word = inner.trimmed();
        if (word.compare(QStringLiteral("Date"), Qt::CaseInsensitive) == 0) {
            e.m_parts.append({Part::Kind::Date, {}, -1});
        } else if (word.compare(QStringLiteral("Page"), Qt::CaseInsensitive) == 0 ||
                   word.compare(QStringLiteral("Page#"), Qt::CaseInsensitive) == 0) {
            e.m_parts.append({Part::Kind::Page, {}, -1});
        } else if (const QRegularExpressionMatch c = count.match(inner); c.hasMatch()) {
            e.m_parts.append({Part::Kind::Count, c.captured(1), -1});
        } else if (const QRegularExpressionMatch f = field.match(inner);
                   f.hasMatch() && dataset && f.captured(1).compare(datasetName, Qt::CaseInsensitive) == 0) {
            const int column = dataset->columnIndex(f.captured(2));
            if (column >= 0)
                e.m_parts.append({Part::Kind::Column, {}, column});
            else
                e.m_parts.append({Part::Kind::Named, f.captured(2), -1});
        } else {
            throw unknown(inner);
        }
        at = close + 1;
    }
    return e;
}

Expression Expression::literal(const QString& text) {
    Expression e;
    e.m_parts.append({Part::Kind::Literal, text, -1});
    return e;
}

QString Expression::evaluate(const Context& context) const {
    QString out;
    for (const Part& p : m_parts) {
        switch (p.kind) {
        case Part::Kind::Literal:
            out += p.text;
            break;
        case Part::Kind::Column:
            if (context.row)
                out += Formats::displayText(context.row->value(p.column));
            break;
        case Part::Kind::Named:
            out += Formats::displayText(m_dataset->value(p.text));
            break;
        case Part::Kind::Date:
            out += context.date;
            break;
        case Part::Kind::Page:
            out += QString::number(context.page);
            break;
        case Part::Kind::Count:
            out += QString::number(context.counts ? context.counts->value(p.text) : 0);
            break;
        }
    }
    return out;
}

} // namespace Report
