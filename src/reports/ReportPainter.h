#pragma once

#include "reports/PreparedReport.h"

class QPainter;
class QPrinter;

// Paints prepared pages on any device: the preview, a printer, a PDF file.
namespace Report {

// Paints one page with the painter's origin at the paper's top left corner, at the device's resolution.
void paintPage(QPainter& painter, const Prepared& report, int page);
// The printer's paper and orientation made the report's, with no margins of its own.
void setUpPrinter(const Prepared& report, QPrinter& printer);
// Every page (or the printer's chosen range) on a printer already set up; the page size is the report's.
void print(const Prepared& report, QPrinter& printer);
// Writes the pages as a PDF file; the file is replaced only when the whole document was written. Throws
// BrolaviError when it cannot be written.
void writePdf(const Prepared& report, const QString& path);

} // namespace Report
