#include "modGraph.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <cmath>

namespace talvern::signatures {

namespace {

const QChar kDegree(0x00B0);

constexpr double kTwipsPerInch = 1440.0;
constexpr double kPointsPerInch = 72.0;
constexpr double kFontPoints = 7.8;
constexpr double kLineTwips = 15.0; // line width: one pixel on a screen, a fine line on paper
constexpr float kPlottableLimit = 1e6f;

// Whether sample i of a trace stands on the plot: its value and its crank angle.
bool SampleShown(const CpfdData& d, const SampleArray& values, int i) {
    return Plottable(d.Pos[i]) && Plottable(values[i]);
}

} // namespace

bool Plottable(float value) {
    return std::isfinite(value) && std::abs(value) < kPlottableLimit;
}

int LeftOutSamples(const CpfdData& data, const TraceSet& traces) {
    int leftOut = 0;
    for (int i = 0; i < data.Count(); ++i) {
        bool shown = true;
        for (int t = 0; t < 4; ++t)
            if (traces[t] && !SampleShown(data, data.Trace(t), i)) shown = false;
        if (!shown) ++leftOut;
    }
    return leftOut;
}

QString LeftOutText(int count) {
    if (count <= 0) return QString();
    return (count == 1 ? QStringLiteral("1 sample") : QStringLiteral("%1 samples").arg(count)) +
           QStringLiteral(" left out (not a number or out of range)");
}

const std::array<TraceStyle, 4>& TraceStyles() {
    static const std::array<TraceStyle, 4> styles{{
        {QColor(0, 0, 128), QChar(0x00A4), QString(QChar(0x00A4)) + QStringLiteral(" = Current(A)"),
         QStringLiteral("Current"), true},
        {QColor(0, 128, 0), QChar(0x002B),
         QStringLiteral("+ = Error(") + kDegree + QStringLiteral(")"), QStringLiteral("Error"),
         false},
        {QColor(0, 128, 128), QChar(0x00F8),
         QString(QChar(0x00F8)) + QStringLiteral(" = Actual(") + kDegree + QStringLiteral(")"),
         QStringLiteral("Actual"), false},
        {QColor(128, 0, 0), QChar(0x00D7),
         QString(QChar(0x00D7)) + QStringLiteral(" = Desired(") + kDegree + QStringLiteral(")"),
         QStringLiteral("Reference"), false},
    }};
    return styles;
}

std::optional<TraceSet> ParseTraceSet(const QString& digits) {
    TraceSet set{};
    for (QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('3')) return std::nullopt;
        set[c.unicode() - '0'] = true;
    }
    return set;
}

QString GraphTitle(const QString& fileTitle) {
    return QStringLiteral("Servo Cupfeed (Current / Error / Profile) Data Signatures: ") +
           fileTitle;
}

FullScales ComputeFullScales(const CpfdData& data, const TraceSet& traces,
                             const CpfdData* reference) {
    FullScales scales;
    const auto raise = [&](const CpfdData& d) {
        for (int t = 0; t < 4; ++t) {
            if (!traces[t]) continue;
            float& scale = TraceStyles()[t].amps ? scales.amps : scales.degrees;
            const SampleArray& values = d.Trace(t);
            for (int i = 0; i < d.Count(); ++i)
                if (values[i] > scale && SampleShown(d, values, i)) scale = values[i];
        }
    };
    raise(data);
    if (reference) raise(*reference);
    return scales;
}

QStringList ScaleLabels(float fullScale, bool amps, const GraphView& view, const QLocale& locale) {
    QStringList labels;
    for (int p = 0; p <= 100; p += 20) {
        const double fraction = view.scaleFrom + p / 100.0 * (view.scaleTo - view.scaleFrom);
        const double value = fraction * static_cast<double>(fullScale);
        labels << locale.toString(value, 'f', 1) + (amps ? QStringLiteral("A") : QString(kDegree));
    }
    return labels;
}

namespace {
double AngleStep(const GraphView& view) {
    const double span = view.angleTo - view.angleFrom;
    for (double step : {30.0, 10.0, 5.0, 2.0, 1.0, 0.5, 0.2, 0.1})
        if (span / step >= 4) return step;
    return 0.1;
}
} // namespace

std::vector<double> AngleTicks(const GraphView& view) {
    const double step = AngleStep(view);
    std::vector<double> ticks;
    for (long k = static_cast<long>(std::ceil(view.angleFrom / step - 1e-9));
         k * step <= view.angleTo + 1e-9; ++k)
        ticks.push_back(k * step);
    return ticks;
}

QString AngleLabel(double angle, const GraphView& view, const QLocale& locale) {
    const int decimals = AngleStep(view) >= 1 ? 0 : 1;
    return locale.toString(angle, 'f', decimals) + kDegree;
}

QString LegendLine(const TraceSet& traces) {
    QString legend;
    for (int t = 0; t < 4; ++t)
        if (traces[t]) legend += TraceStyles()[t].legend + QStringLiteral("     ");
    return legend;
}

QString GainsText(const CpfdData& data, const QLocale& locale) {
    return QStringLiteral("P: ") + locale.toString(data.PGain(), 'f', 2) +
           QStringLiteral("   I: ") + locale.toString(data.IGain) + QStringLiteral("   D: ") +
           locale.toString(data.DGain);
}

PlotRect FramePlotRect(double widthTwips, double heightTwips, double lineHeightTwips) {
    PlotRect r;
    r.left = 600;
    r.top = 600;
    // The axis title's row starts 300 twips above the bottom edge; the plot ends 600 twips
    // above the line that follows it.
    r.bottom = static_cast<int>(std::lround(heightTwips - 300 + lineHeightTwips - 600));
    r.width = static_cast<int>(std::lround(widthTwips - 600)) - r.left;
    return r;
}

double ReferenceValueAt(const CpfdData& reference, int trace, double angle) {
    const int n = reference.Count();
    if (n == 0) return 0;
    const SampleArray& v = reference.Trace(trace);
    const SampleArray& pos = reference.Pos;
    if (angle <= pos[0] || n == 1) return v[0];
    if (angle >= pos[n - 1]) return v[n - 1];
    const auto end = pos.begin() + n;
    const int hi = static_cast<int>(std::upper_bound(pos.begin(), end, static_cast<float>(angle)) -
                                    pos.begin());
    const int lo = hi - 1;
    const double span = pos[hi] - pos[lo];
    if (span <= 0) return v[lo];
    const double u = (angle - pos[lo]) / span;
    return v[lo] + u * (v[hi] - v[lo]);
}

BandComparison CompareWithReference(const CpfdData& data, const CpfdData& reference,
                                    const TraceSet& traces, const FullScales& scales,
                                    double tolerancePercent) {
    BandComparison result;
    if (reference.Count() == 0 ||
        std::none_of(traces.begin(), traces.end(), [](bool b) { return b; }))
        return result;
    result.compared = data.Count();
    result.outsideAt.assign(result.compared, {});
    for (int i = 0; i < result.compared; ++i) {
        bool any = false;
        for (int t = 0; t < 4; ++t) {
            if (!traces[t]) continue;
            if (!SampleShown(data, data.Trace(t), i)) continue;
            const double full = TraceStyles()[t].amps ? scales.amps : scales.degrees;
            const double band = tolerancePercent / 100.0 * full;
            const double apart =
                std::abs(data.Trace(t)[i] - ReferenceValueAt(reference, t, data.Pos[i]));
            if (std::isfinite(apart) && apart > band) {
                result.outsideAt[i][t] = true;
                any = true;
            }
        }
        if (any) ++result.outside;
    }
    return result;
}

QString BandSummary(const BandComparison& c, double tolerancePercent, const QLocale& locale) {
    return QStringLiteral("%1 of %2 samples outside ").arg(c.outside).arg(c.compared) +
           QChar(0x00B1) + locale.toString(tolerancePercent, 'g', 3) + QStringLiteral(" %");
}

int NearestSample(const CpfdData& data, double angle) {
    int best = -1;
    double bestApart = 0;
    for (int i = 0; i < data.Count(); ++i) {
        if (!Plottable(data.Pos[i])) continue;
        const double apart = std::abs(data.Pos[i] - angle);
        if (best < 0 || apart < bestApart) {
            best = i;
            bestApart = apart;
        }
    }
    return best;
}

QString CursorText(const CpfdData& data, int sample, const TraceSet& traces,
                   const QLocale& locale) {
    if (sample < 0 || sample >= data.Count()) return QString();
    QString text = locale.toString(static_cast<double>(data.Pos[sample]), 'f', 1) + kDegree;
    for (int t = 0; t < 4; ++t) {
        if (!traces[t]) continue;
        const TraceStyle& s = TraceStyles()[t];
        const double v = data.Trace(t)[sample];
        text += QStringLiteral("   ") + s.name + QStringLiteral(" ") +
                (s.amps ? locale.toString(v, 'f', 2) + QStringLiteral(" A")
                        : locale.toString(v, 'f', 1) + kDegree);
    }
    return text;
}

// --- Mapping ---

GraphMapping::GraphMapping(const PlotRect& plot, double pixelsPerTwip, const GraphView& view,
                           const FullScales& scales)
    : plot_(plot), s_(pixelsPerTwip), view_(view), scales_(scales) {}

double GraphMapping::x(double angle) const {
    const double u = (angle - view_.angleFrom) / (view_.angleTo - view_.angleFrom);
    return (plot_.left + u * plot_.width) * s_;
}

double GraphMapping::y(double value, bool amps) const {
    const double full = amps ? scales_.amps : scales_.degrees;
    const double u = (value / full - view_.scaleFrom) / (view_.scaleTo - view_.scaleFrom);
    return (plot_.bottom - u * plot_.height()) * s_;
}

double GraphMapping::angleAt(double px) const {
    const double u = (px / s_ - plot_.left) / plot_.width;
    return view_.angleFrom + std::clamp(u, 0.0, 1.0) * (view_.angleTo - view_.angleFrom);
}

double GraphMapping::scaleAt(double py) const {
    const double u = (plot_.bottom - py / s_) / plot_.height();
    return view_.scaleFrom + std::clamp(u, 0.0, 1.0) * (view_.scaleTo - view_.scaleFrom);
}

double GraphMapping::left() const {
    return plot_.left * s_;
}
double GraphMapping::right() const {
    return plot_.right() * s_;
}
double GraphMapping::top() const {
    return plot_.top * s_;
}
double GraphMapping::bottom() const {
    return plot_.bottom * s_;
}

namespace {

// "MS Sans Serif" is asked for by the sans face of the package the report's font comes from,
// so the graph has the same measures on every machine; one glyph a letter, as in the report.
QFont GraphFont(double dpi) {
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("MS Sans Serif"),
                      QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setStyleStrategy(QFont::PreferNoShaping);
    font.setPixelSize(
        std::max(1, static_cast<int>(std::lround(kFontPoints / kPointsPerInch * dpi))));
    return font;
}

const QColor kOutsideColor{255, 0, 255};

QRectF PlotArea(const GraphMapping& m) {
    return QRectF(QPointF(m.left(), m.top()), QPointF(m.right(), m.bottom()));
}

FullScales ScalesFor(const CpfdData& data, const GraphOptions& options) {
    return ComputeFullScales(data, options.traces, options.reference);
}

// The painter's state for one drawing, in twips converted to device units.
class Surface {
public:
    Surface(QPainter& p, double width, double height, double dpi)
        : p_(p), s_(dpi / kTwipsPerInch), widthTwips_(width / s_), heightTwips_(height / s_),
          font_(GraphFont(dpi)) {
        setFont(false);
    }
    double s() const { return s_; }
    double width() const { return widthTwips_; }
    double height() const { return heightTwips_; }

    void setFont(bool titleStyle) {
        QFont f = font_;
        f.setBold(titleStyle);
        f.setUnderline(titleStyle);
        p_.setFont(f);
        metrics_ = QFontMetricsF(f);
    }
    double textWidth(const QString& text) const { return metrics_.horizontalAdvance(text) / s_; }
    double textHeight() const { return metrics_.height() / s_; }
    double ascent() const { return metrics_.ascent(); }
    // Text whose top left corner is at (x, y) twips.
    void print(double x, double y, const QString& text, const QColor& color) {
        p_.setPen(color);
        p_.drawText(QPointF(x * s_, y * s_ + metrics_.ascent()), text);
    }
    void pen(const QColor& color, Qt::PenStyle style) {
        QPen pen(color, std::max(1.0, kLineTwips * s_), style);
        pen.setCapStyle(Qt::FlatCap);
        p_.setPen(pen);
        p_.setBrush(Qt::NoBrush);
    }
    void line(double x1, double y1, double x2, double y2) {
        p_.drawLine(QPointF(x1 * s_, y1 * s_), QPointF(x2 * s_, y2 * s_));
    }
    QPainter& painter() { return p_; }

private:
    QPainter& p_;
    double s_;
    double widthTwips_;
    double heightTwips_;
    QFont font_;
    QFontMetricsF metrics_{QFont()};
};

PlotRect DrawGraphFrame(Surface& g, const GraphOptions& options) {
    const QString title = GraphTitle(options.fileTitle);
    g.setFont(true);
    g.print(g.width() / 2 - g.textWidth(title) / 2, 100, title, kTextColor);
    g.setFont(false);
    const QString axisTitle = QStringLiteral("Main Crank Position");
    const double axisY = g.height() - 300;
    g.print(g.width() / 2 - g.textWidth(axisTitle) / 2, axisY, axisTitle, kTextColor);

    const PlotRect r = FramePlotRect(g.width(), g.height(), g.textHeight());
    g.pen(kTextColor, Qt::SolidLine);
    g.line(r.left, r.bottom, r.right(), r.bottom);
    g.line(r.left, r.top, r.left, r.bottom);
    g.line(r.right(), r.top, r.right(), r.bottom);

    const GraphView& view = options.view;
    const double span = view.angleTo - view.angleFrom;
    const std::vector<double> ticks = AngleTicks(view);
    g.pen(kGridColor, Qt::DotLine);
    for (double a : ticks) {
        if (a <= view.angleFrom || a >= view.angleTo) continue; // the axes are there
        const double x = r.left + (a - view.angleFrom) / span * r.width;
        g.line(x, r.top, x, r.bottom);
    }
    const double labelY = r.bottom + g.textHeight() / 2;
    for (double a : ticks) {
        const QString label = AngleLabel(a, view);
        const double x = r.left + (a - view.angleFrom) / span * r.width;
        g.print(x - g.textWidth(label) / 2, labelY, label, kTextColor);
    }
    return r;
}

void DrawBand(Surface& g, const GraphMapping& m, const CpfdData& reference, int trace,
              double band) {
    const int n = reference.Count();
    if (n < 2) return;
    const TraceStyle& style = TraceStyles()[trace];
    const SampleArray& v = reference.Trace(trace);
    QPolygonF upper, lower, middle;
    for (int i = 0; i < n; ++i) {
        if (!SampleShown(reference, v, i)) continue;
        upper << QPointF(m.x(reference.Pos[i]), m.y(v[i] + band, style.amps));
        lower << QPointF(m.x(reference.Pos[i]), m.y(v[i] - band, style.amps));
        middle << QPointF(m.x(reference.Pos[i]), m.y(v[i], style.amps));
    }
    QPolygonF area = upper;
    for (auto it = lower.crbegin(); it != lower.crend(); ++it)
        area << *it;
    QColor fill = style.color;
    fill.setAlpha(40);
    QPainter& p = g.painter();
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawPolygon(area);
    g.pen(style.color, Qt::DashLine);
    p.drawPolyline(middle);
}

void DrawTrace(Surface& g, const GraphMapping& m, const PlotRect& r, const CpfdData& data,
               int trace, float fullScale, const GraphOptions& options) {
    const TraceStyle& style = TraceStyles()[trace];
    const SampleArray& v = data.Trace(trace);
    const int n = data.Count();
    QPainter& p = g.painter();
    if (n >= 2) {
        std::vector<std::optional<QPointF>> points(n);
        for (int i = 0; i < n; ++i)
            if (SampleShown(data, v, i))
                points[i] = QPointF(m.x(data.Pos[i]), m.y(v[i], style.amps));
        // Zoomed in, the trace stays inside the plot; the whole stroke is not clipped, so a
        // negative sample shows below the axis.
        if (!options.view.whole()) p.setClipRect(PlotArea(m));
        g.pen(style.color, Qt::SolidLine);
        // A sample left out breaks the trace: nothing is drawn where there is no value.
        QPolygonF run;
        for (int i = 0; i <= n; ++i) {
            if (i < n && points[i]) {
                run << *points[i];
                continue;
            }
            if (run.size() >= 2) p.drawPolyline(run);
            run.clear();
        }
        if (options.printing) {
            const QString marker(style.marker);
            const double halfW = g.textWidth(marker) / 2 * g.s();
            const double halfH = g.textHeight() / 2 * g.s();
            const double ascent = g.ascent();
            p.setPen(style.color);
            for (int i = 1; i < n; ++i)
                if (points[i])
                    p.drawText(QPointF(points[i]->x() - halfW, points[i]->y() - halfH + ascent),
                               marker);
        }
        p.setClipping(false);
        if (options.printing) {
            // The legend line grows by one entry per printed trace, overprinting itself.
            TraceSet sofar = options.traces;
            for (int later = trace + 1; later < 4; ++later)
                sofar[later] = false;
            const QString legend = LegendLine(sofar);
            const double y = g.height() - 300;
            g.print(r.left, y, legend, kTextColor);
            const QString gains = GainsText(data);
            g.print(r.right() - g.textWidth(gains), y, gains, kTextColor);
        }
    }
    g.pen(kGridColor, Qt::DotLine);
    for (int pct = 20; pct <= 100; pct += 20) {
        const double y = r.bottom - pct / 100.0 * r.height();
        g.line(r.left, y, r.right(), y);
    }
    const QStringList labels = ScaleLabels(fullScale, style.amps, options.view);
    for (int k = 0; k < labels.size(); ++k) {
        const QString& label = labels.at(k);
        const double x = style.amps ? r.left - g.textWidth(label) - 100 : r.right() + 100;
        const double y = r.bottom - k * 20 / 100.0 * r.height() - g.textHeight() / 2;
        g.print(x, y, label, kTextColor);
    }
}

// Rings around the samples that lie outside the reference band.
void DrawOutside(Surface& g, const GraphMapping& m, const CpfdData& data,
                 const BandComparison& comparison) {
    QPainter& p = g.painter();
    g.pen(kOutsideColor, Qt::SolidLine);
    const double radius = std::max(2.0, 45 * g.s());
    for (int i = 0; i < comparison.compared; ++i)
        for (int t = 0; t < 4; ++t)
            if (comparison.outsideAt[i][t])
                p.drawEllipse(
                    QPointF(m.x(data.Pos[i]), m.y(data.Trace(t)[i], TraceStyles()[t].amps)), radius,
                    radius);
}

} // namespace

GraphMapping MappingFor(double widthPixels, double heightPixels, double dpi, const CpfdData& data,
                        const GraphOptions& options) {
    const double s = dpi / kTwipsPerInch;
    const QFontMetricsF metrics(GraphFont(dpi));
    const PlotRect r = FramePlotRect(widthPixels / s, heightPixels / s, metrics.height() / s);
    return GraphMapping(r, s, options.view, ScalesFor(data, options));
}

void PlotSignatures(QPainter& painter, double widthPixels, double heightPixels, double dpi,
                    const CpfdData& data, const GraphOptions& options) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    Surface g(painter, widthPixels, heightPixels, dpi);
    const PlotRect r = DrawGraphFrame(g, options);
    const FullScales scales = ScalesFor(data, options);
    const GraphMapping m(r, g.s(), options.view, scales);

    BandComparison comparison;
    if (options.reference) {
        painter.setClipRect(PlotArea(m));
        for (int t = 0; t < 4; ++t) {
            if (!options.traces[t]) continue;
            const double full = TraceStyles()[t].amps ? scales.amps : scales.degrees;
            DrawBand(g, m, *options.reference, t, options.tolerancePercent / 100.0 * full);
        }
        painter.setClipping(false);
        comparison = CompareWithReference(data, *options.reference, options.traces, scales,
                                          options.tolerancePercent);
    }
    for (int t = 0; t < 4; ++t)
        if (options.traces[t])
            DrawTrace(g, m, r, data, t, TraceStyles()[t].amps ? scales.amps : scales.degrees,
                      options);
    if (comparison.outside > 0) {
        painter.setClipRect(PlotArea(m));
        DrawOutside(g, m, data, comparison);
        painter.setClipping(false);
    }
    if (options.cursorSample >= 0 && options.cursorSample < data.Count()) {
        const double x = m.x(data.Pos[options.cursorSample]);
        if (x >= m.left() && x <= m.right()) {
            g.pen(kTextColor, Qt::SolidLine);
            painter.drawLine(QPointF(x, m.top()), QPointF(x, m.bottom()));
        }
    }
    painter.restore();
}

} // namespace talvern::signatures
