#pragma once
// The signature graph: one drawing routine for the window, the printer, a PDF writer and an
// image, on any QPainter. Up to four traces against main-crank angle, current on a left-hand
// amps scale, the three angle traces on a shared right-hand degrees scale; printing adds the
// point markers, the legend line and the gains.
//
// The layout is reckoned in twips (1/1440 inch) and converted to the device's own units, so a
// page and a window keep the same proportions. The geometry, the scales and the texts are plain
// functions; PlotSignatures only puts them on the device.

#include "CpfdData.h"

#include <QColor>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

class QPainter;

namespace talvern::signatures {

struct TraceStyle {
    QColor color;
    QChar marker;   // printed at each sample
    QString legend; // marker + " = Current(A)" ...
    QString name;   // for the cursor read-out
    bool amps;      // on the left-hand amps scale; else on the degrees scale
};
// Trace 0 current, 1 following error, 2 actual profile, 3 reference profile.
const std::array<TraceStyle, 4>& TraceStyles();
inline const QColor kGridColor{128, 128, 128};
inline const QColor kTextColor{0, 0, 0};

using TraceSet = std::array<bool, 4>;
// "0123", "02" ...: the traces named; nothing for a text with anything else in it.
std::optional<TraceSet> ParseTraceSet(const QString& digits);

QString GraphTitle(const QString& fileTitle);

// Whether a sample can stand on the plot. A file may hold anything: NaN, an infinity or a float
// near its limits would take the scale and the trace with it, and no board value comes near a
// million (its bytes scale to at most 25 A and 45°), so such a sample is left out of the traces
// and the scales.
bool Plottable(float value);
// How many samples the ticked traces leave out (a sample counted once, however many of its
// traces are left out); a sample whose crank angle cannot be plotted is left out of every trace.
int LeftOutSamples(const CpfdData& data, const TraceSet& traces);
// "2 samples left out (not a number or out of range)"; empty for none.
QString LeftOutText(int count);

struct FullScales {
    float amps = 1.0f;
    float degrees = 1.0f;
};
// The largest sample of the ticked current trace, and of the ticked angle traces, each at least
// 1.0; samples left out of the traces take no part. A reference signature, when given, takes
// part so that it stays on the plot.
FullScales ComputeFullScales(const CpfdData& data, const TraceSet& traces,
                             const CpfdData* reference = nullptr);

// A crank-angle range and a range of the scales (fractions of full scale) to show.
struct GraphView {
    double angleFrom = 0;
    double angleTo = 360;
    double scaleFrom = 0;
    double scaleTo = 1;
    bool whole() const {
        return angleFrom == 0 && angleTo == 360 && scaleFrom == 0 && scaleTo == 1;
    }
};

// The six scale labels from the bottom of the view up, at 20 % steps: one decimal, then "A"
// for the amps scale and ° for the degrees scale.
QStringList ScaleLabels(float fullScale, bool amps, const GraphView& view = {},
                        const QLocale& locale = QLocale());

// The crank angles that get a label in the view (every 30° of the whole stroke; finer steps
// when zoomed in), and their texts.
std::vector<double> AngleTicks(const GraphView& view);
QString AngleLabel(double angle, const GraphView& view, const QLocale& locale = QLocale());

// The printed legend line once every ticked trace has added its entry.
QString LegendLine(const TraceSet& traces);
// "P: 12.05   I: 100   D: 25".
QString GainsText(const CpfdData& data, const QLocale& locale = QLocale());

// The plot rectangle in twips, for a surface of the given size and a text line height.
struct PlotRect {
    int left = 600;
    int top = 600;
    int bottom = 0;
    int width = 0;
    int height() const { return bottom - top; }
    int right() const { return left + width; }
};
PlotRect FramePlotRect(double widthTwips, double heightTwips, double lineHeightTwips);

// Comparison with a reference signature: a sample is outside when a ticked trace lies further
// than the tolerance (a percentage of that trace's full scale) from the reference, which is
// interpolated at the sample's crank angle.
struct BandComparison {
    int compared = 0;
    int outside = 0;
    std::vector<std::array<bool, 4>> outsideAt; // per sample, per trace
};
BandComparison CompareWithReference(const CpfdData& data, const CpfdData& reference,
                                    const TraceSet& traces, const FullScales& scales,
                                    double tolerancePercent);
// "12 of 180 samples outside ±10 %".
QString BandSummary(const BandComparison& comparison, double tolerancePercent,
                    const QLocale& locale = QLocale());
// The reference's value of a trace at a crank angle (linear between its samples).
double ReferenceValueAt(const CpfdData& reference, int trace, double angle);

// The sample nearest to a crank angle, or -1 when there is none.
int NearestSample(const CpfdData& data, double angle);
// The crank angle and the ticked traces' values of one sample, with units.
QString CursorText(const CpfdData& data, int sample, const TraceSet& traces,
                   const QLocale& locale = QLocale());

struct GraphOptions {
    TraceSet traces{};
    bool printing = false;
    QString fileTitle = QStringLiteral("untitled");
    const CpfdData* reference = nullptr;
    double tolerancePercent = 10;
    GraphView view;
    int cursorSample = -1; // a vertical cursor at this sample; -1 none
};

// Where the plot lies on the device and how angles and values map onto it; the window uses it
// to turn mouse positions into angles.
class GraphMapping {
public:
    GraphMapping(const PlotRect& plot, double pixelsPerTwip, const GraphView& view,
                 const FullScales& scales);
    double x(double angle) const;
    double y(double value, bool amps) const;
    double angleAt(double x) const;
    // The fraction of the full scale at a device y.
    double scaleAt(double y) const;
    // The plot rectangle in device units.
    double left() const;
    double right() const;
    double top() const;
    double bottom() const;
    const FullScales& scales() const { return scales_; }

private:
    PlotRect plot_;
    double s_;
    GraphView view_;
    FullScales scales_;
};

// The mapping PlotSignatures uses on a device of this size and resolution.
GraphMapping MappingFor(double widthPixels, double heightPixels, double dpi, const CpfdData& data,
                        const GraphOptions& options);

// Draws the whole graph over the painter's device of the given size (in its own units) and
// resolution; nothing is cleared first.
void PlotSignatures(QPainter& painter, double widthPixels, double heightPixels, double dpi,
                    const CpfdData& data, const GraphOptions& options);

} // namespace talvern::signatures
