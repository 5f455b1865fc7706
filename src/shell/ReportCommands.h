#pragma once
// The two printouts with what the program holds at the moment of the command, and the
// signature printout's commands for the signature data window.

#include "CpfdData.h"
#include "ReportOutput.h"
#include "SetupCompare.h"
#include "SetupData.h"

namespace talvern::shell {

extern ReportOutput* gReportOutput; // the main window's; null while there is none

// The drawings keep their own copy of the record and of the time of the command, so the preview
// can draw its pages again later and show the same report.
signatures::ReportDrawing SetupReportDrawing(const setup::SetupData& data, const QString& title);
signatures::ReportDrawing SignatureReportDrawing(const signatures::CpfdData& data,
                                                 const QString& fileTitle);

// The printed set-up compare: the open set-up's title against the other source's.
signatures::ReportDrawing CompareReportDrawing(const setup::SetupComparison& comparison,
                                               const QString& openTitle, const QString& otherTitle,
                                               bool onlyDiffering);

// A file name for the PDF of a printout: the data file's name with ".pdf", or the fallback.
QString PdfNameFor(const QString& fileTitle, const QString& fallback);

// "&Print Data": the printer dialog, then the printout with the wait window of mode 2.
void PrintSignatureData(const signatures::CpfdData& data, const QString& fileTitle);
void PreviewSignatureData(const signatures::CpfdData& data, const QString& fileTitle);
void ExportSignatureDataPdf(const signatures::CpfdData& data, const QString& fileTitle);

} // namespace talvern::shell
