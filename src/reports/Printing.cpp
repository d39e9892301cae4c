#include "reports/Printing.h"

#include "reports/ReportPreview.h"

namespace {
PreviewPrinting g_preview;
Printing* g_installed = nullptr;
} // namespace

Printing& Printing::instance() {
    return g_installed ? *g_installed : g_preview;
}

void Printing::install(Printing* printing) {
    g_installed = printing;
}

void PreviewPrinting::preview(const Report::Prepared& report, QWidget* parent) {
    ReportPreview window(report, parent);
    window.exec();
}
