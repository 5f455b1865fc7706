// The main window's printed set-up report: on paper, in the print preview, as a PDF file.
#include "ReportCommands.h"
#include "frmMDIMain.h"
#include "modUtility.h"

#include <QAction>

namespace talvern::shell {

void frmMDIMain::installPrintCommands() {
    setup::FileDialogs* dialogs = platform_.fileDialogs;
    if (!dialogs) {
        if (!qtFileDialogs_) qtFileDialogs_ = std::make_unique<QtFileDialogs>(this);
        dialogs = qtFileDialogs_.get();
    }
    reportOutput_ = std::make_unique<ReportOutput>(this, *platform_.answers, *dialogs);
    gReportOutput = reportOutput_.get();
    setCommand(mnuFilePrint, [this] { mnuFilePrint_Click(); });
    setCommand(mnuFilePrintPreview, [this] { mnuFilePrintPreview_Click(); });
    setCommand(mnuFileExportPdf, [this] { mnuFileExportPdf_Click(); });
}

ReportOutput& frmMDIMain::reportOutput() {
    return *reportOutput_;
}

void frmMDIMain::mnuFilePrint_Click() {
    gWaitDisplayMode = 1;
    reportOutput_->PrintOnPaper(gWaitDisplayMode, SetupReportDrawing(gSetup, gFileNameCaption));
}

void frmMDIMain::mnuFilePrintPreview_Click() {
    reportOutput_->Preview(SetupReportDrawing(gSetup, gFileNameCaption));
}

void frmMDIMain::mnuFileExportPdf_Click() {
    reportOutput_->ExportPdf(PdfNameFor(gFileNameTitle, QStringLiteral("report")),
                             QStringLiteral("TALVERN Report: ") + gFileNameCaption,
                             SetupReportDrawing(gSetup, gFileNameCaption));
}

} // namespace talvern::shell
