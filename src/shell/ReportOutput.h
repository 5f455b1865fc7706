#pragma once
// Where a printout goes: on paper through the printer dialog while the wait window stands on
// screen, into the print preview, or into a PDF file. The drawing is the same in all three.

#include "FileDialogs.h"
#include "Platform.h"
#include "ReportPdf.h"

#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

class QPrinter;

namespace talvern::shell {

inline const QString kPdfFilter = QStringLiteral("PDF Files(*.pdf)");

class ReportOutput {
public:
    ReportOutput(QWidget* parent, link::UserAnswers& answers, setup::FileDialogs& files);
    ~ReportOutput();

    // Asks for the printer and its settings; false when the user cancelled. The platform's
    // printer dialog unless replaced.
    std::function<bool(QPrinter&, QWidget*)> printerDialog;

    // The printer dialog, then the printout with the wait window of the mode on screen. A
    // cancelled dialog ends silently; a printer fault is reported. True when printed.
    bool PrintOnPaper(int waitMode, const signatures::ReportDrawing& draw);
    // The print preview of the drawing (window-modal; returns at once).
    void Preview(const signatures::ReportDrawing& draw);
    // The print preview of any pages painted on the printer (the graph's, for one), in the
    // given orientation; its printer button prints them.
    void PreviewPages(const std::function<void(QPrinter&)>& paint,
                      QPageLayout::Orientation orientation = QPageLayout::Portrait);
    // Asks for a file (starting in the folder of the last one) and writes the printout to it.
    // True when written.
    bool ExportPdf(const QString& suggestedName, const QString& documentTitle,
                   const signatures::ReportDrawing& draw);

    QPrinter& printer();
    QWidget* previewWindow() const { return preview_; }
    QString lastPdfFolder;

private:
    QWidget* parent_;
    link::UserAnswers& answers_;
    setup::FileDialogs& files_;
    std::unique_ptr<QPrinter> printer_; // keeps the user's choices from one printout to the next
    QPointer<QWidget> preview_;
};

} // namespace talvern::shell
