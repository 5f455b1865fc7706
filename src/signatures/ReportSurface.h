#pragma once
// What the report needs from a printer: text placed in inches, text measures, solid lines and
// page ends. The printer, a PDF file, the print preview and the tests each supply one.

#include <QString>

namespace talvern::signatures {

struct ReportFont {
    QString family;
    double points = 12;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool operator==(const ReportFont&) const = default;
};

class ReportSurface {
public:
    virtual ~ReportSurface() = default;
    // The printable area of a page, in inches; every position below is measured from its
    // top-left corner.
    virtual double pageWidth() const = 0;
    virtual double pageHeight() const = 0;
    virtual void setFont(const ReportFont& font) = 0;
    // Measures in inches in the current font.
    virtual double textWidth(const QString& text) const = 0;
    virtual double textHeight(const QString& text) const = 0;
    // Text whose top-left corner is at (x, y).
    virtual void drawText(double x, double y, const QString& text) = 0;
    virtual void drawLine(double x1, double y1, double x2, double y2) = 0;
    // Ends the current page and begins the next; the first page is begun already.
    virtual void newPage() = 0;
};

} // namespace talvern::signatures
