#include "PainterReportSurface.h"

#include <QFontDatabase>
#include <QPagedPaintDevice>
#include <QPainter>

namespace talvern::signatures {

QFont ReportQFont(const ReportFont& font) {
    QFont f;
    // "Times" is asked for by its metric twin, which the package depends on, so the page has
    // the same measures on every machine; then Times itself, then any serif face.
    QStringList families;
    if (font.family == QLatin1String("Times")) families << QString::fromLatin1(kTimesTwin);
    families << font.family << QStringLiteral("Times New Roman") << QStringLiteral("Nimbus Roman")
             << QStringLiteral("DejaVu Serif");
    f.setFamilies(families);
    f.setStyleHint(QFont::Serif);
    // One glyph a letter: a ligature (the "fi" of "Configuration" drawn as one glyph) reads
    // back from a PDF as one character, and a search of the file no longer finds the word.
    f.setStyleStrategy(QFont::PreferNoShaping);
    f.setPointSizeF(font.points);
    f.setBold(font.bold);
    f.setItalic(font.italic);
    f.setUnderline(font.underline);
    return f;
}

PainterReportSurface::PainterReportSurface(QPainter& painter, QPagedPaintDevice& device)
    : painter_(painter), device_(device), dpiX_(device.logicalDpiX()), dpiY_(device.logicalDpiY()),
      metrics_(painter.font(), &device) {
    painter_.setPen(QPen(Qt::black, dpiX_ / 144.0, Qt::SolidLine)); // half a point
}

double PainterReportSurface::pageWidth() const {
    return device_.width() / dpiX_;
}

double PainterReportSurface::pageHeight() const {
    return device_.height() / dpiY_;
}

void PainterReportSurface::setFont(const ReportFont& font) {
    const QFont f = ReportQFont(font);
    painter_.setFont(f);
    metrics_ = QFontMetricsF(f, &device_);
}

double PainterReportSurface::textWidth(const QString& text) const {
    return metrics_.horizontalAdvance(text) / dpiX_;
}

double PainterReportSurface::textHeight(const QString&) const {
    return metrics_.height() / dpiY_;
}

void PainterReportSurface::drawText(double x, double y, const QString& text) {
    painter_.drawText(QPointF(x * dpiX_, y * dpiY_ + metrics_.ascent()), text);
}

void PainterReportSurface::drawLine(double x1, double y1, double x2, double y2) {
    painter_.drawLine(QPointF(x1 * dpiX_, y1 * dpiY_), QPointF(x2 * dpiX_, y2 * dpiY_));
}

void PainterReportSurface::newPage() {
    device_.newPage();
}

} // namespace talvern::signatures
