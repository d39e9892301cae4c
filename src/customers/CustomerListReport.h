#pragma once

#include "reports/ReportTemplate.h"

// The printed customer list: one framed block per customer with everything registered, and how many were
// printed. A4 portrait.
namespace CustomerListReport {

Report::Template relCliente();

} // namespace CustomerListReport
