#include "ReportOutput.h"

#include "frmWaitDisplay.h"

#include <QDir>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace talvern::shell {

ReportOutput::ReportOutput(QWidget* parent, link::UserAnswers& answers, setup::FileDialogs& files)
    : parent_(parent), answers_(answers), files_(files) {
    printerDialog = [](QPrinter& printer, QWidget* owner) {
        QPrintDialog dialog(&printer, owner);
        dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
        return dialog.exec() == QDialog::Accepted;
    };
}

ReportOutput::~ReportOutput() {
    delete preview_.data();
}

QPrinter& ReportOutput::printer() {
    if (!printer_) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer_->setDocName(QStringLiteral("TALVERN"));
    }
    return *printer_;
}

bool ReportOutput::PrintOnPaper(int waitMode, const signatures::ReportDrawing& draw) {
    QPrinter& p = printer();
    p.setPageOrientation(QPageLayout::Portrait); // the graph's preview may have turned it
    if (!printerDialog(p, parent_)) return false;
    bool painted = false;
    frmWaitDisplay wait(parent_);
    wait.Run(waitMode, [&] { painted = signatures::PaintReport(p, draw); });
    if (painted && p.printerState() != QPrinter::Error) return true;
    const QString where = p.outputFileName().isEmpty()
                              ? p.printerName()
                              : QDir::toNativeSeparators(p.outputFileName());
    answers_.ask(QStringLiteral("The printout could not be produced on ") + where +
                     QStringLiteral(".\r\n\r\nCheck the printer and try again."),
                 QStringLiteral("Printer Error"), link::Buttons::Ok, link::Icon::Critical);
    return false;
}

void ReportOutput::Preview(const signatures::ReportDrawing& draw) {
    PreviewPages([draw](QPrinter& target) { signatures::PaintReport(target, draw); });
}

void ReportOutput::PreviewPages(const std::function<void(QPrinter&)>& paint,
                                QPageLayout::Orientation orientation) {
    if (preview_) return;
    printer().setPageOrientation(orientation);
    auto* dialog = new QPrintPreviewDialog(&printer(), parent_);
    dialog->setObjectName(QStringLiteral("frmPrintPreview"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(QStringLiteral("Print Preview"));
    QObject::connect(dialog, &QPrintPreviewDialog::paintRequested, dialog,
                     [paint](QPrinter* target) { paint(*target); });
    preview_ = dialog;
    dialog->setWindowModality(Qt::WindowModal);
    dialog->resize(900, 800);
    dialog->show();
}

bool ReportOutput::ExportPdf(const QString& suggestedName, const QString& documentTitle,
                             const signatures::ReportDrawing& draw) {
    const QString folder = lastPdfFolder.isEmpty() ? QDir::homePath() : lastPdfFolder;
    QString path = files_.saveFile(QDir(folder).filePath(suggestedName), kPdfFilter);
    if (path.isEmpty()) return false;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".pdf");
    lastPdfFolder = QFileInfo(path).absolutePath();
    QString message;
    if (signatures::WriteReportPdf(path, documentTitle, draw, &message)) return true;
    answers_.ask(message, QStringLiteral("TALVERN"), link::Buttons::Ok, link::Icon::Exclamation);
    return false;
}

} // namespace talvern::shell
