#include "ErrorTrace.h"

#include <algorithm>
#include <cmath>

namespace talvern::screens {

void ErrorTrace::clear() {
    samples_.clear();
    markers_.clear();
    end_ = 0;
}

void ErrorTrace::addSample(const TraceSample& sample) {
    samples_.push_back(sample);
    end_ = std::max(end_, sample.time);
    dropBefore(end_ - kSpan);
}

void ErrorTrace::addMarker(double time, const QString& label) {
    markers_.push_back(TraceMarker{time, label});
    end_ = std::max(end_, time);
    dropBefore(end_ - kSpan);
}

void ErrorTrace::dropBefore(double time) {
    // One sample before the window is kept so that the line enters from the left edge.
    while (samples_.size() > 1 && samples_[1].time <= time)
        samples_.pop_front();
    while (!markers_.empty() && markers_.front().time < time)
        markers_.pop_front();
}

double ErrorTrace::scale() const {
    double largest = 0;
    for (const TraceSample& s : samples_)
        largest = std::max(
            {largest, std::abs(s.error), std::abs(s.positivePeak), std::abs(s.negativePeak)});
    double scale = 10;
    for (int k = 0;; ++k) {
        const double step = (k % 3 == 0 ? 1 : k % 3 == 1 ? 2 : 5) * std::pow(10.0, k / 3 + 1);
        scale = step;
        if (step >= largest || step >= 1e6) break;
    }
    return scale;
}

TraceGeometry::TraceGeometry(const QRectF& plot, double endTime, double scale)
    : plot_(plot), start_(endTime - ErrorTrace::kSpan), scale_(scale > 0 ? scale : 1) {}

double TraceGeometry::x(double time) const {
    const double clipped = std::clamp(time, start_, start_ + ErrorTrace::kSpan);
    return plot_.left() + (clipped - start_) / ErrorTrace::kSpan * plot_.width();
}

double TraceGeometry::y(double counts) const {
    const double clipped = std::clamp(counts, -scale_, scale_);
    return plot_.center().y() - clipped / scale_ * plot_.height() / 2;
}

std::vector<QPointF> TraceGeometry::errorLine(const ErrorTrace& trace) const {
    std::vector<QPointF> line;
    for (const TraceSample& s : trace.samples())
        line.emplace_back(x(s.time), y(s.error));
    return line;
}

std::vector<QPointF> TraceGeometry::positivePeakLine(const ErrorTrace& trace) const {
    std::vector<QPointF> line;
    for (const TraceSample& s : trace.samples())
        line.emplace_back(x(s.time), y(std::abs(s.positivePeak)));
    return line;
}

std::vector<QPointF> TraceGeometry::negativePeakLine(const ErrorTrace& trace) const {
    std::vector<QPointF> line;
    for (const TraceSample& s : trace.samples())
        line.emplace_back(x(s.time), y(-std::abs(s.negativePeak)));
    return line;
}

} // namespace talvern::screens
