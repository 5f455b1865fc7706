#include "DialGeometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace talvern::screens::dial {

namespace {
double Wrapped(double degrees) {
    const double d = std::fmod(degrees, 360.0);
    return d < 0 ? d + 360.0 : d;
}
// The rings fill the band between these fractions of the scale's radius.
constexpr double kOuterRing = 0.86;
constexpr double kInnerRing = 0.30;
} // namespace

QPointF PointAt(QPointF centre, double radius, double degrees) {
    const double a = degrees * std::numbers::pi / 180.0;
    // Screen y grows downwards: 0° lies below the centre, 90° to its left.
    return {centre.x() - radius * std::sin(a), centre.y() + radius * std::cos(a)};
}

double ArcSpan(double onDegrees, double offDegrees) {
    return Wrapped(offDegrees - onDegrees);
}

PainterArc ArcFor(double onDegrees, double offDegrees) {
    // Crank angle d sits at the painter's 270° − d.
    const double start = Wrapped(270.0 - onDegrees);
    return {static_cast<int>(std::lround(start * 16.0)),
            -static_cast<int>(std::lround(ArcSpan(onDegrees, offDegrees) * 16.0))};
}

double DegreesOf(int divisions, int scale) {
    if (scale <= 0) return 0.0;
    return Wrapped(360.0 * divisions / scale);
}

double RingRadius(int channel, double outerRadius) {
    const int c = std::clamp(channel, 0, kRings - 1);
    const double step = (kOuterRing - kInnerRing) / (kRings - 1);
    return outerRadius * (kOuterRing - step * c);
}

double RingWidth(double outerRadius) {
    return outerRadius * (kOuterRing - kInnerRing) / (kRings - 1) * 0.6;
}

Layout LayoutIn(const QRectF& area, double legendWidth, double labelMargin) {
    Layout layout;
    const double dialWidth = std::max(0.0, area.width() - legendWidth);
    const double side = std::min(dialWidth, area.height());
    layout.radius = std::max(0.0, side / 2.0 - labelMargin);
    layout.centre = QPointF(area.left() + dialWidth / 2.0, area.top() + area.height() / 2.0);
    layout.legend = QRectF(area.left() + dialWidth, area.top(), legendWidth, area.height());
    return layout;
}

} // namespace talvern::screens::dial
