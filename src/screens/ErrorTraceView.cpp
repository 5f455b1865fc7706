#include "ErrorTraceView.h"

#include <QPainter>
#include <QPainterPath>

namespace talvern::screens {

namespace {
const QColor kErrorColour(0, 110, 0);
const QColor kPositiveColour(200, 0, 0);
const QColor kNegativeColour(0, 0, 200);
const QColor kMarkerColour(150, 90, 0);

void DrawLine(QPainter& painter, const std::vector<QPointF>& points, const QPen& pen) {
    if (points.size() < 2) return;
    painter.setPen(pen);
    painter.drawPolyline(points.data(), static_cast<int>(points.size()));
}
} // namespace

void DrawErrorTrace(QPainter& painter, const QRectF& area, const ErrorTrace& trace,
                    const QPalette& palette) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QFontMetricsF metrics(painter.font());
    const double labelWidth = metrics.horizontalAdvance(QStringLiteral("-20000")) + 6;
    const double lineHeight = metrics.height();
    const QRectF plot = area.adjusted(labelWidth, lineHeight * 1.2, -6, -lineHeight * 1.4);
    painter.fillRect(plot, palette.base());
    painter.setPen(palette.color(QPalette::Mid));
    painter.drawRect(plot);

    const double scale = trace.scale();
    const TraceGeometry geometry(plot, trace.endTime(), scale);
    painter.setPen(palette.color(QPalette::Text));
    for (double counts : {scale, 0.0, -scale}) {
        const double y = geometry.y(counts);
        painter.drawText(QRectF(area.left(), y - lineHeight / 2, labelWidth - 4, lineHeight),
                         Qt::AlignRight | Qt::AlignVCenter, QString::number(counts));
    }
    painter.setPen(QPen(palette.color(QPalette::Mid), 0, Qt::DotLine));
    painter.drawLine(QPointF(plot.left(), geometry.y(0)), QPointF(plot.right(), geometry.y(0)));
    painter.setPen(palette.color(QPalette::Text));
    painter.drawText(QRectF(plot.left(), plot.bottom() + 2, plot.width(), lineHeight),
                     Qt::AlignLeft | Qt::AlignTop, QStringLiteral("-30 s"));
    painter.drawText(QRectF(plot.left(), plot.bottom() + 2, plot.width(), lineHeight),
                     Qt::AlignRight | Qt::AlignTop, QStringLiteral("now"));

    // Legend above the plot.
    const struct {
        const char* text;
        QColor colour;
    } legend[3] = {{"Absolute error", kErrorColour},
                   {"Positive peak", kPositiveColour},
                   {"Negative peak", kNegativeColour}};
    double x = plot.left();
    for (const auto& entry : legend) {
        painter.setPen(QPen(entry.colour, 2));
        painter.drawLine(QPointF(x, area.top() + lineHeight / 2),
                         QPointF(x + 14, area.top() + lineHeight / 2));
        painter.setPen(palette.color(QPalette::Text));
        const QString text = QString::fromLatin1(entry.text);
        painter.drawText(QPointF(x + 18, area.top() + metrics.ascent()), text);
        x += 30 + metrics.horizontalAdvance(text);
    }

    painter.setClipRect(plot);
    // Labels of markers close together go on the next row down; when three rows are taken the
    // line is drawn without its label.
    double rowEnd[3] = {-1e9, -1e9, -1e9};
    for (const TraceMarker& marker : trace.markers()) {
        const double mx = geometry.x(marker.time);
        painter.setPen(QPen(kMarkerColour, 1, Qt::DashLine));
        painter.drawLine(QPointF(mx, plot.top()), QPointF(mx, plot.bottom()));
        for (int row = 0; row < 3; ++row) {
            if (mx < rowEnd[row]) continue;
            painter.setPen(kMarkerColour);
            painter.drawText(QPointF(mx + 3, plot.top() + metrics.ascent() + 1 + row * lineHeight),
                             marker.label);
            rowEnd[row] = mx + 6 + metrics.horizontalAdvance(marker.label);
            break;
        }
    }
    DrawLine(painter, geometry.positivePeakLine(trace), QPen(kPositiveColour, 1.5));
    DrawLine(painter, geometry.negativePeakLine(trace), QPen(kNegativeColour, 1.5));
    DrawLine(painter, geometry.errorLine(trace), QPen(kErrorColour, 1.2));
    painter.restore();
}

ErrorTraceView::ErrorTraceView(const ErrorTrace& trace, QWidget* parent)
    : QWidget(parent), trace_(trace) {
    setObjectName(QStringLiteral("picCpfdTuneTrace"));
    setAccessibleName(tr("Following error trace"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void ErrorTraceView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    DrawErrorTrace(painter, QRectF(rect()), trace_, palette());
}

} // namespace talvern::screens
