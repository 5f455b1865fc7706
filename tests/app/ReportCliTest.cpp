// talvern-cli report and signature-report: PDFs drawn by talvern-render, read back with
// poppler's pdftotext.
#include "CliFixture.h"
#include "CpfdData.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <optional>

using namespace talvern;

namespace {

QString Output(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The text of each page of a PDF.
QStringList PdfPages(const QString& path, const QStringList& options = {}) {
    QStringList pages = Output("pdftotext", options + QStringList{path, "-"}).split('\f');
    pages.removeLast(); // after the last form feed
    return pages;
}

// While it lives, the programs started see no fonts but those of one folder.
class OnlyFontsIn {
public:
    OnlyFontsIn(const QString& fonts, const QDir& scratch) : saved_(qgetenv("FONTCONFIG_FILE")) {
        const QString conf = scratch.filePath("fonts.conf");
        QFile f(conf);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QStringLiteral("<?xml version=\"1.0\"?><fontconfig><dir>%1</dir>"
                               "<cachedir>%2</cachedir></fontconfig>")
                    .arg(fonts, scratch.filePath("font-cache"))
                    .toUtf8());
        qputenv("FONTCONFIG_FILE", conf.toLocal8Bit());
    }
    ~OnlyFontsIn() {
        if (saved_.isNull())
            qunsetenv("FONTCONFIG_FILE");
        else
            qputenv("FONTCONFIG_FILE", saved_);
    }

private:
    QByteArray saved_;
};

class ReportCli : public talvern::testing::CliFixture {};

// Once with the fonts the install step puts on the machine, once with DejaVu alone (wider than
// Times, with ligatures): the text reads back letter for letter and no value touches its label.
TEST_F(ReportCli, SetUpReportAndGraphReadBackWhateverFontsTheMachineHas) {
    ASSERT_EQ(runCli({"sdt", "new", file("line 3.sdt")}, false, false), 0);
    signatures::CpfdData d;
    d.Samples = 2;
    QString message;
    ASSERT_TRUE(signatures::SaveCfdFile(file("s.cfd"), d, &message));
    for (const bool dejaVuOnly : {false, true}) {
        std::optional<OnlyFontsIn> pinned;
        if (dejaVuOnly) pinned.emplace("/usr/share/fonts/truetype/dejavu", QDir(folder.path()));
        ASSERT_EQ(runCli({"report", file("line 3.sdt"), file("r.pdf")}, false, false), 0)
            << errors().toStdString();
        ASSERT_EQ(runCli({"graph", file("s.cfd"), file("g.pdf")}, false, false), 0);
        const QStringList pages = PdfPages(file("r.pdf"), {"-layout"});
        ASSERT_EQ(pages.size(), 2);
        const QString all = pages.join(QString()).simplified();
        for (const char* line :
             {"TALVERN Report: [line 3.sdt]", "Bodymaker/Trimmer Set-up Parameters",
              "PLS Configuration & Channel Setpoints",
              "Bodymaker/Trimmer Shift Data / Brake Response", "Servo Cupfeed Set-up Parameters",
              "Servo Cupfeed Tuning Parameters", "Servo Cupfeed Diagnostic Variables",
              "6. Trimmer Speed Reference, Maximum Speed (spm): 375",
              "5. Channel Setpoints (ON - OFF):", "2. Cupfeed Main Crank Offset (counts): 0",
              "Page 1", "Page 2"})
            EXPECT_TRUE(all.contains(QString::fromUtf8(line))) << line << " " << dejaVuOnly;
        EXPECT_FALSE(all.contains(QRegularExpression("[A-Za-z)]:\\S"))) << all.toStdString();
        EXPECT_TRUE(Output("pdftotext", {file("g.pdf"), "-"}).contains("Profile"));

        const QString fonts =
            Output("pdffonts", {file("r.pdf")}) + Output("pdffonts", {file("g.pdf")});
        if (dejaVuOnly)
            EXPECT_TRUE(fonts.contains("DejaVuSerif")) << fonts.toStdString();
        else
            EXPECT_TRUE(fonts.contains("LiberationSerif") && fonts.contains("LiberationSans"))
                << "the printouts are not set in Liberation Serif and Liberation Sans: the package "
                   "fonts-liberation is missing (tools/install-deps.sh installs it)\n"
                << fonts.toStdString();
    }
}

TEST_F(ReportCli, SignatureReportCarriesTheFileNameAndEverySample) {
    signatures::CpfdData d;
    d.Samples = 256;
    for (int i = 0; i < 256; ++i)
        d.Pos[i] = static_cast<float>(i) + 0.5f;
    ASSERT_TRUE(signatures::SaveCfdFile(file("s.cfd"), d, nullptr));
    ASSERT_EQ(runCli({"signature-report", file("s.cfd"), file("s.pdf")}, false, false), 0)
        << errors().toStdString();
    const QString signature = Output("pdftotext", {file("s.pdf"), "-"});
    EXPECT_TRUE(
        signature.startsWith("Servo Cupfeed (Current / Error / Profile) Signature Data:s.cfd"));
    EXPECT_TRUE(signature.contains("\n255.5\n")) << "the last sample";
}

} // namespace
