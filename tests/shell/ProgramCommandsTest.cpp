// Download, Upload and Verify Program from the main window, through the progress window.
#include "MainWindowFixture.h"
#include "frmDownloadProg.h"

#include <QFile>
#include <QMenu>
#include <QPointer>

using namespace talvern;
using link::Answer;

namespace {

class ProgramCommands : public talvern::testing::MainWindowTest {
protected:
    QString writeSet(const QByteArray& bxl) {
        for (const auto& [ext, text] :
             {std::pair{"bxl", bxl}, std::pair{"rev", QByteArray("WINPROG0;12\r\n")},
              std::pair{"hex", QByteArray(":10200000000102030405060708090A0B0C0D0E0F\r\n"
                                          ":00000001FF\r\n")}}) {
            QFile f(folder.filePath(QStringLiteral("W.") + ext));
            f.open(QIODevice::WriteOnly);
            f.write(text);
        }
        return folder.filePath(QStringLiteral("W.bxl"));
    }
    // Runs the progress window to its end; the labels it showed on the way.
    QStringList runWindow() {
        QStringList labels;
        QPointer<shell::frmDownloadProg> w = window->programWindow();
        for (int i = 0; i < 20000 && w; ++i) {
            w->runStep();
            if (!w) break;
            w->Timer1_Timer();
            if (!labels.contains(w->lblWaitDisplay->text())) labels << w->lblWaitDisplay->text();
            clock.advance(0.01);
            flushDeletes();
        }
        flushDeletes();
        return labels;
    }
};

TEST_F(ProgramCommands, TheTargetBoardPageNeedsItsOpenerAndNoChangesNothing) {
    EXPECT_FALSE(window->mnuViewTargetBoardStatus->isEnabled());
    QString opened;
    window->setTargetBoardPage([&opened](const QString& file) { opened = file; });
    ASSERT_TRUE(window->mnuViewTargetBoardStatus->isEnabled());
    // The page opens on a valid program file only, offline too (it offers to go online itself).
    files.choices = {writeSet("DW\r\n")};
    window->mnuViewTargetBoardStatus->trigger();
    EXPECT_EQ(opened, folder.filePath("W.bxl"));
    EXPECT_TRUE(answers.asked.empty());
    EXPECT_EQ(window->gProgramFilePath, opened);

    // No to the offline question, or to the download, changes nothing.
    files.calls.clear();
    answers.answers = {Answer::No};
    window->mnuFileDownloadProgramK2510->trigger();
    EXPECT_TRUE(files.calls.empty()) << "no file dialog after No to the offline question";

    goOnline();
    window->tmrBackgroungUpdate.start();
    files.choices = {writeSet("4W\r\n")};
    answers.asked.clear();
    answers.answers = {Answer::No};
    window->mnuFileDownloadProgramR7520->trigger();
    ASSERT_EQ(answers.asked.size(), 1u);
    EXPECT_EQ(answers.asked[0].text, "You are about to download \"W.bxl\" to the R7520.\r\n\r\n"
                                     "Do you wish to continue?");
    EXPECT_EQ(window->programWindow(), nullptr);
    EXPECT_TRUE(window->tmrBackgroungUpdate.isActive());
}

TEST_F(ProgramCommands, DownloadThenVerifyThroughTheProgressWindow) {
    goOnline();
    sim.moveCable(boards::BoardId::R7520);
    files.choices = {writeSet("4W\r\n")};
    answers.answers = {Answer::Yes, Answer::Yes};
    window->mnuFileDownloadProgramR7520->trigger();
    ASSERT_NE(window->programWindow(), nullptr);
    EXPECT_FALSE(window->tmrBackgroungUpdate.isActive()) << "no background poll during the dump";
    const QStringList labels = runWindow();
    EXPECT_TRUE(labels.contains(QStringLiteral("Writing to Program Address: 2000H")));
    EXPECT_TRUE(labels.contains(QStringLiteral("Writing Program Ident ... ")));
    EXPECT_EQ(answers.asked.back().text, QStringLiteral("Program Download Complete!"));
    EXPECT_EQ(window->programWindow(), nullptr);
    EXPECT_TRUE(window->tmrBackgroungUpdate.isActive()) << "restarted after the transfer";
    EXPECT_EQ(sim.peekByte(boards::BoardId::R7520, 0x200F), 0x0F);

    files.choices = {folder.filePath("W.bxl")};
    window->mnuFileVerifyProgramR7520->trigger();
    runWindow();
    EXPECT_EQ(answers.asked.back().text,
              QStringLiteral("Program in board matches W.hex (16 bytes)."));
}

} // namespace
