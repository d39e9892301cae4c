#pragma once

#include "reports/PreparedReport.h"
#include "reports/ReportSource.h"
#include "reports/ReportTemplate.h"

// Lays a template out into pages over the rows of its source, once: the report title on the first page, the
// page header on each, a data band per row (stretched to its tallest text where it stretches), the footer
// and the summary after the last row, and the page footer at the bottom of every page. A band that does not
// fit in what is left of a page starts the next one. The date is the clock's at preparation.
namespace Report {

Prepared prepare(const Template& report, Source& source);

} // namespace Report
