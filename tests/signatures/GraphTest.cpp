// The graph's scales, texts and geometry, the reference band, and the drawing itself checked on
// an image.
#include "CpfdData.h"
#include "TestData.h"
#include "modGraph.h"

#include <QImage>
#include <QPainter>
#include <cmath>
#include <gtest/gtest.h>

using namespace talvern::signatures;

namespace {

const QChar kDeg(0x00B0);

QStringList Degrees(std::initializer_list<const char*> values) {
    QStringList out;
    for (const char* v : values)
        out << QString::fromLatin1(v) + kDeg;
    return out;
}

// A stroke: current and error peak at a quarter and three quarters, the profile rises to 40°.
CpfdData Stroke(int samples = 180) {
    CpfdData d;
    d.Samples = static_cast<std::int16_t>(samples);
    for (int i = 0; i < samples; ++i) {
        const double a = 360.0 * i / (samples - 1);
        d.Pos[i] = static_cast<float>(std::round(a * 10) / 10);
        d.Curr[i] = static_cast<float>(1.2 + 8 * std::abs(std::sin(a * M_PI / 180)));
        d.Err[i] = static_cast<float>(2 * std::abs(std::sin(2 * a * M_PI / 180)));
        d.Profile[i] = static_cast<float>(20 - 20 * std::cos(a * M_PI / 180));
        d.Desired[i] = d.Profile[i] + 0.5f;
    }
    d.PGainInt = 12;
    d.PGainFrac = 5;
    d.IGain = 100;
    d.DGain = 25;
    return d;
}

QImage Render(const CpfdData& d, const GraphOptions& options) {
    QImage image(1000, 700, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    PlotSignatures(p, image.width(), image.height(), 96, d, options);
    return image;
}

// Pixels of the colour within `radius` of (x, y).
int ColourNear(const QImage& image, double x, double y, const QColor& colour, int radius = 1) {
    int n = 0;
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx) {
            const QPoint at(static_cast<int>(std::lround(x)) + dx,
                            static_cast<int>(std::lround(y)) + dy);
            if (image.rect().contains(at) && image.pixelColor(at) == colour) ++n;
        }
    return n;
}

int ColourCount(const QImage& image, const QColor& colour, double skipFrom = 1e9,
                double skipTo = -1e9) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        if (y >= skipFrom && y <= skipTo) continue;
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            n += line[x] == colour.rgb();
    }
    return n;
}

} // namespace

TEST(GraphScales, FullScalesAndTheirLabels) {
    const QLocale c = QLocale::c();
    CpfdData d;
    d.Samples = 3;
    d.Err = {4.0f, 13.7f, -2.0f};
    d.Curr = {0.3f, 1.0f, 0.9f};
    d.Profile = {0.5f, 0.2f, 0.1f};
    d.Desired[3] = 99.0f; // beyond the count

    FullScales s = ComputeFullScales(d, {false, true, false, false});
    EXPECT_EQ(s.degrees, 13.7f);
    EXPECT_EQ(ScaleLabels(s.degrees, false, {}, c),
              Degrees({"0.0", "2.7", "5.5", "8.2", "11.0", "13.7"}));

    s = ComputeFullScales(d, {true, false, false, false});
    EXPECT_EQ(ScaleLabels(s.amps, true, {}, c),
              QStringList({"0.0A", "0.2A", "0.4A", "0.6A", "0.8A", "1.0A"}));

    // Current never reaches the degrees scale; unticked traces take no part.
    d.Curr[1] = 25.0f;
    s = ComputeFullScales(d, {true, false, true, true});
    EXPECT_EQ(s.amps, 25.0f);
    EXPECT_EQ(s.degrees, 1.0f);
    d.Profile[2] = 30.0f;
    EXPECT_EQ(ComputeFullScales(d, {true, false, true, false}).degrees, 30.0f);

    // A zoomed view labels the part of the scale it shows.
    EXPECT_EQ(ScaleLabels(10.0f, false, {0, 360, 0.5, 1.0}, c),
              Degrees({"5.0", "6.0", "7.0", "8.0", "9.0", "10.0"}));
}

TEST(GraphTexts, TitleLegendGainsTicksAndCursor) {
    EXPECT_EQ(GraphTitle("a.cfd"),
              "Servo Cupfeed (Current / Error / Profile) Data Signatures: a.cfd");
    EXPECT_EQ(LegendLine({true, false, true, false}), QString(QChar(0x00A4)) +
                                                          " = Current(A)     " + QChar(0x00F8) +
                                                          " = Actual(" + kDeg + ")     ");
    EXPECT_EQ(GainsText(Stroke(), QLocale::c()), "P: 12.05   I: 100   D: 25");
    EXPECT_EQ(ParseTraceSet("20"), (TraceSet{true, false, true, false}));
    EXPECT_FALSE(ParseTraceSet("4"));

    const std::vector<double> whole = AngleTicks({});
    ASSERT_EQ(whole.size(), 13u);
    EXPECT_EQ(whole.front(), 0);
    EXPECT_EQ(whole.back(), 360);
    EXPECT_EQ(AngleLabel(30, {}, QLocale::c()), QString("30") + kDeg);
    const std::vector<double> zoomed = AngleTicks({92, 131, 0, 1});
    EXPECT_EQ(zoomed, (std::vector<double>{95, 100, 105, 110, 115, 120, 125, 130}));

    const CpfdData d = Stroke();
    EXPECT_EQ(NearestSample(d, 3.1), 2);
    EXPECT_EQ(NearestSample(CpfdData{}, 3.1), -1);
    EXPECT_EQ(CursorText(d, 1, {true, true, false, false}, QLocale::c()),
              QString("2.0") + kDeg + "   Current 1.48 A   Error 0.1" + kDeg);
}

TEST(GraphReference, SamplesOutsideTheBandAreCounted) {
    const CpfdData reference = Stroke(180);
    CpfdData d = Stroke(90); // other crank angles: compared against the interpolated reference
    const FullScales scales = ComputeFullScales(d, {true, false, true, false}, &reference);
    // 10 % of 40° is 4°; 10 % of 9.2 A is 0.92 A.
    for (int i = 10; i < 22; ++i)
        d.Profile[i] += 4.5f;
    d.Curr[50] += 0.8f; // within the band
    d.Curr[60] -= 1.0f;
    BandComparison c = CompareWithReference(d, reference, {true, false, true, false}, scales, 10);
    EXPECT_EQ(c.compared, 90);
    EXPECT_EQ(c.outside, 13);
    EXPECT_TRUE(c.outsideAt[60][0]);
    EXPECT_FALSE(c.outsideAt[60][2]);
    EXPECT_EQ(BandSummary(c, 10, QLocale::c()),
              QString("13 of 90 samples outside ") + QChar(0x00B1) + "10 %");
    // A wider band, or the profile not ticked, lets them pass.
    EXPECT_EQ(CompareWithReference(d, reference, {true, false, false, false}, scales, 10).outside,
              1);
    EXPECT_EQ(CompareWithReference(d, reference, {true, false, true, false}, scales, 20).outside,
              0);
    EXPECT_EQ(CompareWithReference(d, CpfdData{}, {true, false, true, false}, scales, 10).compared,
              0);
}

TEST(GraphReference, ADamagedFileIsComparedWithinItsSamples) {
    // Crank angles that are not numbers: the reference is never looked up past its last sample
    // (the sanitizer build checks every index).
    const std::optional<CpfdData> d = ReadCfd(talvern::testing::TestData("cfd-nan-angle.cfd")).data;
    ASSERT_TRUE(d);
    const TraceSet all{true, true, true, true};
    EXPECT_EQ(CompareWithReference(*d, *d, all, ComputeFullScales(*d, all, &*d), 10).compared, 256);
}

TEST(GraphDrawing, TracesLieWhereTheirSamplesAre) {
    const CpfdData d = Stroke();
    GraphOptions options;
    options.traces = {true, false, true, false};
    const QImage image = Render(d, options);
    const GraphMapping m = MappingFor(1000, 700, 96, d, options);
    EXPECT_NEAR(m.left(), 40, 0.5); // 600 twips at 96 dpi
    EXPECT_NEAR(m.right(), 960, 0.5);
    const QColor current = TraceStyles()[0].color;
    const QColor actual = TraceStyles()[2].color;
    for (int i : {0, 45, 90, 130, 179}) {
        EXPECT_GT(ColourNear(image, m.x(d.Pos[i]), m.y(d.Curr[i], true), current), 0) << i;
        EXPECT_GT(ColourNear(image, m.x(d.Pos[i]), m.y(d.Profile[i], false), actual), 0) << i;
    }
    EXPECT_EQ(ColourCount(image, TraceStyles()[1].color), 0) << "the error is not ticked";
    // The plot's top line is the 100 % grid line: the highest profile sample reaches it.
    EXPECT_NEAR(m.y(40.0, false), m.top(), 0.5);

    // No segments for 0 or 1 samples; the frame is still drawn.
    for (int samples : {0, 1}) {
        CpfdData few = d;
        few.Samples = static_cast<std::int16_t>(samples);
        const QImage empty = Render(few, options);
        EXPECT_EQ(ColourCount(empty, current), 0) << samples;
        EXPECT_GT(ColourCount(empty, Qt::black), 100) << samples;
    }
}

TEST(GraphDrawing, ZoomedViewKeepsTracesInsideThePlot) {
    const CpfdData d = Stroke();
    GraphOptions options;
    options.traces = {false, false, true, false};
    options.view = {60, 100, 0.25, 0.5};
    const QImage image = Render(d, options);
    const GraphMapping m = MappingFor(1000, 700, 96, d, options);
    const QColor actual = TraceStyles()[2].color;
    // The profile passes 10..20° between 60° and 100°, so the trace crosses the view.
    const int i = NearestSample(d, 80);
    EXPECT_GT(ColourNear(image, m.x(d.Pos[i]), m.y(d.Profile[i], false), actual), 0);
    EXPECT_GT(ColourCount(image, actual), 0);
    EXPECT_EQ(ColourCount(image, actual, m.top() - 1, m.bottom() + 1), 0);
}
