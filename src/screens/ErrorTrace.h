#pragma once
// The following-error trace of the tuning screen as data and geometry, without a window: the
// samples of the last 30 seconds of passes (instantaneous absolute error and the two peaks), the
// moments a gain or the test output was written, and where each of them lands in a plot area.

#include <QPointF>
#include <QRectF>
#include <QString>
#include <deque>
#include <vector>

namespace talvern::screens {

struct TraceSample {
    double time = 0;         // seconds on the screen's clock
    double error = 0;        // instantaneous absolute error (counts)
    double positivePeak = 0; // counts
    double negativePeak = 0; // counts, drawn below zero whichever way the board signs it
};

struct TraceMarker {
    double time = 0;
    QString label; // what was written ("P 20", "Out 50%")
};

class ErrorTrace {
public:
    static constexpr double kSpan = 30.0; // seconds shown

    void clear();
    bool empty() const { return samples_.empty(); }
    // Samples arrive in time order; anything older than the span before the newest is dropped.
    void addSample(const TraceSample& sample);
    void addMarker(double time, const QString& label);

    const std::deque<TraceSample>& samples() const { return samples_; }
    const std::deque<TraceMarker>& markers() const { return markers_; }
    // The right edge of the time axis: the newest sample or marker.
    double endTime() const { return end_; }

    // The smallest of 10, 20, 50, 100, 200, 500, ... counts that holds every value shown.
    double scale() const;

private:
    void dropBefore(double time);

    std::deque<TraceSample> samples_;
    std::deque<TraceMarker> markers_;
    double end_ = 0;
};

// Where the trace lands in a plot area: time runs left to right over the span ending at
// endTime, counts from +scale at the top through 0 in the middle to −scale at the bottom.
class TraceGeometry {
public:
    TraceGeometry(const QRectF& plot, double endTime, double scale);

    double x(double time) const;
    double y(double counts) const;
    // The polylines of the error and of both peaks (the negative one below zero).
    std::vector<QPointF> errorLine(const ErrorTrace& trace) const;
    std::vector<QPointF> positivePeakLine(const ErrorTrace& trace) const;
    std::vector<QPointF> negativePeakLine(const ErrorTrace& trace) const;

    const QRectF& plot() const { return plot_; }
    double scale() const { return scale_; }

private:
    QRectF plot_;
    double start_;
    double scale_;
};

} // namespace talvern::screens
