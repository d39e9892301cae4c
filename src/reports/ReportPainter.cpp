#include "reports/ReportPainter.h"

#include "platform/core/Errors.h"
#include "reports/TextMetrics.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>

namespace Report {

namespace {

constexpr double FramePenMm = 0.25;

QPageLayout pageLayout(const Prepared& report) {
    const QSizeF size = report.pageSize;
    const bool landscape = size.width() > size.height();
    const QPageSize paper(landscape ? size.transposed() : size, QPageSize::Millimeter, QString(),
                          QPageSize::ExactMatch);
    return QPageLayout(paper, landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(),
                       QPageLayout::Millimeter);
}

void paintText(QPainter& painter, const Item& item, double scale) {
    const QRectF box(item.rect.left() * scale, item.rect.top() * scale, item.rect.width() * scale,
                     item.rect.height() * scale);
    painter.save();
    if (item.clip)
        painter.setClipRect(box);
    painter.setFont(font(item.style));
    painter.setPen(item.style.color);
    const QStringList single{item.text};
    const QStringList& lines = item.lines.isEmpty() ? single : item.lines;
    const double line = TextMetrics::lineHeight(item.style) * scale;
    const double block = line * double(lines.size());
    double top = box.top();
    if (item.align & Qt::AlignVCenter)
        top += (box.height() - block) / 2;
    else if (item.align & Qt::AlignBottom)
        top += box.height() - block;
    const int horizontal = int(item.align & Qt::AlignHorizontal_Mask);
    for (const QString& text : lines) {
        painter.drawText(QRectF(box.left(), top, box.width(), line),
                         horizontal | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip, text);
        top += line;
    }
    painter.restore();
}

} // namespace

void paintPage(QPainter& painter, const Prepared& report, int page) {
    const double scale = painter.device()->logicalDpiX() / 25.4;
    painter.save();
    for (const Item& item : report.pages.at(page).items) {
        switch (item.kind) {
        case Item::Kind::Frame: {
            painter.setPen(QPen(Qt::black, FramePenMm * scale));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(QRectF(item.rect.topLeft() * scale, item.rect.size() * scale));
            break;
        }
        case Item::Kind::Line: {
            QPen pen(Qt::black, FramePenMm * scale);
            if (item.dashed)
                pen.setStyle(Qt::DashLine);
            painter.setPen(pen);
            painter.drawLine(item.rect.topLeft() * scale, item.rect.bottomRight() * scale);
            break;
        }
        case Item::Kind::Picture: {
            const QImage& image = report.pictures.value(item.picture);
            if (image.isNull())
                break;
            const QRectF box(item.rect.topLeft() * scale, item.rect.size() * scale);
            QSizeF fitted = QSizeF(image.size()).scaled(box.size(), Qt::KeepAspectRatio);
            const QRectF target(box.left() + (box.width() - fitted.width()) / 2,
                                box.top() + (box.height() - fitted.height()) / 2, fitted.width(),
                                fitted.height());
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(target, image);
            break;
        }
        case Item::Kind::Text:
            paintText(painter, item, scale);
            break;
        }
    }
    painter.restore();
}

void setUpPrinter(const Prepared& report, QPrinter& printer) {
    printer.setFullPage(true);
    printer.setPageLayout(pageLayout(report));
}

void print(const Prepared& report, QPrinter& printer) {
    setUpPrinter(report, printer);
    const int count = int(report.pages.size());
    int from = 1;
    int to = count;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        from = std::max(1, printer.fromPage());
        to = std::min(count, printer.toPage() > 0 ? printer.toPage() : count);
    }
    QPainter painter;
    if (!painter.begin(&printer))
        throw BrolaviError(
            QStringLiteral("Não foi possível imprimir na impressora %1").arg(printer.printerName()));
    for (int p = from; p <= to; ++p) {
        if (p > from)
            printer.newPage();
        paintPage(painter, report, p - 1);
    }
    painter.end();
}

void writePdf(const Prepared& report, const QString& path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw BrolaviError(
            QStringLiteral("Não foi possível gravar o arquivo %1: %2").arg(path, file.errorString()));
    {
        QPdfWriter writer(&file);
        writer.setTitle(report.name);
        writer.setCreator(QStringLiteral("Brolavi"));
        writer.setResolution(1200);
        writer.setPageLayout(pageLayout(report));
        QPainter painter;
        if (!painter.begin(&writer))
            throw BrolaviError(QStringLiteral("Não foi possível gravar o arquivo %1").arg(path));
        for (int p = 0; p < report.pages.size(); ++p) {
            if (p > 0)
                writer.newPage();
            paintPage(painter, report, p);
        }
        painter.end();
    }
    if (!file.commit())
        throw BrolaviError(
            QStringLiteral("Não foi possível gravar o arquivo %1: %2").arg(path, file.errorString()));
}

} // namespace Report
