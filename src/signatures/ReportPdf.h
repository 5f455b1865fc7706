#pragma once
// The printouts as PDF files, and the one routine that paints a printout on any paged device.

#include "ReportSurface.h"

#include <QPageLayout>
#include <QString>
#include <functional>

class QPagedPaintDevice;

namespace talvern::signatures {

using ReportDrawing = std::function<void(ReportSurface&)>;

// Paints the drawing on the device's pages; false when the device cannot be painted on.
bool PaintReport(QPagedPaintDevice& device, const ReportDrawing& draw);

// The paper of a PDF without a printer: Letter where the locale measures in inches, else A4,
// with a quarter inch all round that a printer could not reach either.
QPageLayout DefaultReportPageLayout();

// Writes the drawing as a PDF (fonts embedded) in place of the file, or leaves the file as it
// was; on failure the message names the file and the cause.
bool WriteReportPdf(const QString& path, const QString& documentTitle, const ReportDrawing& draw,
                    QString* message);

} // namespace talvern::signatures
