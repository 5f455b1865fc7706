// The printouts as real PDF files, read back with poppler's pdftotext and pdffonts.
#include "ReportPdf.h"
#include "modReport.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace talvern;

namespace {

QString Output(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(30000) || p.exitCode() != 0) return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

TEST(ReportPdfTest, BothPrintoutsReadBackWithTheirPagesAndEmbeddedFonts) {
    QTemporaryDir folder;
    const signatures::ReportContext context{QStringLiteral("12/7/26 3:04:05 AM"), QLocale::c()};
    const QString setupPdf = folder.filePath("setup.pdf");
    const QString signaturePdf = folder.filePath("signature.pdf");
    QString message;
    const setup::SetupData setup = setup::FactoryDefaults(QStringLiteral("TALVERN_R1.0.0"));
    ASSERT_TRUE(signatures::WriteReportPdf(
        setupPdf, "report",
        [&](signatures::ReportSurface& s) {
            signatures::PrintReport(s, setup, QStringLiteral("[unnamed]"), context);
        },
        &message))
        << message.toStdString();
    signatures::CpfdData signature;
    signature.Samples = 256;
    for (int i = 0; i < 256; ++i)
        signature.Pos[i] = static_cast<float>(i);
    ASSERT_TRUE(signatures::WriteReportPdf(
        signaturePdf, "signature",
        [&](signatures::ReportSurface& s) {
            signatures::PrintSignatureReport(s, signature, QStringLiteral("run1.cfd"), context);
        },
        &message));

    // Layout mode keeps the lines but not the runs of spaces inside them.
    const QString text = Output("pdftotext", {"-layout", setupPdf, "-"});
    ASSERT_FALSE(text.isEmpty()) << "pdftotext is missing or failed";
    EXPECT_EQ(text.count(QLatin1Char('\f')), 2); // one form feed after each page
    for (const char* line :
         {"TALVERN Report: [unnamed]", "PLS Configuration & Channel Setpoints", "CH07: 180 - 0",
          "6. Cupfeed Cam to Main Crank Error (counts):", "Page 2"})
        EXPECT_TRUE(text.simplified().contains(QString::fromUtf8(line))) << line;

    const QString rows = Output("pdftotext", {"-layout", signaturePdf, "-"});
    EXPECT_TRUE(rows.contains("Servo Cupfeed (Current / Error / Profile) Signature Data:run1.cfd"));
    EXPECT_TRUE(rows.contains(QString::fromUtf8("Desired Pos.(\u00B0)")));
    EXPECT_TRUE(rows.contains(QStringLiteral("255")));
    EXPECT_GE(rows.count(QLatin1Char('\f')), 5);

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
