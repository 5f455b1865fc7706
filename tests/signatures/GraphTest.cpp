// The graph's scales, texts and geometry and the reference band; the drawing read back from the
// window's picture and from the printed page, against positions reckoned from their size alone.
#include "CpfdData.h"
#include "GraphFile.h"
#include "TestData.h"
#include "modGraph.h"

#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

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

// Five samples a quarter stroke apart: the current rises 1 to 5 A, the error 0 to 10°.
CpfdData Ramp() {
    CpfdData d = Stroke(5);
    for (int i = 0; i < 5; ++i) {
        d.Curr[i] = 1.0f + i;
        d.Err[i] = 2.5f * i;
    }
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

// The lowest row that is black across most of the picture: the plot's bottom axis.
int BottomAxisRow(const QImage& image) {
    for (int y = image.height() - 1; y >= 0; --y)
        if (ColourCount(image.copy(0, y, image.width(), 1), Qt::black) > image.width() * 0.8)
            return y;
    return -1;
}

// The words of a printed page with their boxes in points, as poppler reads them back.
struct Word {
    QRectF box;
    QString text;
};
struct PrintedPage {
    QSizeF size;
    std::vector<Word> words;
    const Word* find(const QString& text) const {
        for (const Word& w : words)
            if (w.text == text) return &w;
        return nullptr;
    }
};
PrintedPage ReadBack(const QString& pdf) {
    QProcess p;
    p.start("pdftotext", {"-bbox", pdf, "-"});
    p.waitForFinished(30000);
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    PrintedPage page;
    const QRegularExpressionMatch size =
        QRegularExpression(R"re(<page width="([\d.]+)" height="([\d.]+)")re").match(html);
    if (size.hasMatch())
        page.size = QSizeF(size.captured(1).toDouble(), size.captured(2).toDouble());
    const QRegularExpression word(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch w = it.next();
        page.words.push_back({QRectF(QPointF(w.captured(1).toDouble(), w.captured(2).toDouble()),
                                     QPointF(w.captured(3).toDouble(), w.captured(4).toDouble())),
                              w.captured(5).normalized(QString::NormalizationForm_KC)});
    }
    return page;
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

// The legend and the gains are read back from the printed page below.
TEST(GraphTexts, TitleTicksAndCursor) {
    EXPECT_EQ(GraphTitle("a.cfd"),
              "Servo Cupfeed (Current / Error / Profile) Data Signatures: a.cfd");

    EXPECT_EQ(AngleTicks({}),
              (std::vector<double>{0, 30, 60, 90, 120, 150, 180, 210, 240, 270, 300, 330, 360}));
    EXPECT_EQ(AngleLabel(30, {}, QLocale::c()), QString("30") + kDeg);
    EXPECT_EQ(AngleTicks({92, 131, 0, 1}),
              (std::vector<double>{95, 100, 105, 110, 115, 120, 125, 130}));

    const CpfdData d = Stroke();
    EXPECT_EQ(NearestSample(d, 3.1), 2);
    EXPECT_EQ(NearestSample(CpfdData{}, 3.1), -1);
    EXPECT_EQ(CursorText(d, 1, {true, true, false, false}, QLocale::c()),
              QString("2.0") + kDeg + "   Current 1.48 A   Error 0.1" + kDeg);
}

TEST(GraphReference, SamplesOutsideTheBandAreCounted) {
    const CpfdData reference = Stroke(180);
    CpfdData d = Stroke(90); // other crank angles: compared against the interpolated reference
    const TraceSet both{true, false, true, false}; // current and profile
    const FullScales scales = ComputeFullScales(d, both, &reference);
    // 10 % of 40° is 4°; 10 % of 9.2 A is 0.92 A.
    for (int i = 10; i < 22; ++i)
        d.Profile[i] += 4.5f;
    d.Curr[50] += 0.8f; // within the band
    d.Curr[60] -= 1.0f;
    BandComparison c = CompareWithReference(d, reference, both, scales, 10);
    EXPECT_EQ(c.compared, 90);
    EXPECT_EQ(c.outside, 13);
    EXPECT_TRUE(c.outsideAt[60][0]);
    EXPECT_FALSE(c.outsideAt[60][2]);
    EXPECT_EQ(BandSummary(c, 10, QLocale::c()),
              QString("13 of 90 samples outside ") + QChar(0x00B1) + "10 %");
    // A wider band, or the profile not ticked, lets them pass.
    EXPECT_EQ(CompareWithReference(d, reference, {true}, scales, 10).outside, 1);
    EXPECT_EQ(CompareWithReference(d, reference, both, scales, 20).outside, 0);
    EXPECT_EQ(CompareWithReference(d, CpfdData{}, both, scales, 10).compared, 0);
}

TEST(GraphReference, ADamagedFileIsComparedWithinItsSamples) {
    // Crank angles that are not numbers: the reference is never looked up past its last sample
    // (the sanitizer build checks every index).
    const std::optional<CpfdData> d = ReadCfd(talvern::testing::TestData("cfd-nan-angle.cfd")).data;
    ASSERT_TRUE(d);
    const TraceSet all{true, true, true, true};
    EXPECT_EQ(CompareWithReference(*d, *d, all, ComputeFullScales(*d, all, &*d), 10).compared, 256);
}

// On a 1000 x 700 picture at 96 dpi the plot spans 600 twips (40 pixels) in from the left, top
// and right edges: 0° at x = 40, 180° at 500, 360° at 960, the full scale at y = 40.
TEST(GraphDrawing, TracesLandWhereThePicturesSizeSaysTheyMust) {
    GraphOptions options;
    options.traces = {false, true, false, false};
    const QImage image = Render(Ramp(), options);
    const int bottom = BottomAxisRow(image);
    ASSERT_GT(bottom, 600);
    const QColor error = TraceStyles()[1].color;
    // 0° at 0, 180° at half the full scale, 360° at the full scale.
    EXPECT_GT(ColourNear(image, 40, bottom, error), 0);
    EXPECT_GT(ColourNear(image, 500, (bottom + 40) / 2.0, error), 0);
    EXPECT_GT(ColourNear(image, 960, 40, error), 0);
    EXPECT_EQ(ColourCount(image, TraceStyles()[0].color), 0) << "the current is not ticked";

    // No segments for 0 or 1 samples; the frame is still drawn.
    for (int samples : {0, 1}) {
        CpfdData few = Ramp();
        few.Samples = static_cast<std::int16_t>(samples);
        const QImage empty = Render(few, options);
        EXPECT_EQ(ColourCount(empty, error), 0) << samples;
        EXPECT_GT(ColourCount(empty, Qt::black), 100) << samples;
    }
}

// On the printed page (A4 landscape, in points) the plot spans 30 points in from the left, top
// and right edges, and ends 30 points above the line that follows the axis title's row, which
// starts 15 points above the bottom edge.
TEST(GraphPrinted, TextsAndMarkersLandWhereThePageSizeSaysTheyMust) {
    QTemporaryDir folder;
    const QString pdf = folder.filePath("graph.pdf");
    GraphOptions options;
    options.traces = {true, true, false, false};
    QString message;
    ASSERT_TRUE(SaveGraphImage(pdf, Ramp(), options, {}, &message)) << message.toStdString();
    const PrintedPage page = ReadBack(pdf);
    ASSERT_GT(page.size.width(), page.size.height()) << "pdftotext is missing or failed";
    const Word* axisTitle = page.find("Main");
    ASSERT_TRUE(axisTitle);
    const double line = axisTitle->box.height();
    EXPECT_NEAR(axisTitle->box.top(), page.size.height() - 15, 1);
    const double left = 30, right = page.size.width() - 30, top = 30;
    const double bottom = page.size.height() - 15 + line - 30;
    const auto x = [&](double angle) { return left + angle / 360 * (right - left); };
    const auto y = [&](double fraction) { return bottom - fraction * (bottom - top); };

    // Amps on the left, degrees on the right, 100 twips from the plot, centred on their fifths.
    for (int k = 0; k <= 5; ++k) {
        SCOPED_TRACE(k);
        const Word* amps = page.find(QString::number(k) + ".0A");
        const Word* degrees = page.find(QString::number(2.0 * k, 'f', 1) + kDeg);
        ASSERT_TRUE(amps && degrees);
        EXPECT_NEAR(amps->box.right(), left - 5, 1);
        EXPECT_NEAR(degrees->box.left(), right + 5, 1);
        EXPECT_NEAR(amps->box.center().y(), y(k / 5.0), 1);
        EXPECT_NEAR(degrees->box.center().y(), y(k / 5.0), 1);
    }
    // The error's markers sit on samples 1 to 4 (the end of each segment), none on sample 0.
    std::vector<QPointF> markers;
    for (const Word& w : page.words)
        if (w.text == "+" && w.box.center().y() < bottom + 1) markers.push_back(w.box.center());
    std::sort(markers.begin(), markers.end(),
              [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); });
    ASSERT_EQ(markers.size(), 4u);
    for (int i = 1; i <= 4; ++i) {
        EXPECT_NEAR(markers[i - 1].x(), x(90.0 * i), 1.5) << i;
        EXPECT_NEAR(markers[i - 1].y(), y(i / 4.0), 1.5) << i;
    }
    // The legend and the gains share the axis title's row; the gains end at the plot's right.
    QStringList row;
    double rowEnd = 0;
    for (const Word& w : page.words)
        if (std::abs(w.box.top() - axisTitle->box.top()) < 1) {
            row << w.text;
            rowEnd = std::max(rowEnd, w.box.right());
        }
    const QString joined = row.join(' ');
    EXPECT_TRUE(joined.contains(QString(QChar(0x00A4)) + " = Current(A) + = Error(" + kDeg + ")"))
        << joined.toStdString();
    EXPECT_TRUE(joined.endsWith("P: 12.05 I: 100 D: 25")) << joined.toStdString();
    EXPECT_NEAR(rowEnd, right, 1);
}

// NaN, infinities and floats near their limits, which a file may hold, are left out of the
// traces and the scales; the trace breaks where they were.
TEST(GraphDrawing, SamplesThatCannotBePlottedAreLeftOut) {
    CpfdData d = Stroke();
    const float inf = std::numeric_limits<float>::infinity();
    d.Curr[40] = std::numeric_limits<float>::quiet_NaN();
    d.Curr[41] = inf;
    d.Err[90] = -inf;
    d.Profile[120] = 3e38f;
    d.Desired[10] = -3e38f;
    d.Pos[150] = std::numeric_limits<float>::quiet_NaN();
    const TraceSet all{true, true, true, true};
    const FullScales clean = ComputeFullScales(Stroke(), all);
    const FullScales scales = ComputeFullScales(d, all);
    EXPECT_EQ(scales.amps, clean.amps);
    EXPECT_EQ(scales.degrees, clean.degrees);
    EXPECT_EQ(LeftOutSamples(d, all), 6);
    EXPECT_EQ(LeftOutSamples(d, {true, false, false, false}), 3) << "40, 41 and the angle at 150";
    EXPECT_EQ(LeftOutSamples(d, {}), 0);
    EXPECT_EQ(LeftOutText(2), "2 samples left out (not a number or out of range)");
    EXPECT_EQ(LeftOutText(1), "1 sample left out (not a number or out of range)");
    EXPECT_EQ(LeftOutText(0), "");
    EXPECT_TRUE(Plottable(-999999.0f));
    EXPECT_FALSE(Plottable(1e6f));

    GraphOptions options;
    options.traces = {true, false, false, false};
    const QImage image = Render(d, options);
    const GraphMapping m = MappingFor(1000, 700, 96, d, options);
    const QColor current = TraceStyles()[0].color;
    EXPECT_GT(ColourCount(image, current), 500) << "the rest of the trace is drawn";
    EXPECT_GT(ColourNear(image, m.x(d.Pos[39]), m.y(d.Curr[39], true), current), 0);
    const double gapX = m.x((d.Pos[40] + d.Pos[41]) / 2);
    EXPECT_EQ(ColourNear(image, gapX, m.y(d.Curr[39], true), current, 3), 0) << "a break at 40";

    // Printed, no coordinate that is not a number reaches the page: poppler reads it cleanly.
    QTemporaryDir folder;
    options.traces = all;
    ASSERT_TRUE(SaveGraphImage(folder.filePath("g.pdf"), d, options, {}, nullptr));
    QProcess text;
    text.start("pdftotext", {folder.filePath("g.pdf"), "-"});
    ASSERT_TRUE(text.waitForFinished(30000));
    EXPECT_EQ(text.readAllStandardError(), "");
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
