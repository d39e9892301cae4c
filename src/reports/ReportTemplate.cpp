#include "reports/ReportTemplate.h"

#include "platform/core/Errors.h"

namespace Report {

const Band* Template::band(BandKind kind) const {
    for (const Band& b : bands) {
        if (b.kind == kind)
            return &b;
    }
    return nullptr;
}

Object* Template::object(const QString& objectName) {
    return const_cast<Object*>(std::as_const(*this).object(objectName));
}

const Object* Template::object(const QString& objectName) const {
    for (const Band& b : bands) {
        for (const Object& o : b.objects) {
            if (o.name == objectName)
                return &o;
        }
    }
    return nullptr;
}

void Template::setText(const QString& objectName, const QString& value) {
    Object* o = object(objectName);
    if (!o)
        throw BrolaviError(QStringLiteral("O relatório %1 não tem o objeto %2").arg(name, objectName));
    o->text = value;
    o->literal = true;
}

Object text(const QString& name, const QString& value, QRectF rect, TextStyle style, Qt::Alignment align) {
    Object o;
    o.name = name;
    o.text = value;
    o.rect = rect;
    o.style = style;
    o.align = align;
    return o;
}

Object picture(const QString& name, const QString& resource, QRectF rect) {
    Object o;
    o.kind = Object::Kind::Picture;
    o.name = name;
    o.text = resource;
    o.rect = rect;
    return o;
}

Object line(const QString& name, QRectF rect, bool dashed) {
    Object o;
    o.kind = Object::Kind::Line;
    o.name = name;
    o.rect = rect;
    o.dashed = dashed;
    return o;
}

Object placed(Object object, Place place, const QString& leftOf) {
    object.place = place;
    object.leftOf = leftOf;
    return object;
}

Object growing(Object object) {
    object.grows = true;
    return object;
}

Object shrinking(Object object) {
    object.shrinks = true;
    return object;
}

} // namespace Report
