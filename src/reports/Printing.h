#pragma once

class QWidget;

namespace Report {
struct Prepared;
}

// Every prepared report reaches the user through this seam: the program shows it in the preview, from which
// the user prints or saves a PDF; tests install a recorder and read the pages instead.
class Printing {
public:
    virtual ~Printing() = default;
    // Returns when the user has closed the preview.
    virtual void preview(const Report::Prepared& report, QWidget* parent) = 0;

    static void show(const Report::Prepared& report, QWidget* parent) { instance().preview(report, parent); }
    static Printing& instance();
    // Installs a seam (not owned); nullptr goes back to the preview window.
    static void install(Printing* printing);
};

class PreviewPrinting : public Printing {
public:
    void preview(const Report::Prepared& report, QWidget* parent) override;
};
