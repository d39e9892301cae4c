#include "reports/TextMetrics.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QTextLayout>
#include <QTextOption>
#include <memory>

namespace Report {

namespace {

constexpr int ReferenceDpi = 1200;
constexpr double MmPerDot = 25.4 / ReferenceDpi;

const QImage& reference() {
    static const QImage image = [] {
        QImage i(1, 1, QImage::Format_ARGB32);
        const int dotsPerMetre = qRound(ReferenceDpi / 0.0254);
        i.setDotsPerMeterX(dotsPerMetre);
        i.setDotsPerMeterY(dotsPerMetre);
        return i;
    }();
    return image;
}

struct Measured {
    QFont font;
    QFontMetricsF metrics;
};

// Fonts and their metrics for each style, made once: reports measure thousands of texts in a few styles.
const Measured& measured(const TextStyle& style) {
    static QHash<quint64, std::shared_ptr<Measured>> cache;
    const quint64 key = (quint64(qRound(style.points * 100)) << 1) | (style.bold ? 1 : 0);
    auto it = cache.find(key);
    if (it == cache.end()) {
        const QFont f = font(style);
        it = cache.insert(key, std::make_shared<Measured>(Measured{f, QFontMetricsF(f, &reference())}));
    }
    return **it;
}

} // namespace

QString fontFamily() {
    static const QString family = QFontDatabase::hasFamily(QStringLiteral("Arial"))
                                      ? QStringLiteral("Arial")
                                      : QStringLiteral("Liberation Sans");
    return family;
}

QFont font(const TextStyle& style) {
    QFont f(fontFamily());
    f.setPointSizeF(style.points);
    f.setBold(style.bold);
    f.setKerning(false);
    return f;
}

double TextMetrics::width(const TextStyle& style, const QString& text) {
    return measured(style).metrics.horizontalAdvance(text) * MmPerDot;
}

double TextMetrics::lineHeight(const TextStyle& style) {
    return measured(style).metrics.height() * MmPerDot;
}

QStringList TextMetrics::wrap(const TextStyle& style, const QString& text, double width) {
    QStringList lines;
    const Measured& m = measured(style);
    const qreal dots = width / MmPerDot;
    QString prepared = text;
    prepared.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    for (const QString& paragraph : prepared.split(u'\n')) {
        if (paragraph.isEmpty()) {
            lines << QString();
            continue;
        }
        QTextLayout layout(paragraph, m.font, &reference());
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(dots);
            QString part = paragraph.mid(line.textStart(), line.textLength());
            while (part.endsWith(u' '))
                part.chop(1);
            lines << part;
        }
        layout.endLayout();
    }
    return lines;
}

} // namespace Report
