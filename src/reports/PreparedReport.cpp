#include "reports/PreparedReport.h"

namespace Report {

QVector<const Item*> Page::itemsOf(const QString& name) const {
    QVector<const Item*> out;
    for (const Item& i : items) {
        if (i.kind != Item::Kind::Frame && i.name == name)
            out << &i;
    }
    return out;
}

QVector<const Item*> Page::framesOf(const QString& band) const {
    QVector<const Item*> out;
    for (const Item& i : items) {
        if (i.kind == Item::Kind::Frame && i.band == band)
            out << &i;
    }
    return out;
}

QVector<const Item*> Prepared::itemsOf(const QString& object) const {
    QVector<const Item*> out;
    for (const Page& p : pages)
        out << p.itemsOf(object);
    return out;
}

const Item* Prepared::first(const QString& object) const {
    for (const Page& p : pages) {
        if (const QVector<const Item*> found = p.itemsOf(object); !found.isEmpty())
            return found.first();
    }
    return nullptr;
}

int Prepared::framesOf(const QString& band) const {
    int n = 0;
    for (const Page& p : pages)
        n += int(p.framesOf(band).size());
    return n;
}

} // namespace Report
