#pragma once

#include "reports/PreparedReport.h"
#include "reports/TextMetrics.h"

#include <QRegularExpression>
#include <QStringList>
#include <algorithm>

// What a prepared report would print cut or on top of another text, measured as the layout measures: each
// entry names the page, the object and the text. Empty when every text is whole and apart.
namespace ReportFit {

inline QString where(int page, const Report::Item& item) {
    return QStringLiteral("page %1, %2 \"%3\" at %4pt")
        .arg(page + 1)
        .arg(item.name, item.text)
        .arg(item.style.points);
}

inline QString withoutBlanks(QString text) {
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    return text.remove(blanks);
}

// A line wider than its box, or a wrapping text that lost lines past its box's height.
inline QStringList cutTexts(const Report::Prepared& report) {
    constexpr double Tolerance = 0.001;
    QStringList cut;
    for (int p = 0; p < report.pages.size(); ++p) {
        for (const Report::Item& item : report.pages[p].items) {
            if (item.kind != Report::Item::Kind::Text || item.text.isEmpty())
                continue;
            const QStringList lines = item.lines.isEmpty() ? QStringList{item.text} : item.lines;
            double widest = 0;
            for (const QString& line : lines)
                widest = std::max(widest, Report::TextMetrics::width(item.style, line));
            const double height = Report::TextMetrics::lineHeight(item.style) * double(lines.size());
            if (widest > item.rect.width() + Tolerance)
                cut << where(p, item) +
                           QStringLiteral(": %1 mm wide in %2").arg(widest).arg(item.rect.width());
            else if (!item.lines.isEmpty() && height > item.rect.height() + Tolerance)
                cut << where(p, item) +
                           QStringLiteral(": %1 mm tall in %2").arg(height).arg(item.rect.height());
            else if (withoutBlanks(lines.join(QString())) != withoutBlanks(item.text))
                cut << where(p, item) + QStringLiteral(": only \"%1\" printed").arg(lines.join(u'|'));
        }
    }
    return cut;
}

// Pairs of texts whose boxes overlap on the page: one would print over the other.
inline QStringList overlappingTexts(const Report::Prepared& report) {
    constexpr double Tolerance = 0.001;
    QStringList overlapping;
    for (int p = 0; p < report.pages.size(); ++p) {
        QVector<const Report::Item*> texts;
        for (const Report::Item& item : report.pages[p].items)
            if (item.kind == Report::Item::Kind::Text && !item.text.isEmpty())
                texts << &item;
        for (qsizetype i = 0; i < texts.size(); ++i) {
            for (qsizetype j = i + 1; j < texts.size(); ++j) {
                const QRectF both = texts[i]->rect.intersected(texts[j]->rect);
                if (both.width() > Tolerance && both.height() > Tolerance)
                    overlapping << where(p, *texts[i]) + QStringLiteral(" over ") + where(p, *texts[j]);
            }
        }
    }
    return overlapping;
}

} // namespace ReportFit
