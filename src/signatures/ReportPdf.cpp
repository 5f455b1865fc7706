#include "ReportPdf.h"

#include "PainterReportSurface.h"

#include <QLocale>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

namespace talvern::signatures {

bool PaintReport(QPagedPaintDevice& device, const ReportDrawing& draw) {
    QPainter painter;
    if (!painter.begin(&device)) return false;
    PainterReportSurface surface(painter, device);
    draw(surface);
    return painter.end();
}

QPageLayout DefaultReportPageLayout() {
    const bool inches = QLocale().measurementSystem() != QLocale::MetricSystem;
    return QPageLayout(QPageSize(inches ? QPageSize::Letter : QPageSize::A4), QPageLayout::Portrait,
                       QMarginsF(0.25, 0.25, 0.25, 0.25), QPageLayout::Inch);
}

bool WriteReportPdf(const QString& path, const QString& documentTitle, const ReportDrawing& draw,
                    QString* message) {
    QSaveFile file(path);
    auto fail = [&](const QString& cause) {
        if (message) *message = QStringLiteral("Cannot write %1: %2").arg(path, cause);
        return false;
    };
    if (!file.open(QIODevice::WriteOnly)) return fail(file.errorString());
    {
        QPdfWriter writer(&file);
        writer.setPageLayout(DefaultReportPageLayout());
        writer.setTitle(documentTitle);
        writer.setCreator(QStringLiteral("TALVERN"));
        if (!PaintReport(writer, draw)) return fail(QStringLiteral("the page could not be drawn"));
    }
    if (!file.commit()) return fail(file.errorString());
    return true;
}

} // namespace talvern::signatures
