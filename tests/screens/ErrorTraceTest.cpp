// The trace's data window, geometry and 1-2-5 auto-scale.

#include "ErrorTrace.h"

#include <gtest/gtest.h>

namespace talvern::screens {
namespace {

TEST(ErrorTraceGeometry, TimeRunsLeftToRightOverTheLastThirtySeconds) {
    const TraceGeometry g(QRectF(100, 50, 300, 200), 1000.0, 50);
    EXPECT_DOUBLE_EQ(g.x(1000.0), 400);
    EXPECT_DOUBLE_EQ(g.x(970.0), 100);
    EXPECT_DOUBLE_EQ(g.x(985.0), 250);
    EXPECT_DOUBLE_EQ(g.x(900.0), 100) << "older times stay at the left edge";
    EXPECT_DOUBLE_EQ(g.y(0), 150);
    EXPECT_DOUBLE_EQ(g.y(50), 50);
    EXPECT_DOUBLE_EQ(g.y(-50), 250);
    EXPECT_DOUBLE_EQ(g.y(25), 100);
    EXPECT_DOUBLE_EQ(g.y(500), 50) << "beyond the scale is clipped to the edge";
}

TEST(ErrorTraceGeometry, ScaleIsTheSmallestStepThatHoldsEveryValueShown) {
    struct {
        double largest;
        double scale;
    } cases[] = {{0, 10},   {7, 10},    {10, 10},   {11, 20},    {48, 50},
                 {51, 100}, {199, 200}, {201, 500}, {2500, 5000}};
    for (const auto& c : cases) {
        ErrorTrace trace;
        trace.addSample({1.0, 1, c.largest / 2, 0});
        trace.addSample({2.0, 2, 0, -c.largest});
        EXPECT_DOUBLE_EQ(trace.scale(), c.scale) << c.largest;
    }
}

TEST(ErrorTraceGeometry, OldSamplesLeaveTheWindowAndTheScaleFollows) {
    ErrorTrace trace;
    trace.addSample({0.0, 900, 900, 900});
    trace.addMarker(5.0, QStringLiteral("P 20"));
    for (int t = 1; t <= 40; ++t)
        trace.addSample({double(t), 4, 6, 5});
    EXPECT_DOUBLE_EQ(trace.endTime(), 40);
    EXPECT_DOUBLE_EQ(trace.samples().front().time, 10) << "one sample before the window";
    EXPECT_TRUE(trace.markers().empty());
    EXPECT_DOUBLE_EQ(trace.scale(), 10);

    const TraceGeometry g(QRectF(0, 0, 300, 100), trace.endTime(), trace.scale());
    const auto error = g.errorLine(trace);
    const auto negative = g.negativePeakLine(trace);
    ASSERT_EQ(error.size(), trace.samples().size());
    EXPECT_DOUBLE_EQ(error.back().x(), 300);
    EXPECT_DOUBLE_EQ(error.back().y(), 30);
    EXPECT_DOUBLE_EQ(negative.back().y(), 75) << "the negative peak is drawn below zero";
    trace.clear();
    EXPECT_TRUE(trace.empty());
    EXPECT_TRUE(trace.markers().empty());
}

} // namespace
} // namespace talvern::screens
