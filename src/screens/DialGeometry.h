#pragma once
// Where things go on the crank-angle dial: 0° (BDC) at the bottom, angles growing clockwise
// (TDC at the top), one ring per PLS channel inside the degree scale. Plain geometry: no
// painter, no widget.

#include <QPointF>
#include <QRectF>

namespace talvern::screens::dial {

inline constexpr int kRings = 8;

// The point at a crank angle (degrees) on a circle.
QPointF PointAt(QPointF centre, double radius, double degrees);
// Degrees from ON to OFF going round the crank; through 0° when OFF < ON; 0 when equal.
double ArcSpan(double onDegrees, double offDegrees);
// The same arc as QPainter::drawArc takes it: 1/16 degree, 0 at three o'clock, positive
// counter-clockwise; the span is negative because the dial runs clockwise.
struct PainterArc {
    int start16;
    int span16;
};
PainterArc ArcFor(double onDegrees, double offDegrees);
// PLS divisions (0 .. scale − 1) as crank degrees.
double DegreesOf(int divisions, int scale);
// Radius of a channel's ring: CH00 outermost, CH07 innermost, all inside the degree scale.
double RingRadius(int channel, double outerRadius);
// Width of the pen that draws a programmed arc on a ring.
double RingWidth(double outerRadius);

// The dial in a rectangle: the circle of the degree scale, with room for its labels around it,
// and the legend column at its right.
struct Layout {
    QPointF centre;
    double radius = 0;
    QRectF legend;
};
Layout LayoutIn(const QRectF& area, double legendWidth, double labelMargin);

} // namespace talvern::screens::dial
