// The main window's File commands and the processing window.
#include "MainWindowFixture.h"
#include "SdtFile.h"
#include "frmCompareSetup.h"
#include "frmProcessing.h"

#include <QCheckBox>
#include <QFile>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace talvern::testing {
namespace {

using boards::BoardId;
using link::Answer;

class FileWindow : public MainWindowTest {
protected:
    void TearDown() override {
        shell::gSetup = shell::gSetupSaved; // nothing to ask on the way out
        MainWindowTest::TearDown();
    }
    QString path(const QString& name) const { return folder.filePath(name); }
    // Steps the processing window until the transfer has ended.
    void finishTransfer() {
        QPointer<shell::frmProcessing> p = window->processingWindow();
        for (int steps = 0; p && !p->transfer().finished() && steps < 1000; ++steps)
            p->tmrProcessing_Timer();
        flushDeletes();
    }
    QStringList titles() const {
        QStringList t;
        for (const auto& q : answers.asked)
            t << q.title;
        return t;
    }

    // Runs the events until the compare window has read the board.
    void finishBoardRead() {
        for (int i = 0; i < 5000 && window->compareWindow() && window->compareWindow()->reading();
             ++i)
            QCoreApplication::processEvents();
        flushDeletes();
    }
};

TEST_F(FileWindow, SaveOnUnnamedDataAsksForANameAndExportStartsInTheProgramFolder) {
    shell::gSetup.ParamValue[2] = 290;
    files.choices = {path("line3.sdt")};
    window->mnuFileSave->trigger();
    EXPECT_EQ(filesAsked(), QStringList{"save  Setup Files(*.sdt)"});
    EXPECT_EQ(window->windowTitle(), "TALVERN - [line3.sdt]");
    EXPECT_FALSE(shell::gNewFile);
    QString message;
    auto saved = setup::LoadSdtFile(path("line3.sdt"), &message);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->ParamValue[2], 290);
    EXPECT_EQ(window->CheckSaveChanges(), 0);

    // Export starts in the program folder.
    files.calls.clear();
    files.choices = {path("shift.txt")};
    window->mnuFileExport->trigger();
    EXPECT_EQ(filesAsked(), QStringList{"save " + folder.path() + " Text Files(*.txt)"});
    EXPECT_EQ(window->gFileExportPath, path("shift.txt"));
    QFile f(path("shift.txt"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().startsWith("line3.sdt\r\nDate: \r\n \r\n"));
}

TEST_F(FileWindow, ExitWithChangesSavesOnYesAndCloses) {
    shell::gSetup.PLSSetpoint[0] = {1, 2};
    answers.answers = {Answer::Yes};
    files.choices = {path("exit.sdt")};
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(QFile::exists(path("exit.sdt")));
}

TEST_F(FileWindow, UploadK2510GoesOnlineShowsProgressAndFillsTheRecord) {
    sim.pokeWord(BoardId::K2510, 1022, 77);
    answers.answers = {Answer::Yes, Answer::Yes};
    window->mnuFileUploadK2510->trigger();
    EXPECT_EQ(titles(), (QStringList{"Data Upload", "Program Offline"}));
    EXPECT_TRUE(window->rsLink().OnlineMode);
    EXPECT_FALSE(window->gUploadNOW.isEmpty());
    shell::frmProcessing* p = window->processingWindow();
    ASSERT_NE(p, nullptr);
    EXPECT_TRUE(p->isModal());
    EXPECT_EQ(p->lblProcessing->text(), "Uploading Data from K2510, Please Standby...");
    p->tmrProcessing_Timer();
    p->tmrProcessing_Timer();
    EXPECT_EQ(p->prgProcessing->value(), 1);
    finishTransfer();
    EXPECT_EQ(window->processingWindow(), nullptr);
    EXPECT_EQ(shell::gSetup.ParamValue[1], 77);
    EXPECT_EQ(shell::gProcessMode, 0);
    EXPECT_EQ(answers.asked.size(), 2u);
}

TEST_F(FileWindow, NoToGoingOnlineOrToTheCountedQuestionRunsNothing) {
    answers.answers = {Answer::No};
    window->mnuFileDownloadK2510->trigger();
    EXPECT_EQ(window->compareWindow(), nullptr);
    shell::gSetup.ParamValue[2] = 290;
    answers.answers = {Answer::Yes, Answer::No};
    window->mnuFileDownloadK2510->trigger();
    finishBoardRead();
    EXPECT_EQ(window->processingWindow(), nullptr);
    EXPECT_EQ(titles(), (QStringList{"Program Offline", "Program Offline", "Data Download"}));
    EXPECT_EQ(answers.asked[0].text, "Program is Currently OFFLINE\r\n\r\n"
                                     "Do You Wish to Switch to ONLINE MODE to Continue?");
    EXPECT_EQ(answers.asked[2].text, "You are about to Download Data to the K2510\r\n\r\n"
                                     "1 value will change on the board.\r\n\r\n"
                                     "Do You Wish to Continue?");
    EXPECT_EQ(answers.asked[2].buttons, link::Buttons::YesNo);
    ASSERT_TRUE(window->compareWindow()); // left open, showing them
    EXPECT_TRUE(window->compareWindow()->chkOnlyDiffering->isChecked());
}

TEST_F(FileWindow, TheTimerRunsTheTransferFromTheEventLoop) {
    window->mnuViewOnline->trigger();
    answers.answers = {Answer::Yes};
    window->mnuFileDownloadK2510->trigger();
    finishBoardRead();
    QPointer<shell::frmProcessing> p = window->processingWindow();
    ASSERT_TRUE(p);
    for (int i = 0; i < 2000 && p; ++i)
        QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(p);
    EXPECT_TRUE(shell::gPLSDownloaded);
    EXPECT_EQ(titles(), QStringList{"Data Download"});
}

TEST_F(FileWindow, CancelAnswersEscapeEnterAndItsAccessKey) {
    sim.moveCable(BoardId::R7520);
    window->mnuViewOnline->trigger();
    const std::pair<int, Qt::KeyboardModifiers> keys[] = {{Qt::Key_Escape, Qt::NoModifier},
                                                          {Qt::Key_Return, Qt::NoModifier},
                                                          {Qt::Key_C, Qt::AltModifier}};
    for (const auto& [key, modifiers] : keys) {
        shell::gSetup.ParamValue[15] = -5;
        answers.answers = {Answer::Yes};
        window->mnuFileUploadR7520->trigger();
        QPointer<shell::frmProcessing> p = window->processingWindow();
        ASSERT_TRUE(p);
        p->tmrProcessing_Timer(); // the steps are driven from here, not by the window's timer
        p->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(p));
        ASSERT_EQ(QApplication::focusWidget(), p->cmdCancel);
        QSignalSpy clicked(p->cmdCancel, &QPushButton::clicked);
        QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key), modifiers);
        // The access key shows the button pressed; the click comes when it is released again.
        if (modifiers & Qt::AltModifier) {
            ASSERT_TRUE(clicked.count() > 0 || clicked.wait(2000));
        }
        finishTransfer();
        EXPECT_FALSE(p) << key;
        EXPECT_EQ(titles().back(), "Data Upload") << key;   // quietly
        EXPECT_EQ(shell::gSetup.ParamValue[15], -5) << key; // row 14 read, then stopped
    }
}

TEST_F(FileWindow, ATickDuringALinkQuestionOrTheFailureMessageWaits) {
    window->mnuViewOnline->trigger();
    answers.answers = {Answer::Yes};
    window->mnuFileUploadK2510->trigger();
    QPointer<shell::frmProcessing> p = window->processingWindow();
    ASSERT_TRUE(p);
    for (int i = 0; i < 4; ++i)
        p->tmrProcessing_Timer();
    sim.unplug();
    int nestedTicks = 0;
    // A message box runs the event loop, and with it the window's zero-interval timer.
    answers.onAsk = [&](const AskedQuestion& q) {
        if (!p || ++nestedTicks > 10) return;
        const int progress = p->transfer().progress();
        const std::size_t asked = answers.asked.size();
        p->tmrProcessing_Timer();
        EXPECT_EQ(p->transfer().progress(), progress) << q.title.toStdString();
        EXPECT_EQ(answers.asked.size(), asked) << q.title.toStdString();
    };
    finishTransfer();
    EXPECT_EQ(titles().count("WARNING - Communication Error!"), 1);
    EXPECT_EQ(titles().count("Process Error"), 1);
    EXPECT_EQ(nestedTicks, 2);
}

} // namespace
} // namespace talvern::testing
