// talvern-render report and signature-report: the two printouts of a file, as PDF.
#include "CpfdData.h"
#include "RenderCommands.h"
#include "ReportPdf.h"
#include "SdtFile.h"
#include "SetupFiles.h"
#include "modReport.h"

#include <QDateTime>

namespace talvern::app {

namespace {

// The titles the windows give these messages.
const QString kSetupFileTitle = QStringLiteral("TALVERN");
const QString kSignatureFileTitle = QStringLiteral("Servo Cupfeed Data");

signatures::ReportContext Now() {
    return {setup::GeneralDateText(QDateTime::currentDateTime()), QLocale()};
}

int Write(RenderContext& c, const QString& path, const QString& title,
          const signatures::ReportDrawing& draw) {
    QString message;
    if (signatures::WriteReportPdf(path, title, draw, &message)) return kRenderDone;
    c.tell(kSetupFileTitle, message); // as the window's PDF export says it
    return kRenderFailed;
}

// The report is titled as the program titles it once the file is open: "[" + name + "]".
int Report(RenderContext& c, const QStringList& args) {
    if (args.size() != 2) return kRenderUsage;
    QString message;
    const std::optional<setup::SetupData> data = setup::LoadSdtFile(args.at(0), &message);
    if (!data) {
        c.tell(kSetupFileTitle, message);
        return kRenderFailed;
    }
    const QString title = QLatin1Char('[') + setup::FileTitleOf(args.at(0)) + QLatin1Char(']');
    const setup::SetupData fitted = setup::FittedToTable(*data);
    return Write(c, args.at(1), QStringLiteral("TALVERN Report: ") + title,
                 [&, context = Now()](signatures::ReportSurface& surface) {
                     signatures::PrintReport(surface, fitted, title, context);
                 });
}

int SignatureReport(RenderContext& c, const QStringList& args) {
    if (args.size() != 2) return kRenderUsage;
    QString message;
    const std::optional<signatures::CpfdData> data = signatures::LoadCfdFile(args.at(0), &message);
    if (!data) {
        c.tell(kSignatureFileTitle, message);
        return kRenderFailed;
    }
    const QString title = setup::FileTitleOf(args.at(0));
    return Write(c, args.at(1),
                 QStringLiteral("Servo Cupfeed (Current / Error / Profile) Signature Data:") +
                     title,
                 [&, context = Now()](signatures::ReportSurface& surface) {
                     signatures::PrintSignatureReport(surface, *data, title, context);
                 });
}

} // namespace

void AddReportCommands(RenderCommandTable& table) {
    table[QStringLiteral("report")] = Report;
    table[QStringLiteral("signature-report")] = SignatureReport;
}

} // namespace talvern::app
