// The two printouts on a recording surface (what is printed, where, on which page), and as
// real PDF files read back with poppler's pdffonts.
#include "ReportPdf.h"
#include "ReportSurface.h"
#include "modReport.h"

#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>

using namespace talvern;

namespace {

// A report surface that keeps what is drawn, with simple exact metrics: a character is half an
// em wide, a line is 1.2 em high, a page is Letter less a quarter inch all round.
struct DrawnText {
    int page;
    double x, y;
    QString text;
    signatures::ReportFont font;
};

struct DrawnLine {
    int page;
    double x1, y1, x2, y2;
};

class RecordingReportSurface final : public signatures::ReportSurface {
public:
    double pageWidth() const override { return 8.0; }
    double pageHeight() const override { return 10.5; }
    void setFont(const signatures::ReportFont& font) override { font_ = font; }
    double textWidth(const QString& text) const override {
        return text.size() * font_.points / 144.0;
    }
    double textHeight(const QString&) const override { return font_.points / 60.0; }
    void drawText(double x, double y, const QString& text) override {
        texts.push_back({pages, x, y, text, font_});
    }
    void drawLine(double x1, double y1, double x2, double y2) override {
        lines.push_back({pages, x1, y1, x2, y2});
    }
    void newPage() override { ++pages; }

    // The texts of one page (1-based), in drawing order.
    std::vector<DrawnText> page(int n) const {
        std::vector<DrawnText> on;
        for (const DrawnText& t : texts)
            if (t.page == n) on.push_back(t);
        return on;
    }
    double widthOf(const DrawnText& t) const { return t.text.size() * t.font.points / 144.0; }

    int pages = 1;
    std::vector<DrawnText> texts;
    std::vector<DrawnLine> lines;

private:
    signatures::ReportFont font_;
};

const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);
const signatures::ReportContext kContext{QStringLiteral("12/7/26 3:04:05 AM"), kEnglish};

setup::SetupData SetupWithValues() {
    setup::SetupData d = setup::FactoryDefaults(QStringLiteral("TALVERN_R1.0.0"));
    for (auto& v : d.ParamValue)
        v = 12345;
    d.PLSCfgRest[3] = 12;
    d.PLSSetpoint[3] = {110, 130};
    d.PLSSetpoint[7] = {0, 0};
    return d;
}

bool Near(double a, double b) {
    return std::abs(a - b) < 1e-9;
}

class SetupReportTest : public ::testing::Test {
protected:
    void SetUp() override {
        signatures::PrintReport(surface, SetupWithValues(), QStringLiteral("[unnamed]"), kContext);
    }
    // The texts a reader takes for headings, labels and sub-lines, in order.
    QStringList captions() const {
        QStringList out;
        for (const DrawnText& t : surface.texts)
            if ((t.font.points == 14 && t.font.bold) || Near(t.x, 0.75) || Near(t.x, 1.0))
                out << t.text;
        return out;
    }
    RecordingReportSurface surface;
};

// The labels come from the parameter table; what the printout adds is the sections, their order,
// the numbering and the PLS sub-lines.
TEST_F(SetupReportTest, PrintsEveryHeadingLabelAndPLSSubLineInOrder) {
    const QStringList c = captions();
    ASSERT_EQ(c.size(), 58);
    const std::pair<const char*, const char*> lastAndNext[] = {
        {"8. Brake Wear Compensation Enable (0=No, 1=Yes): ",
         "PLS Configuration & Channel Setpoints"},
        {"CH07:  0  - 0", "Bodymaker/Trimmer Shift Data / Brake Response"},
        {"6. Brake Response - High Speed (degrees): ", "Servo Cupfeed Set-up Parameters"},
        {"4. Maximum Error for 'Following Error' Alarm (counts): ",
         "Servo Cupfeed Tuning Parameters"},
        {"7. Negative Peak Error (counts): ", "Servo Cupfeed Diagnostic Variables"},
        {"6. Cupfeed Cam to Main Crank Error (counts): ", nullptr}};
    int first = 0; // the section's heading
    EXPECT_EQ(c[0], "Bodymaker/Trimmer Set-up Parameters");
    for (const auto& [last, next] : lastAndNext) {
        EXPECT_TRUE(c[first + 1].startsWith("1. ")) << c[first].toStdString();
        const int end = next ? c.indexOf(next) : c.size();
        ASSERT_GT(end, first + 1) << next;
        EXPECT_EQ(c[end - 1], last);
        first = end;
    }
    EXPECT_EQ(c.mid(13, 3), (QStringList{"4. Speed Compensation (advance): ", "CH00 (msec):  0",
                                         "CH01 (msec):  0"}));
    EXPECT_EQ(c[17], "CH03 (msec):  12");
    EXPECT_EQ(c.mid(22, 3), (QStringList{"5. Channel Setpoints (ON - OFF): ", "CH00:  150  - 170",
                                         "CH01:  200  - 220"}));
    EXPECT_EQ(c[26], "CH03:  110  - 130");
}

// The recording surface's letters are wider than Times': two labels (the out-of-sync and the
// following-error limits) no longer fit their column, and their values stay a space clear.
TEST_F(SetupReportTest, ValuesEndAtFiveAndAHalfInchesOrClearOfTheirLabelGroupedOnlyInShiftData) {
    QStringList values;
    int pushed = 0;
    for (size_t i = 0; i + 1 < surface.texts.size(); ++i) {
        const DrawnText& label = surface.texts[i];
        const DrawnText& value = surface.texts[i + 1];
        if (!Near(label.x, 0.75) || !label.text.endsWith(QLatin1String(": ")) ||
            !Near(value.y, label.y))
            continue;
        const double clear = label.x + surface.widthOf(label); // the label's own space included
        const double aligned = 5.5 - surface.widthOf(value);
        EXPECT_TRUE(Near(value.x, std::max(aligned, clear))) << value.text.toStdString();
        pushed += aligned < clear;
        values << value.text;
    }
    EXPECT_EQ(pushed, 2);
    // 8 bodymaker, 3 PLS, 6 shift data (grouped), 4 + 7 + 6 cupfeed.
    EXPECT_EQ(values.join(' '), (QString("12345 ").repeated(8) + "8 360 0 " +
                                 QString("12,345 ").repeated(6) + QString("12345 ").repeated(17))
                                    .trimmed());
}

TEST_F(SetupReportTest, EveryPageHasHeaderRuleAndFooterAndNoBlankSheetFollows) {
    ASSERT_EQ(surface.pages, 2);
    for (int p = 1; p <= surface.pages; ++p) {
        const std::vector<DrawnText> page = surface.page(p);
        ASSERT_GE(page.size(), 4u);
        const DrawnText& header = page.front();
        EXPECT_EQ(header.text, "TALVERN Report: [unnamed]");
        EXPECT_TRUE(header.font.bold);
        EXPECT_TRUE(Near(header.x, (8.0 - surface.widthOf(header) - 0.5) / 2));
        EXPECT_TRUE(Near(header.y, 0.1));
        const DrawnText& date = page[page.size() - 2];
        const DrawnText& number = page.back();
        EXPECT_EQ(date.text, kContext.printedAt);
        EXPECT_TRUE(Near(date.x, 0.5));
        EXPECT_EQ(number.text, QStringLiteral("Page %1").arg(p));
        EXPECT_TRUE(Near(number.x + surface.widthOf(number), 7.5));
        EXPECT_EQ(number.font.points, 10);
    }
    // Two rules a page: under the header and over the footer, from margin to margin.
    ASSERT_EQ(surface.lines.size(), 4u);
    EXPECT_TRUE(Near(surface.lines[0].y1, 0.1 + 0.2 + 0.2));
    for (const auto& line : surface.lines) {
        EXPECT_TRUE(Near(line.x1, 0.5));
        EXPECT_TRUE(Near(line.x2, 7.5));
    }
}

signatures::CpfdData Signature(int samples) {
    signatures::CpfdData d{};
    d.Samples = static_cast<std::int16_t>(samples);
    for (int i = 0; i < samples; ++i) {
        d.Pos[i] = static_cast<float>(i) * 1.5f;
        d.Curr[i] = 12.5f;
        d.Err[i] = -3.2f;
        d.Profile[i] = 100.0f;
        d.Desired[i] = 0.1f;
    }
    d.PGainInt = 15;
    d.PGainFrac = 5;
    d.IGain = 100;
    d.DGain = 25;
    return d;
}

struct SignaturePages {
    RecordingReportSurface surface;
    explicit SignaturePages(int samples) {
        signatures::PrintSignatureReport(surface, Signature(samples), QStringLiteral("run1.cfd"),
                                         kContext);
    }
    // Rows of sample values on a page (texts in the body font at the first column's centre).
    int rows(int page) const {
        int n = 0;
        for (const DrawnText& t : surface.page(page))
            if (t.font == signatures::ReportFont{"Times", 12, false, false, false} &&
                Near(t.x + surface.widthOf(t) / 2, 1.35))
                ++n;
        return n;
    }
};

TEST(SignatureReportTest, GainsThenUnderlinedHeadingsCentredThenOneRowPerSample) {
    SignaturePages p(3);
    const std::vector<DrawnText> page = p.surface.page(1);
    ASSERT_EQ(p.surface.pages, 1);
    ASSERT_GE(page.size(), 15u);
    QStringList texts;
    for (size_t i = 1; i < 15; ++i)
        texts << page[i].text;
    const QString deg(QChar(0xB0));
    // The gains, the headings, then sample 0's row and sample 1's position.
    EXPECT_EQ(texts,
              (QStringList{"P: 15.05", "I: 100", "D: 25", "Main Crank(" + deg + ")", "Current(A)",
                           "Error(" + deg + ")", "Actual Pos.(" + deg + ")",
                           "Desired Pos.(" + deg + ")", "0", "12.5", "-3.2", "100", "0.1", "1.5"}));
    for (int c = 0; c < 5; ++c) {
        const DrawnText& h = page[4 + c];
        EXPECT_TRUE(h.font.underline && h.font.bold);
        EXPECT_TRUE(Near(h.x + p.surface.widthOf(h) / 2, (c + 1) * 1.35));
        EXPECT_TRUE(Near(h.y, page[4].y));
    }
    EXPECT_EQ(p.rows(1), 3);
}

TEST(SignatureReportTest, LongSignatureContinuesWithHeadingsOnEveryPage) {
    SignaturePages p(256);
    ASSERT_GT(p.surface.pages, 1);
    int total = 0;
    for (int n = 1; n <= p.surface.pages; ++n) {
        const std::vector<DrawnText> page = p.surface.page(n);
        EXPECT_EQ(page.back().text, QStringLiteral("Page %1").arg(n));
        // After the header (and on page 1 the gains and a blank line) come the headings.
        const size_t first = n == 1 ? 4 : 1;
        EXPECT_EQ(page[first].text, QStringLiteral("Main Crank(") + QChar(0xB0) + ")") << n;
        EXPECT_TRUE(page[first].font.underline);
        EXPECT_GT(p.rows(n), 0);
        // Nothing printed within 0.9 inch of the page bottom but the footer.
        for (size_t i = 0; i + 2 < page.size(); ++i)
            EXPECT_LE(page[i].y, 10.5 - 0.9) << n;
        total += p.rows(n);
    }
    EXPECT_EQ(total, 256);
}

TEST(SignatureReportTest, PagesFollowTheSamplesTheRecordHolds) {
    QStringList texts;
    for (const DrawnText& t : SignaturePages(0).surface.texts)
        texts << t.text;
    EXPECT_EQ(texts,
              (QStringList{"Servo Cupfeed (Current / Error / Profile) Signature Data:run1.cfd",
                           kContext.printedAt, "Page 1"}));
    const int firstPageRows = SignaturePages(256).rows(1);
    EXPECT_EQ(SignaturePages(firstPageRows).surface.pages, 1) << "no page of headings alone";
    EXPECT_EQ(SignaturePages(firstPageRows + 1).surface.pages, 2);
    signatures::CpfdData d = Signature(256);
    d.Samples = 30000; // held to the record's size
    RecordingReportSurface surface;
    signatures::PrintSignatureReport(surface, d, QString(), kContext);
    EXPECT_EQ(surface.pages, SignaturePages(256).surface.pages);
}

QString Output(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(30000) || p.exitCode() != 0) return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

// What the pages say is read back from talvern-cli's PDFs (tests/app/ReportCliTest.cpp).
TEST(ReportPdfTest, SetUpReportHasEveryFontEmbedded) {
    QTemporaryDir folder;
    const signatures::ReportContext context{QStringLiteral("12/7/26 3:04:05 AM"), QLocale::c()};
    const QString setupPdf = folder.filePath("setup.pdf");
    QString message;
    const setup::SetupData setup = setup::FactoryDefaults(QStringLiteral("TALVERN_R1.0.0"));
    ASSERT_TRUE(signatures::WriteReportPdf(
        setupPdf, "report",
        [&](signatures::ReportSurface& s) {
            signatures::PrintReport(s, setup, QStringLiteral("[unnamed]"), context);
        },
        &message))
        << message.toStdString();

    // Every font is embedded: the emb column of pdffonts says yes.
    const QStringList fonts = Output("pdffonts", {setupPdf}).split('\n', Qt::SkipEmptyParts).mid(2);
    ASSERT_FALSE(fonts.isEmpty());
    for (const QString& font : fonts)
        EXPECT_TRUE(font.contains(QLatin1String(" yes "))) << font.toStdString();
}

TEST(ReportPdfTest, UnwritableFileIsReportedAndNothingIsLeft) {
    QString message;
    EXPECT_FALSE(signatures::WriteReportPdf(
        "/nonexistent/folder/out.pdf", "x", [](signatures::ReportSurface&) {}, &message));
    EXPECT_TRUE(message.contains("/nonexistent/folder/out.pdf")) << message.toStdString();
}

} // namespace
