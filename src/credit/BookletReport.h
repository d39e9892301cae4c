#pragma once

#include "data/Booklet.h"
#include "reports/PreparedReport.h"
#include "reports/ReportTemplate.h"

#include <QVector>

struct ShopDetails;

// The customer as the slips name them.
struct BookletCustomer {
    QString name;
    QString cpf;
    QString street;
    QString number;
    QString district;
    QString city;
    QString state;
};

// The booklet of payment slips (carnê): one slip per open instalment, three to an A4 portrait page with
// dashed cut lines between them. Each slip names the shop, the customer, the item, the parcel, the due date
// and the value, and has on its left a stub the shop keeps, with lines for the day paid and a signature.
namespace BookletReport {

Report::Template carne();
// The address on one line, leaving out what was not registered: "RUA A, 10 - CENTRO - LINS/SP".
QString addressLine(const BookletCustomer& customer);
Report::Prepared prepare(const ShopDetails& shop, const BookletCustomer& customer,
                         const QVector<OpenInstalment>& instalments);

} // namespace BookletReport
