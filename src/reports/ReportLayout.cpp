#include "reports/ReportLayout.h"

#include "platform/core/Clock.h"
#include "platform/core/Formats.h"
#include "reports/Expression.h"
#include "reports/TextMetrics.h"

#include <QHash>
#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

namespace Report {

namespace {

// Room around a growing text so that its last letter is never clipped.
constexpr double GrowPadding = 0.6;
constexpr double Epsilon = 0.001;
// Between a label and the value it stands left of, about a space of the small type.
constexpr double LeftOfGap = 1.0;
// A shrinking text's type goes down in tenths of a point, and no further than this (where it stops being
// type at all: the loop must end).
constexpr double ShrinkStep = 0.1;
constexpr double SmallestPoints = 1.0;

bool fits(const TextStyle& style, const QString& text, const QSizeF& box, bool wraps) {
    if (!wraps)
        return TextMetrics::width(style, text) <= box.width() + Epsilon;
    const QStringList lines = TextMetrics::wrap(style, text, box.width());
    if (TextMetrics::lineHeight(style) * double(lines.size()) > box.height() + Epsilon)
        return false;
    return std::all_of(lines.begin(), lines.end(), [&](const QString& line) {
        return TextMetrics::width(style, line) <= box.width() + Epsilon;
    });
}

// The largest type, down from the object's own, at which its text fits the box.
TextStyle shrunk(const Object& o, const QString& text, const QSizeF& box) {
    TextStyle style = o.style;
    if (!o.wraps) {
        // A line's width goes with its size: start next to the answer rather than walk down to it.
        const double width = TextMetrics::width(style, text);
        if (width > box.width() + Epsilon)
            style.points = std::floor(style.points * box.width() / width / ShrinkStep) * ShrinkStep;
    }
    while (style.points > SmallestPoints && !fits(style, text, box, o.wraps))
        style.points = std::max(SmallestPoints, std::round((style.points - ShrinkStep) * 100) / 100);
    return style;
}

// One object of a band as it prints this time, in the band's coordinates.
struct Placed {
    const Object* object = nullptr;
    QRectF rect;
    QString text;
    TextStyle style; // the object's, or smaller where it shrinks to fit
    QStringList lines;
};

struct Measured {
    double height = 0;
    QVector<Placed> objects;
};

class Layout {
public:
    Layout(const Template& report, Source& source)
        : m_report(report)
        , m_source(source) {
        m_out.name = report.name;
        m_out.pageSize = report.pageSize;
        m_context.date = Formats::date(Clock::today());
        m_context.counts = &m_counts;
        for (const Band& band : report.bands) {
            for (const Object& o : band.objects) {
                if (o.kind == Object::Kind::Text)
                    m_expressions.insert(
                        &o, o.literal ? Expression::literal(o.text)
                                      : Expression::compile(o.text, report.dataset, &source.dataset()));
                else if (o.kind == Object::Kind::Picture)
                    m_pictures.insert(&o, pictureIndex(o.text));
            }
        }
        const Band* footer = report.band(BandKind::PageFooter);
        m_pageFooterHeight = footer ? footer->height : 0;
    }

    Prepared run() {
        const Band* data = m_report.band(BandKind::MasterData);
        Row row = m_source.first();
        m_context.row = &row;
        startPage();
        int onPage = 0;
        for (; data && !row.isEmpty(); row = m_source.next()) {
            ++m_counts[data->name];
            Measured m = measure(*data);
            if (onPage > 0 && m_y + m.height > bottom() + Epsilon) {
                finishPage();
                startPage();
                onPage = 0;
            }
            put(*data, m);
            ++onPage;
            m_last = row;
        }
        m_context.row = m_last.isEmpty() ? nullptr : &m_last;
        for (BandKind kind : {BandKind::Footer, BandKind::Summary}) {
            if (const Band* band = m_report.band(kind)) {
                Measured m = measure(*band);
                if (m_y + m.height > bottom() + Epsilon) {
                    finishPage();
                    startPage();
                }
                put(*band, m);
            }
        }
        finishPage();
        m_source.finish();
        return std::move(m_out);
    }

private:
    double bottom() const {
        return m_report.pageSize.height() - m_report.margins.bottom() - m_pageFooterHeight;
    }

    int pictureIndex(const QString& resource) {
        QImage image(resource);
        m_out.pictures << image;
        return int(m_out.pictures.size() - 1);
    }

    void startPage() {
        m_out.pages.append(Page());
        m_context.page = int(m_out.pages.size());
        m_y = m_report.margins.top();
        if (m_context.page == 1) {
            if (const Band* title = m_report.band(BandKind::ReportTitle))
                put(*title, measure(*title));
        }
        if (const Band* header = m_report.band(BandKind::PageHeader))
            put(*header, measure(*header));
    }

    void finishPage() {
        if (const Band* footer = m_report.band(BandKind::PageFooter)) {
            m_y = m_report.pageSize.height() - m_report.margins.bottom() - footer->height;
            put(*footer, measure(*footer));
        }
    }

    Measured measure(const Band& band) {
        const double width = m_report.printableWidth();
        Measured m;
        m.height = band.height;
        m.objects.reserve(band.objects.size());
        for (const Object& o : band.objects) {
            Placed p;
            p.object = &o;
            p.rect = o.rect;
            p.style = o.style;
            if (o.kind == Object::Kind::Text)
                p.text = m_expressions.find(&o)->evaluate(m_context);
            if (o.grows) {
                const double needed = TextMetrics::width(o.style, p.text) + GrowPadding;
                if (needed > p.rect.width()) {
                    const double extra = needed - p.rect.width();
                    if (o.align & Qt::AlignRight)
                        p.rect.moveLeft(p.rect.left() - extra);
                    else if (o.align & Qt::AlignHCenter)
                        p.rect.moveLeft(p.rect.left() - extra / 2);
                    p.rect.setWidth(needed);
                }
            }
            if (o.place == Place::RightEdge)
                p.rect.moveLeft(width - o.rect.left() - p.rect.width());
            else if (o.place == Place::Centred)
                p.rect.moveLeft((width - p.rect.width()) / 2);
            if (o.shrinks && !o.grows && !o.stretches && o.kind == Object::Kind::Text)
                p.style = shrunkStyle(o, p.text);
            if (o.wraps) {
                p.lines = TextMetrics::wrap(p.style, p.text, p.rect.width());
                const double line = TextMetrics::lineHeight(p.style);
                const double needed = line * double(p.lines.size());
                if (o.stretches && needed > p.rect.height()) {
                    m.height = std::max(m.height, band.height + needed - p.rect.height());
                    p.rect.setHeight(needed);
                } else if (!o.stretches) {
                    const auto fit = qsizetype((p.rect.height() + Epsilon) / line);
                    if (p.lines.size() > fit)
                        p.lines.resize(std::max<qsizetype>(fit, 0));
                }
            }
            m.objects.append(std::move(p));
        }
        // Objects placed against others, once those stand.
        for (Placed& p : m.objects) {
            if (p.object->place != Place::LeftOf)
                continue;
            for (const Placed& other : std::as_const(m.objects)) {
                if (other.object->name == p.object->leftOf) {
                    p.rect.moveLeft(other.rect.left() - LeftOfGap - p.rect.width());
                    break;
                }
            }
        }
        return m;
    }

    // Slips repeat the same names on every row: each is fitted once (a shrinking object's box is its own).
    TextStyle shrunkStyle(const Object& o, const QString& text) {
        const auto key = std::make_pair(&o, text);
        auto it = m_shrunk.find(key);
        if (it == m_shrunk.end())
            it = m_shrunk.emplace(key, shrunk(o, text, o.rect.size())).first;
        return it->second;
    }

    void put(const Band& band, const Measured& m) {
        Page& page = m_out.pages.last();
        const QPointF origin(m_report.margins.left(), m_y);
        if (band.framed) {
            Item frame;
            frame.kind = Item::Kind::Frame;
            frame.band = band.name;
            frame.rect = QRectF(origin, QSizeF(m_report.printableWidth(), m.height));
            page.items.append(std::move(frame));
        }
        for (const Placed& p : m.objects) {
            const Object& o = *p.object;
            Item item;
            item.band = band.name;
            item.name = o.name;
            item.rect = p.rect.translated(origin);
            if (o.kind == Object::Kind::Picture) {
                item.kind = Item::Kind::Picture;
                item.picture = m_pictures.value(&o);
            } else if (o.kind == Object::Kind::Line) {
                item.kind = Item::Kind::Line;
                item.dashed = o.dashed;
            } else {
                item.text = p.text;
                item.lines = p.lines;
                item.style = p.style;
                item.align = o.align;
                item.clip = !o.grows;
            }
            page.items.append(std::move(item));
        }
        m_y += m.height;
    }

    const Template& m_report;
    Source& m_source;
    Prepared m_out;
    Context m_context;
    QHash<QString, int> m_counts;
    QHash<const Object*, Expression> m_expressions;
    QHash<const Object*, int> m_pictures;
    std::map<std::pair<const Object*, QString>, TextStyle> m_shrunk;
    Row m_last;
    double m_pageFooterHeight = 0;
    double m_y = 0;
};

} // namespace

Prepared prepare(const Template& report, Source& source) {
    return Layout(report, source).run();
}

} // namespace Report
