#pragma once

#include "data/Ledger.h"
#include "data/Shop.h"
#include "reports/PreparedReport.h"
#include "reports/ReportTemplate.h"

#include <optional>

// The receipt of one payment: the shop, the customer, when and how it was paid, the entries paid (or the
// partial amount), the amount received, the change and what the customer still owes. A4 portrait.
namespace ReceiptReport {

struct Receipt {
    ShopDetails shop;
    QString customer;
    Settlement settlement;
    std::optional<Currency> received; // as typed; none when what was typed is not an amount
};

// What was given back: nothing when the amount handed over is unknown or below what was paid.
Currency change(const Receipt& receipt);

Report::Template recibo();
// The receipt laid out into its pages.
Report::Prepared prepared(const Receipt& receipt);

} // namespace ReceiptReport
