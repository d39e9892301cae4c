#pragma once

#include "data/Shop.h"

#include <ostream>

// How the shop's details print in failures.
inline void PrintTo(const ShopDetails& d, std::ostream* os) {
    *os << QStringList{d.name,  d.document, d.address, d.telephone, d.city, Shop::kindCode(d.pixKind),
                       d.pixKey}
               .join(u'|')
               .toStdString();
}
