#pragma once

#include <QDialog>
#include <memory>

class QLabel;
class QPrinter;
class QPrintPreviewWidget;

namespace Report {
struct Prepared;
}

// The preview window: the prepared pages one by one or side by side, zoomed, printed on a printer the user
// chooses in the system's print dialog, or saved as a PDF.
class ReportPreview : public QDialog {
    Q_OBJECT
public:
    ReportPreview(const Report::Prepared& report, QWidget* parent = nullptr);
    ~ReportPreview() override;

    void printReport();
    void savePdf();

private:
    void showPageNumber();

    const Report::Prepared& m_report;
    std::unique_ptr<QPrinter> m_printer;
    QPrintPreviewWidget* m_view = nullptr;
    QLabel* m_pageLabel = nullptr;
};
