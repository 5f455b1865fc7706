// talvern-cli report and signature-report: PDFs drawn by talvern-render, read back with
// poppler's pdftotext.
#include "CliFixture.h"
#include "CpfdData.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

using namespace talvern;

namespace {

// The text of each page of a PDF.
QStringList PdfPages(const QString& path) {
    QProcess p;
    p.start("pdftotext", {path, "-"});
    p.waitForFinished(30000);
    QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\f'));
    pages.removeLast(); // after the last form feed
    return pages;
}

class ReportCli : public talvern::testing::CliFixture {};

TEST_F(ReportCli, SetUpReportHoldsEverySectionUnderTheFileName) {
    ASSERT_EQ(runCli({"sdt", "new", file("line 3.sdt")}, false, false), 0);
    ASSERT_EQ(runCli({"report", file("line 3.sdt"), file("r.pdf")}, false, false), 0)
        << errors().toStdString();
    const QStringList pages = PdfPages(file("r.pdf"));
    ASSERT_EQ(pages.size(), 2);
    const QString all = pages.join(QString());
    for (const char* line :
         {"TALVERN Report: [line 3.sdt]", "Bodymaker/Trimmer Set-up Parameters",
          "PLS Configuration & Channel Setpoints", "Bodymaker/Trimmer Shift Data / Brake Response",
          "Servo Cupfeed Set-up Parameters", "Servo Cupfeed Tuning Parameters",
          "Servo Cupfeed Diagnostic Variables", "8. Brake Wear Compensation Enable (0=No, 1=Yes):",
          "5. Channel Setpoints (ON - OFF):", "7. Negative Peak Error (counts):", "Page 1",
          "Page 2"})
        EXPECT_TRUE(all.contains(QString::fromUtf8(line))) << line;
}

TEST_F(ReportCli, SignatureReportOf256SamplesRepeatsTheHeadingsOnEveryPage) {
    signatures::CpfdData d;
    d.Samples = 256;
    for (int i = 0; i < 256; ++i)
        d.Pos[i] = static_cast<float>(i) + 0.5f;
    QString message;
    ASSERT_TRUE(signatures::SaveCfdFile(file("s.cfd"), d, &message));
    ASSERT_EQ(runCli({"signature-report", file("s.cfd"), file("s.pdf")}, false, false), 0)
        << errors().toStdString();
    const QStringList pages = PdfPages(file("s.pdf"));
    ASSERT_GE(pages.size(), 5);
    int rows = 0;
    for (int n = 0; n < pages.size(); ++n) {
        EXPECT_TRUE(pages[n].contains("Signature Data:s.cfd")) << n;
        EXPECT_TRUE(pages[n].contains(QStringLiteral("Desired Pos.(") + QChar(0xB0) + ")")) << n;
        EXPECT_TRUE(pages[n].contains(QStringLiteral("Page %1").arg(n + 1))) << n;
        for (int i = 0; i < 256; ++i)
            if (pages[n].contains(QStringLiteral("\n%1.5\n").arg(i))) ++rows;
    }
    EXPECT_EQ(rows, 256); // every sample once, none lost at a page break
}

} // namespace
