#pragma once

#include <QColor>
#include <QMarginsF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QVector>

// A banded report as data: the page, the bands in the order they print, and the objects each band draws at
// millimetre positions. Texts carry expressions in brackets: [DATASET."FIELD"], [Date], [Page], [Page#],
// [COUNT(BandName)].
namespace Report {

enum class BandKind { ReportTitle, PageHeader, MasterData, Footer, Summary, PageFooter };

// Where an object stands across its band.
enum class Place {
    Left,      // rect.x from the band's left edge
    RightEdge, // against the band's right edge (rect.x is the gap left there)
    Centred,   // centred across the band
    LeftOf,    // immediately left of the object named in leftOf, a space apart
};

struct TextStyle {
    double points = 10;
    bool bold = false;
    QColor color = Qt::black;
};

struct Object {
    enum class Kind { Text, Picture, Line };
    Kind kind = Kind::Text;
    QString name;
    QRectF rect; // millimetres from the band's left edge and top
    // The text with its expressions; for a picture, the image's resource path.
    QString text;
    TextStyle style;
    Qt::Alignment align = Qt::AlignLeft | Qt::AlignTop;
    Place place = Place::Left;
    QString leftOf;
    bool grows = false;     // widens to fit its text, keeping the side its text is aligned to
    bool wraps = false;     // breaks into lines at its width; lines past its box are cut
    bool stretches = false; // a wrapping text that grows taller instead, and its band with it
    // A text too big for its box prints in smaller type until it fits: a line its width, a wrapping text its
    // lines within its height. For values that must never be cut (money, dates) and names of any length.
    bool shrinks = false;
    bool dashed = false;  // a line drawn in dashes, where paper is cut
    bool literal = false; // a text printed as it stands, brackets and all (what the program sets)
};

struct Band {
    QString name;
    BandKind kind = BandKind::MasterData;
    double height = 0;
    bool framed = false;
    QVector<Object> objects;
};

struct Template {
    QString name;
    QSizeF pageSize; // millimetres as the page is printed: a landscape page is the wider
    QMarginsF margins;
    QString dataset; // the name expressions give the data
    QVector<Band> bands;

    double printableWidth() const { return pageSize.width() - margins.left() - margins.right(); }
    const Band* band(BandKind kind) const;
    Object* object(const QString& objectName);
    const Object* object(const QString& objectName) const;
    // The text of a named object, set by the program before preparing and printed as it stands (a customer
    // named "[Date]" is not an expression); throws for a name the template lacks.
    void setText(const QString& objectName, const QString& text);
};

// Builders for the templates' tables.
Object text(const QString& name, const QString& text, QRectF rect, TextStyle style,
            Qt::Alignment align = Qt::AlignLeft | Qt::AlignTop);
Object picture(const QString& name, const QString& resource, QRectF rect);
// A line from the rect's top left to its bottom right: across when the rect has no height, down when it has
// no width.
Object line(const QString& name, QRectF rect, bool dashed = false);
Object placed(Object object, Place place, const QString& leftOf = {});
Object growing(Object object);
Object shrinking(Object object);

} // namespace Report
