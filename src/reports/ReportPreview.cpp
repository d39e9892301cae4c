#include "reports/ReportPreview.h"

#include "platform/widgets/FileDialogs.h"
#include "platform/widgets/Messages.h"
#include "reports/PreparedReport.h"
#include "reports/ReportPainter.h"

#include <QDir>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QStandardPaths>
#include <QToolBar>
#include <QVBoxLayout>

ReportPreview::ReportPreview(const Report::Prepared& report, QWidget* parent)
    : QDialog(parent)
    , m_report(report)
    , m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
    setObjectName(QStringLiteral("ReportPreview"));
    setWindowTitle(QStringLiteral("Visualizar Impressão - %1").arg(report.name));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* tools = new QToolBar(this);
    layout->addWidget(tools);
    m_view = new QPrintPreviewWidget(m_printer.get(), this);
    layout->addWidget(m_view, 1);

    // The preview paints into the printer as printing would, on paper of the report's own size.
    Report::setUpPrinter(report, *m_printer);
    connect(m_view, &QPrintPreviewWidget::paintRequested, this, [this](QPrinter* printer) {
        guarded([this, printer] {
            QPainter painter(printer);
            for (int p = 0; p < m_report.pages.size(); ++p) {
                if (p > 0)
                    printer->newPage();
                Report::paintPage(painter, m_report, p);
            }
        });
    });
    connect(m_view, &QPrintPreviewWidget::previewChanged, this, &ReportPreview::showPageNumber);

    tools->addAction(QStringLiteral("Imprimir"), this, [this] { guarded([this] { printReport(); }); });
    tools->addAction(QStringLiteral("Salvar PDF"), this, [this] { guarded([this] { savePdf(); }); });
    tools->addSeparator();
    tools->addAction(QStringLiteral("Primeira"), m_view, [this] { m_view->setCurrentPage(1); });
    tools->addAction(QStringLiteral("Anterior"), m_view,
                     [this] { m_view->setCurrentPage(m_view->currentPage() - 1); });
    m_pageLabel = new QLabel(tools);
    m_pageLabel->setMinimumWidth(90);
    m_pageLabel->setAlignment(Qt::AlignCenter);
    tools->addWidget(m_pageLabel);
    tools->addAction(QStringLiteral("Próxima"), m_view,
                     [this] { m_view->setCurrentPage(m_view->currentPage() + 1); });
    tools->addAction(QStringLiteral("Última"), m_view,
                     [this] { m_view->setCurrentPage(m_view->pageCount()); });
    tools->addSeparator();
    tools->addAction(QStringLiteral("Aumentar"), m_view, [this] { m_view->zoomIn(); });
    tools->addAction(QStringLiteral("Diminuir"), m_view, [this] { m_view->zoomOut(); });
    tools->addAction(QStringLiteral("Largura"), m_view, [this] { m_view->fitToWidth(); });
    tools->addAction(QStringLiteral("Página Inteira"), m_view, [this] { m_view->fitInView(); });
    tools->addAction(QStringLiteral("Uma Página"), m_view, [this] { m_view->setSinglePageViewMode(); });
    tools->addAction(QStringLiteral("Várias Páginas"), m_view, [this] { m_view->setFacingPagesViewMode(); });
    tools->addSeparator();
    tools->addAction(QStringLiteral("Fechar"), this, &QDialog::accept);
    resize(1000, 760);
}

ReportPreview::~ReportPreview() = default;

void ReportPreview::showPageNumber() {
    m_pageLabel->setText(QStringLiteral("%1 de %2").arg(m_view->currentPage()).arg(m_view->pageCount()));
}

void ReportPreview::printReport() {
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    dialog.setMinMax(1, int(m_report.pages.size()));
    if (dialog.exec() != QDialog::Accepted)
        return;
    Report::print(m_report, printer);
}

void ReportPreview::savePdf() {
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString path = FileDialogs::instance().saveFile(
        this, QStringLiteral("Salvar PDF"), QDir(dir).filePath(m_report.name + QStringLiteral(".pdf")),
        QStringLiteral("PDF (*.pdf)"));
    if (path.isEmpty())
        return;
    Report::writePdf(m_report, path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)
                                   ? path
                                   : path + QStringLiteral(".pdf"));
}
