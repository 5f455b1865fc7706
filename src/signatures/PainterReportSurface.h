#pragma once
// The report on any paged paint device: a printer, a PDF file, the print preview's pages.

#include "ReportSurface.h"

#include <QFont>
#include <QFontMetricsF>

class QPagedPaintDevice;
class QPainter;

namespace talvern::signatures {

// Times' metric twin, from the package fonts-liberation.
inline constexpr char kTimesTwin[] = "Liberation Serif";

// The font of a report style: "Times" as its metric twin where the machine has it, else Times
// or the machine's serif face.
QFont ReportQFont(const ReportFont& font);

class PainterReportSurface final : public ReportSurface {
public:
    // The painter is active on the device and stays so while the surface is in use.
    PainterReportSurface(QPainter& painter, QPagedPaintDevice& device);

    double pageWidth() const override;
    double pageHeight() const override;
    void setFont(const ReportFont& font) override;
    double textWidth(const QString& text) const override;
    double textHeight(const QString& text) const override;
    void drawText(double x, double y, const QString& text) override;
    void drawLine(double x1, double y1, double x2, double y2) override;
    void newPage() override;

private:
    QPainter& painter_;
    QPagedPaintDevice& device_;
    double dpiX_;
    double dpiY_;
    QFontMetricsF metrics_;
};

} // namespace talvern::signatures
