#pragma once
// modReport: the two printouts of the program, the set-up report and the signature data, drawn
// page by page on any ReportSurface, with the page header, footer, page numbers and page-break
// test they share.

#include "CpfdData.h"
#include "ReportSurface.h"
#include "SetupCompare.h"
#include "SetupData.h"

#include <QLocale>
#include <QString>

namespace talvern::signatures {

enum class ReportKind { Setup = 0, Signature = 1, Compare = 2 };

// What the printouts take from outside besides their record.
struct ReportContext {
    QString printedAt; // the footer's date and time, in the locale's general date format
    QLocale locale;    // digit grouping and decimal separator
};

// The page machinery of both printouts, with the printer's print position (inches; y is 0 on a
// page that has just begun). A page is begun on the surface only when something is drawn on
// it, so the new page that ends a printout never becomes a blank sheet.
class ReportPage {
public:
    static constexpr double kLeftMargin = 0.5;

    ReportPage(ReportSurface& surface, QString title, QString printedAt);

    // 1 body, 3 underlined column headings, 5 section headings (2 and 4 are not used).
    void SetReportFont(int style);
    void PrintPageHeader(ReportKind kind);
    // The footer of the current page, then a new page.
    void EndPage();
    // Makes room for the given number of lines, with a new page (footer and header) if needed.
    void CheckPageSpace(ReportKind kind, bool forceNewPage, int lines);

    // Text at the print position; the line variant then moves to the start of the next line.
    void printOnLine(const QString& text);
    void printLine(const QString& text = {});

    ReportSurface& surface() { return surface_; }
    int pageNumber() const { return pageNumber_; }

    double CurrentX = 0;
    double CurrentY = 0;
    double headingX = kLeftMargin;
    double bodyTop = 0;

private:
    void setFont(const ReportFont& font);
    void beginPageIfDue();

    ReportSurface& surface_;
    QString title_;
    QString printedAt_;
    int pageNumber_ = 1;
    bool pageDue_ = false;
};

// The set-up report: header "TALVERN Report: " + title, the six sections of the record.
void PrintReport(ReportSurface& surface, const setup::SetupData& data, const QString& title,
                 const ReportContext& context);

// The signature printout: the PID gains and one row per sample under the column headings.
void PrintSignatureReport(ReportSurface& surface, const CpfdData& data, const QString& fileTitle,
                          const ReportContext& context);

// The set-up compare: header "TALVERN Set-up Compare: " + title, a row per value under the
// column headings (the value, the open set-up, the other source, the factory value), a row that
// differs marked "*", the count at the end.
struct CompareColumns {
    QString open;
    QString other;
};
void PrintCompareReport(ReportSurface& surface, const setup::SetupComparison& comparison,
                        const QString& title, const CompareColumns& columns, bool onlyDiffering,
                        const ReportContext& context);

} // namespace talvern::signatures
