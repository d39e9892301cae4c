#pragma once

#include "platform/core/TableSchema.h"

#include <QHash>
#include <QString>
#include <QVector>

class Dataset;

namespace Report {

// What an expression reads while a band prints.
struct Context {
    const Row* row = nullptr; // the row being printed (the first before any, the last after them)
    int page = 0;
    QString date;                                // the day the report is prepared, as a short date
    const QHash<QString, int>* counts = nullptr; // rows printed so far by each data band
};

// A text with bracketed expressions, parsed once per report: [DATASET."FIELD"] (a column's display text, or
// a named value of the dataset such as an aggregate), [Date], [Page] or [Page#], [COUNT(Band)].
class Expression {
public:
    // Throws BrolaviError for an expression it does not know.
    static Expression compile(const QString& text, const QString& datasetName, const Dataset* dataset);
    // The text as it stands, brackets and all.
    static Expression literal(const QString& text);
    QString evaluate(const Context& context) const;

private:
    struct Part {
        enum class Kind { Literal, Column, Named, Date, Page, Count };
        Kind kind = Kind::Literal;
        QString text; // the literal, the named value or the band counted
        int column = -1;
    };
    QVector<Part> m_parts;
    const Dataset* m_dataset = nullptr;
};

} // namespace Report
