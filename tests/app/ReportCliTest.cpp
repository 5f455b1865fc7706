// talvern-cli report and signature-report: PDFs drawn by talvern-render, read back with
// poppler's pdftotext. The printouts' layout is the report's own test; here, what the command
// line adds: the files read and their names in the headers.
#include "CliFixture.h"
#include "CpfdData.h"

#include <QProcess>
#include <gtest/gtest.h>

using namespace talvern;

namespace {

// The text of a PDF, its pages ending in form feeds.
QString PdfText(const QString& path) {
    QProcess p;
    p.start("pdftotext", {path, "-"});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
}

class ReportCli : public talvern::testing::CliFixture {};

TEST_F(ReportCli, BothPrintoutsOfAFileCarryItsName) {
    ASSERT_EQ(runCli({"sdt", "new", file("line 3.sdt")}, false, false), 0);
    ASSERT_EQ(runCli({"report", file("line 3.sdt"), file("r.pdf")}, false, false), 0)
        << errors().toStdString();
    const QString report = PdfText(file("r.pdf"));
    EXPECT_TRUE(report.startsWith("TALVERN Report: [line 3.sdt]")) << report.toStdString();
    EXPECT_TRUE(report.contains("Servo Cupfeed Diagnostic Variables"));
    EXPECT_EQ(report.count('\f'), 2);

    signatures::CpfdData d;
    d.Samples = 256;
    for (int i = 0; i < 256; ++i)
        d.Pos[i] = static_cast<float>(i) + 0.5f;
    ASSERT_TRUE(signatures::SaveCfdFile(file("s.cfd"), d, nullptr));
    ASSERT_EQ(runCli({"signature-report", file("s.cfd"), file("s.pdf")}, false, false), 0)
        << errors().toStdString();
    const QString signature = PdfText(file("s.pdf"));
    EXPECT_TRUE(
        signature.startsWith("Servo Cupfeed (Current / Error / Profile) Signature Data:s.cfd"));
    EXPECT_TRUE(signature.contains("\n255.5\n")) << "the last sample";
}

} // namespace
