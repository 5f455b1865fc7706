#include "ReportCommands.h"

#include "SetupFiles.h"
#include "modReport.h"
#include "modUtility.h"

#include <QDateTime>
#include <QFileInfo>

namespace talvern::shell {

ReportOutput* gReportOutput = nullptr;

namespace {
signatures::ReportContext Now() {
    return {setup::GeneralDateText(QDateTime::currentDateTime()), QLocale()};
}

const QString kSignatureTitle =
    QStringLiteral("Servo Cupfeed (Current / Error / Profile) Signature Data:");
} // namespace

signatures::ReportDrawing SetupReportDrawing(const setup::SetupData& data, const QString& title) {
    return [data, title, context = Now()](signatures::ReportSurface& surface) {
        signatures::PrintReport(surface, data, title, context);
    };
}

signatures::ReportDrawing SignatureReportDrawing(const signatures::CpfdData& data,
                                                 const QString& fileTitle) {
    return [data, fileTitle, context = Now()](signatures::ReportSurface& surface) {
        signatures::PrintSignatureReport(surface, data, fileTitle, context);
    };
}

signatures::ReportDrawing CompareReportDrawing(const setup::SetupComparison& comparison,
                                               const QString& openTitle, const QString& otherTitle,
                                               bool onlyDiffering) {
    return [comparison, openTitle, otherTitle, onlyDiffering,
            context = Now()](signatures::ReportSurface& surface) {
        signatures::PrintCompareReport(surface, comparison,
                                       openTitle + QStringLiteral(" against ") + otherTitle,
                                       {openTitle, otherTitle}, onlyDiffering, context);
    };
}

QString PdfNameFor(const QString& fileTitle, const QString& fallback) {
    const QString base = QFileInfo(fileTitle).completeBaseName();
    return (base.isEmpty() ? fallback : base) + QStringLiteral(".pdf");
}

void PrintSignatureData(const signatures::CpfdData& data, const QString& fileTitle) {
    if (!gReportOutput) return;
    gWaitDisplayMode = 2;
    gReportOutput->PrintOnPaper(gWaitDisplayMode, SignatureReportDrawing(data, fileTitle));
}

void PreviewSignatureData(const signatures::CpfdData& data, const QString& fileTitle) {
    if (gReportOutput) gReportOutput->Preview(SignatureReportDrawing(data, fileTitle));
}

void ExportSignatureDataPdf(const signatures::CpfdData& data, const QString& fileTitle) {
    if (gReportOutput)
        gReportOutput->ExportPdf(PdfNameFor(fileTitle, QStringLiteral("signature")),
                                 kSignatureTitle + fileTitle,
                                 SignatureReportDrawing(data, fileTitle));
}

} // namespace talvern::shell
