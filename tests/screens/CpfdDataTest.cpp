// "Acquire Data Signatures" with its acquisition and graph windows.

#include "CpfdText.h"
#include "GraphPicture.h"
#include "ReportCommands.h"
#include "ScreenFixture.h"
#include "ScriptedDialogs.h"
#include "frmAcquireSignatures.h"
#include "frmCpfdData.h"
#include "frmGraph.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <limits>

namespace talvern::testing {
namespace {

using boards::BoardId;
using screens::frmCpfdData;
using screens::frmGraph;
using signatures::CpfdData;
constexpr auto R = BoardId::R7520;

// A mouse move straight to the widget, whatever window the platform has under the pointer.
void MoveMouse(QWidget* widget, QPoint at, Qt::MouseButtons buttons = Qt::NoButton) {
    QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, buttons,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

class CpfdDataScreen : public ScreenFixture {
protected:
    void SetUp() override {
        shell::gSignature = {};
        sim.startMachine();
    }
    void TearDown() override { shell::gSignature = {}; }
    void openScreen() {
        screen = std::make_unique<frmCpfdData>();
        screen->setFileDialogs(&dialogs);
        open(*screen);
    }
    void runPass() { ScreenFixture::runPass(screen->cycle()); }
    // Presses "A&cquire Data" and runs the acquisition window's steps, the machine turning a
    // millisecond between them; Cancel is pressed after `cancelAfter` steps.
    void acquire(int cancelAfter = -1) {
        screen->cmdOptions[0]->click();
        QPointer<screens::frmAcquireSignatures> window = screen->acquisitionWindow();
        ASSERT_TRUE(window);
        EXPECT_TRUE(window->isModal());
        EXPECT_TRUE(screen->cycle().isHeld()) << "the data window waits for the acquisition";
        for (int steps = 0; window && steps < 20000; ++steps) {
            if (steps == cancelAfter) QTest::mouseClick(window->cmdCancel, Qt::LeftButton);
            window->cycle().runStep();
            clock.advance(0.001);
            if (window && window->isHidden()) break;
        }
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_FALSE(screen->acquisitionWindow());
    }
    std::unique_ptr<frmCpfdData> screen;
    ScriptedDialogs dialogs;
};

TEST_F(CpfdDataScreen, OnlineAcquisitionFillsTheTableAndCopiesCellsAndCancelTellsTheBoard) {
    sim.moveCable(R);
    goOnline();
    openScreen();
    runPass();
    EXPECT_EQ(screen->windowTitle(), "Acquire Data Signatures: untitled");
    EXPECT_EQ(sim.peekByte(R, 2999), 0) << "a capture left running is abandoned";
    EXPECT_TRUE(screen->cmdOptions[0]->isEnabled());

    acquire();
    const CpfdData& d = shell::gSignature.CpfdData;
    ASSERT_EQ(d.Samples, 180);
    EXPECT_FALSE(shell::gSignature.CpfdDataNew) << "the table has taken the new samples";
    ASSERT_EQ(screen->fgCpfdData->rowCount(), 180);
    EXPECT_EQ(screen->fgCpfdData->item(179, 0)->text(), "360");
    runPass();
    EXPECT_EQ(screen->lblCpfdDataSamples->text(), "180");

    screen->fgCpfdData->setRangeSelected(QTableWidgetSelectionRange(1, 0, 2, 1), true);
    screen->fgCpfdData->setFocus();
    QTest::keyClick(screen->fgCpfdData, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "2\t" + signatures::SampleText(d.Curr[1]) + "\n" +
                                                     screen->fgCpfdData->item(2, 0)->text() + "\t" +
                                                     signatures::SampleText(d.Curr[2]));

    // Cancel while the stuck board still records: the signature and its table as they were.
    sim.setCaptureStuck(true);
    const QString kept = screen->fgCpfdData->item(1, 1)->text();
    acquire(/*cancelAfter=*/500);
    EXPECT_EQ(d.Samples, 180);
    EXPECT_EQ(screen->fgCpfdData->rowCount(), 180);
    EXPECT_EQ(screen->fgCpfdData->item(1, 1)->text(), kept);
}

TEST_F(CpfdDataScreen, OfflineStatesAndFilesAndTheCountWrittenOnline) {
    openScreen();
    runPass();
    for (QPushButton* b : screen->cmdOptions)
        EXPECT_FALSE(b->isEnabled());
    shell::gOfflineEditing = true;
    runPass();
    EXPECT_FALSE(screen->cmdOptions[0]->isEnabled()) << "no acquisition offline";
    for (int i : {1, 3, 4, 5})
        EXPECT_TRUE(screen->cmdOptions[i]->isEnabled()) << i;
    EXPECT_EQ(screen->lblCpfdDataSamples->text(), "0");

    CpfdData file;
    file.Samples = 200;
    file.Pos[199] = 360;
    const QString path = folder.filePath("two hundred.cfd");
    ASSERT_TRUE(signatures::SaveCfdFile(path, file, nullptr));
    dialogs.choices = {path};
    screen->cmdOptions[4]->click();
    EXPECT_EQ(screen->windowTitle(), "Acquire Data Signatures: two hundred.cfd");
    EXPECT_EQ(screen->fgCpfdData->rowCount(), 200);
    runPass();
    EXPECT_EQ(screen->lblCpfdDataSamples->text(), "200");

    // Online, an opened file's count goes to the motion board; the K2510 is never written.
    sim.moveCable(R);
    goOnline();
    runPass();
    dialogs.choices = {path};
    screen->cmdOptions[4]->click();
    EXPECT_EQ(sim.peekByte(R, 2999), 200);
    EXPECT_TRUE(answers.asked.empty());
}

// Print Data, its preview and its PDF: the signature printout, whenever Print Data is there.
TEST_F(CpfdDataScreen, PrintoutGoesToPaperPreviewAndPdfWhenPrintDataIsAvailable) {
    shell::ReportOutput output(nullptr, answers, dialogs);
    shell::gReportOutput = &output;
    struct Forget {
        ~Forget() { shell::gReportOutput = nullptr; }
    } forget;
    const QString paper = folder.filePath("paper.pdf");
    output.printerDialog = [&](QPrinter& printer, QWidget*) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(paper);
        return true;
    };
    shell::gSignature.CpfdData.Samples = 3;
    shell::gSignature.CpfdFileTitle = "three.cfd";
    openScreen();
    runPass();
    EXPECT_FALSE(screen->cmdPreviewData->isEnabled());
    EXPECT_FALSE(screen->cmdExportPdf->isEnabled());
    shell::gOfflineEditing = true;
    runPass();
    ASSERT_TRUE(screen->cmdPreviewData->isEnabled());
    ASSERT_TRUE(screen->cmdExportPdf->isEnabled());

    screen->cmdOptions[2]->click();
    EXPECT_EQ(shell::gWaitDisplayMode, 2) << "the wait window's text while formatting";
    dialogs.choices = {folder.filePath("exported")};
    screen->cmdExportPdf->click();
    for (const QString& pdf : {paper, folder.filePath("exported.pdf")}) {
        QProcess text;
        text.start("pdftotext", {pdf, "-"});
        text.waitForFinished(30000);
        EXPECT_TRUE(text.readAllStandardOutput().contains(
            "Servo Cupfeed (Current / Error / Profile) Signature Data:three.cfd"))
            << pdf.toStdString();
    }
    screen->cmdPreviewData->click();
    ASSERT_TRUE(output.previewWindow());
    EXPECT_TRUE(output.previewWindow()->isVisible());
    EXPECT_TRUE(answers.asked.empty());
}

TEST_F(CpfdDataScreen, GraphWindowDrawsZoomsComparesAndSaves) {
    CpfdData& d = shell::gSignature.CpfdData;
    d.Samples = 181;
    for (int i = 0; i < 181; ++i) {
        d.Pos[i] = 2.0f * i;
        d.Curr[i] = 2 + (i % 40) / 10.0f;
        d.Profile[i] = i / 5.0f;
    }
    d.Curr[7] = std::numeric_limits<float>::quiet_NaN(); // from a file: left out and counted
    shell::gOfflineEditing = true;
    openScreen();
    runPass();
    screen->cmdOptions[1]->click();
    QPointer<frmGraph> graph = screen->graphWindow();
    ASSERT_TRUE(graph);
    EXPECT_EQ(graph->windowTitle(), "Graph Data Signatures");
    EXPECT_TRUE(graph->isModal());
    graph->resize(1000, 620);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(graph));

    EXPECT_EQ(graph->lblGraphStatus->text(), "");
    QTest::mouseClick(graph->chkOptions[0], Qt::LeftButton);
    EXPECT_TRUE(graph->chkOptions[0]->styleSheet().contains("#000080"));
    EXPECT_EQ(graph->lblGraphStatus->text(), "1 sample left out (not a number or out of range)");
    EXPECT_TRUE(graph->lblGraphStatus->isVisible());
    screens::GraphPicture* pic = graph->picGraph;
    const signatures::GraphMapping m = pic->mapping();
    const QImage shown = pic->grab().toImage();
    const QPoint at(qRound(m.x(d.Pos[50])), qRound(m.y(d.Curr[50], true)));
    int hits = 0;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            hits += shown.pixelColor(at + QPoint(dx, dy)) == QColor(0, 0, 128);
    EXPECT_GT(hits, 0);

    // The cursor follows the mouse; a drag zooms; Escape returns to the whole stroke.
    MoveMouse(pic, QPoint(qRound(m.x(100)), pic->height() / 2));
    EXPECT_TRUE(graph->lblGraphCursor->text().startsWith("100.0"))
        << graph->lblGraphCursor->text().toStdString();
    QTest::mousePress(pic, Qt::LeftButton, {}, QPoint(qRound(m.x(90)), pic->height() / 2));
    MoveMouse(pic, QPoint(qRound(m.x(180)), pic->height() / 2), Qt::LeftButton);
    QTest::mouseRelease(pic, Qt::LeftButton, {}, QPoint(qRound(m.x(180)), pic->height() / 2));
    EXPECT_NEAR(pic->options().view.angleFrom, 90, 1);
    EXPECT_NEAR(pic->options().view.angleTo, 180, 1);
    QTest::keyClick(graph, Qt::Key_Escape);
    EXPECT_TRUE(pic->options().view.whole());
    EXPECT_TRUE(graph->isVisible()) << "the first Escape only leaves the zoom";

    // A reference twelve samples beyond the band (the counting is the graph logic's); the
    // tolerance box re-counts.
    CpfdData reference = d;
    for (int i = 20; i < 32; ++i)
        reference.Curr[i] += 2.0f;
    const QString refPath = folder.filePath("good.cfd");
    ASSERT_TRUE(signatures::SaveCfdFile(refPath, reference, nullptr));
    dialogs.choices = {refPath, folder.filePath("shown")};
    graph->setFileDialogs(&dialogs);
    graph->cmdReference->click();
    EXPECT_TRUE(graph->lblGraphBand->text().startsWith("12 of 181"));
    graph->updTolerance->setValue(50);
    EXPECT_TRUE(graph->lblGraphBand->text().startsWith("0 of 181"));
    graph->cmdSaveImage->click();
    EXPECT_EQ(QImage(folder.filePath("shown.png")).size(), pic->size());
    EXPECT_TRUE(answers.asked.empty());

    graph->cmdOk->click();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(graph);
}

} // namespace
} // namespace talvern::testing
