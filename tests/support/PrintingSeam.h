#pragma once

#include "reports/PreparedReport.h"
#include "reports/Printing.h"

#include <QVector>
#include <functional>

// Keeps every report the program would have shown in the preview, so that tests read its pages; no window
// opens. whilePreviewing runs as if the user were looking at the preview.
class RecordingPrinting : public Printing {
public:
    RecordingPrinting() { Printing::install(this); }
    ~RecordingPrinting() override { Printing::install(nullptr); }
    RecordingPrinting(const RecordingPrinting&) = delete;
    RecordingPrinting& operator=(const RecordingPrinting&) = delete;

    void preview(const Report::Prepared& report, QWidget*) override {
        shown.append(report);
        if (whilePreviewing)
            whilePreviewing(report);
    }

    const Report::Prepared& last() const { return shown.last(); }

    QVector<Report::Prepared> shown;
    std::function<void(const Report::Prepared&)> whilePreviewing;
};
