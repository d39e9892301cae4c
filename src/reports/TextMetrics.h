#pragma once

#include "reports/ReportTemplate.h"

#include <QFont>
#include <QString>
#include <QStringList>

// Text measured in millimetres, the same way for the layout and for every device that paints it: at a fine
// reference resolution, so that a line laid out to fit fits on paper, on the screen and in the PDF.
namespace Report {

// Arial where installed, Liberation Sans (the same widths) otherwise.
QString fontFamily();
QFont font(const TextStyle& style);

class TextMetrics {
public:
    static double width(const TextStyle& style, const QString& text);
    static double lineHeight(const TextStyle& style);
    // The text broken into lines no wider than width, at word boundaries where it can (and at line breaks).
    static QStringList wrap(const TextStyle& style, const QString& text, double width);
};

} // namespace Report
