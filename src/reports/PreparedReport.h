#pragma once

#include "reports/ReportTemplate.h"

#include <QImage>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QVector>

// A report laid out into pages: what the preview, the printer and the PDF paint, and what tests read.
// Each item keeps only what it draws.
namespace Report {

struct Item {
    enum class Kind : quint8 { Text, Picture, Frame, Line };
    Kind kind = Kind::Text;
    QRectF rect;  // millimetres on the page
    QString band; // the band that drew it
    QString name; // the template object's name; empty for a band's frame
    QString text; // the evaluated text
    // A wrapping text's lines as laid out (the lines that fit, when cut at its box); empty for one line.
    QStringList lines;
    TextStyle style;
    Qt::Alignment align = Qt::AlignLeft | Qt::AlignTop;
    bool clip = false;
    bool dashed = false; // a line drawn in dashes
    int picture = -1;    // index into the report's pictures
};

struct Page {
    QVector<Item> items;

    // The items an object drew on this page, top to bottom.
    QVector<const Item*> itemsOf(const QString& name) const;
    // The frames a band drew on this page.
    QVector<const Item*> framesOf(const QString& band) const;
};

struct Prepared {
    QString name;
    QSizeF pageSize; // millimetres
    QVector<Page> pages;
    QVector<QImage> pictures;

    // Every item of an object over all pages, in print order.
    QVector<const Item*> itemsOf(const QString& object) const;
    // The first item of an object, or nullptr.
    const Item* first(const QString& object) const;
    int framesOf(const QString& band) const;
};

} // namespace Report
