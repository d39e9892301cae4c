#pragma once

#include "data/CashFlow.h"
#include "reports/ReportTemplate.h"

// The printed consultation: every listed entry, under a headline naming the kind, the period and the
// customer, with the total at the end. A4 landscape.
namespace CashFlowReport {

Report::Template relatorio();
// Sets the headline objects (Memo3, Memo16, Memo17, Memo18, Memo19) for a consultation; customerName is
// printed only for one customer's.
void setHeadline(Report::Template& report, const CashFlow::Consultation& consultation);
// "mmmm/yy" upper-cased: the month's full name in the program's language, a slash, two digits of the year.
QString monthHeadline(const QDate& day);

} // namespace CashFlowReport
