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
