// The printed set-up report from the main window: paper, preview and PDF.
#include "MainWindowFixture.h"
#include "ReportOutput.h"
#include "modUtility.h"

#include <QLabel>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>

namespace talvern::testing {
namespace {

// Remembers the texts the wait window's label was painted with.
class PaintedLabels : public QObject {
public:
    PaintedLabels() { qApp->installEventFilter(this); }
    ~PaintedLabels() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched->objectName() == "lblWaitDisplay")
            texts << static_cast<QLabel*>(watched)->text();
        return false;
    }
    QStringList texts;
};

QString PdfText(const QString& path) {
    QProcess p;
    p.start("pdftotext", {path, "-"});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

class PrintWindow : public MainWindowTest {
protected:
    // The printer dialog chooses a PDF file as the printer, or is cancelled on an empty name.
    void choosePrinterFile(const QString& path) {
        window->reportOutput().printerDialog = [this, path](QPrinter& printer, QWidget*) {
            ++dialogs;
            if (path.isEmpty()) return false;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(path);
            return true;
        };
    }
    int dialogs = 0;
};

TEST_F(PrintWindow, CtrlPPrintsTheReportWhileTheWaitWindowStandsOnScreen) {
    const QString pdf = folder.filePath("paper.pdf");
    choosePrinterFile(pdf);
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    PaintedLabels painted;
    QTest::keyClick(window.get(), Qt::Key_P, Qt::ControlModifier);
    EXPECT_TRUE(painted.texts.contains("Generating Report, Please Standby ..."));
    EXPECT_EQ(dialogs, 1);
    EXPECT_TRUE(PdfText(pdf).contains("TALVERN Report: [unnamed]"));
    EXPECT_TRUE(answers.asked.empty());
}

TEST_F(PrintWindow, CancelledDialogEndsSilentlyAPrinterFaultIsReportedAndExportAddsTheSuffix) {
    choosePrinterFile(QString());
    window->mnuFilePrint->trigger();
    EXPECT_EQ(dialogs, 1);
    EXPECT_TRUE(answers.asked.empty());

    choosePrinterFile("/nonexistent-folder/paper.pdf");
    window->mnuFilePrint->trigger();
    ASSERT_EQ(answers.asked.size(), 1u);
    EXPECT_EQ(answers.asked[0].title, "Printer Error");
    EXPECT_TRUE(answers.asked[0].text.contains("/nonexistent-folder/paper.pdf"));

    // Export PDF adds the suffix and starts next time in the same folder.
    answers.asked.clear();
    QDir(folder.path()).mkdir("out");
    files.choices = {folder.filePath("out/shift")};
    window->mnuFileExportPdf->trigger();
    EXPECT_TRUE(PdfText(folder.filePath("out/shift.pdf")).contains("TALVERN Report: [unnamed]"));
    files.choices = {QString()}; // cancelled
    window->mnuFileExportPdf->trigger();
    ASSERT_EQ(filesAsked().size(), 2);
    EXPECT_TRUE(filesAsked()[1].startsWith("save " + folder.filePath("out/report.pdf")))
        << filesAsked()[1].toStdString();
    EXPECT_TRUE(answers.asked.empty());
}

TEST_F(PrintWindow, PreviewShowsThePagesOfTheSameDrawing) {
    window->mnuFilePrintPreview->trigger();
    auto* preview = qobject_cast<QPrintPreviewDialog*>(window->reportOutput().previewWindow());
    ASSERT_NE(preview, nullptr);
    EXPECT_TRUE(preview->isVisible());
    preview->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(window->reportOutput().previewWindow(), nullptr);
}

} // namespace
} // namespace talvern::testing
