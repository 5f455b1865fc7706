// The bodymaker main display: speed, position with its 50 spm rule, and the system message,
// driven step by step against the simulated boards.

#include "BMMainDisplay.h"
#include "FakePlatform.h"
#include "QtPlatform.h"
#include "RSComm.h"
#include "SimulatedRig.h"
#include "SimulatedSerialLine.h"
#include "boards/SimulatedBoards.h"
#include "frmBMMain.h"
#include "modUtility.h"

#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace talvern::testing {
namespace {

using boards::BoardId;

TEST(PositionRule, PositionIsShownUpToFiftyStrokesPerMinute) {
    EXPECT_EQ(screens::PositionDisplay("50", " 123 "), "123");
    EXPECT_EQ(screens::PositionDisplay("51", "123"), "888");
    EXPECT_EQ(screens::PositionDisplay("-", "7"), "7");
    EXPECT_EQ(screens::PositionDisplay("250", "7"), "888");
}

class OnlineView final : public setup::OnlineStateView {
public:
    void showOnlineState(bool online) override { shown.push_back(online); }
    std::vector<bool> shown;
};

class BMMain : public ::testing::Test, protected talvern::testing::SimulatedRig {
protected:
    BMMain() : rs(clock, answers, events, folder.path()) {
        rs.SetUserConfigFolder(folder.filePath("user"));
        shell::gLink = &rs;
        shell::gCommPort = &line;
        shell::gAnswers = &answers;
        shell::gEvents = &events;
        shell::gOnlineView = &view;
        shell::gSystemMessage = "Set-up Program is Currently OFFLINE";
    }
    ~BMMain() override {
        screen.reset();
        shell::gLink = nullptr;
        shell::gCommPort = nullptr;
        shell::gAnswers = nullptr;
        shell::gEvents = nullptr;
        shell::gOnlineView = nullptr;
    }
    void openScreen() {
        screen = std::make_unique<screens::frmBMMain>();
        screen->show();
    }
    void goOnline() {
        rs.OnlineMode = true;
        shell::UpdateOnlineState();
        ASSERT_TRUE(rs.OnlineMode);
    }
    // Runs whole passes: one step each call until a pass has finished.
    void passes(int n) {
        const int target = screen->refreshCycle().passesCompleted() + n;
        for (int guard = 0; guard < 100 && screen->refreshCycle().passesCompleted() < target;
             ++guard)
            screen->refreshCycle().runStep();
    }
    // Lets the machine reach the running speed set in W1026.
    void runAt(int spm) {
        sim.pokeWord(BoardId::K2510, 1026, static_cast<std::uint16_t>(spm));
        sim.startMachine();
        clock.advance(30);
    }
    QString speed() const { return screen->lblDisplay[0]->text(); }
    QString position() const { return screen->lblDisplay[1]->text(); }
    QString messages() const { return screen->txtMessageDisplay->toPlainText(); }

    QTemporaryDir folder;
    ScriptedAnswers answers;
    link::NoEventPump events;
    OnlineView view;
    link::RSComm rs;
    std::unique_ptr<screens::frmBMMain> screen;
};

TEST_F(BMMain, OfflineShowsPlaceholdersDisabledAndTheSystemMessage) {
    openScreen();
    EXPECT_EQ(screen->windowTitle(), "BM Main Display");
    EXPECT_EQ(screen->fraDisplay[0]->title(), "Machine Speed SPM");
    EXPECT_EQ(screen->fraDisplay[1]->title(), "Machine Position");
    EXPECT_EQ(screen->fraMessageDisplay->title(), "Messages");
    passes(1);
    EXPECT_EQ(speed(), "-");
    EXPECT_EQ(position(), "-");
    EXPECT_FALSE(screen->lblDisplay[0]->isEnabled());
    EXPECT_EQ(messages(), "Set-up Program is Currently OFFLINE");
    shell::gSystemMessage = "***** SYSTEM ALARM *****\r\nBrake Response Too Long";
    passes(1);
    EXPECT_EQ(messages(), "***** SYSTEM ALARM *****\nBrake Response Too Long");
}

TEST_F(BMMain, FiftyStrokesPerMinuteShowsThePosition) {
    runAt(50);
    goOnline();
    openScreen();
    passes(1);
    EXPECT_EQ(speed(), "50");
    bool ok = false;
    const int pos = position().toInt(&ok);
    EXPECT_TRUE(ok) << position().toStdString();
    EXPECT_GE(pos, 0);
    EXPECT_LT(pos, 360);
    EXPECT_TRUE(screen->lblDisplay[1]->isEnabled());
}

TEST_F(BMMain, FiftyOneStrokesPerMinuteShowsEightEightEight) {
    runAt(51);
    goOnline();
    openScreen();
    passes(1);
    EXPECT_EQ(speed(), "51");
    EXPECT_EQ(position(), "888");
}

TEST_F(BMMain, WrongBoardOnTheCableMeansNoReadsAfterTheQuestion) {
    sim.moveCable(BoardId::R7520);
    goOnline();
    openScreen();
    answers.answers = {link::Answer::Cancel};
    passes(1);
    ASSERT_EQ(answers.asked.size(), 1u);
    EXPECT_EQ(answers.asked[0].title, "TMGPROG");
    EXPECT_EQ(speed(), "-");
    EXPECT_FALSE(rs.OnlineMode);
    ASSERT_FALSE(view.shown.empty());
    EXPECT_FALSE(view.shown.back());
}

TEST_F(BMMain, ALinkFailureTurnsTheProgramOfflineAtTheNextPass) {
    goOnline();
    openScreen();
    passes(1);
    EXPECT_NE(speed(), "-");
    sim.unplug();
    answers.answers = {link::Answer::Cancel};
    passes(1);
    EXPECT_TRUE(rs.CommError);
    passes(1);
    EXPECT_FALSE(rs.OnlineMode);
    EXPECT_EQ(speed(), "-");
    EXPECT_FALSE(screen->lblDisplay[0]->isEnabled());
}

TEST_F(BMMain, ClosingTheScreenEndsItsCycleAtOnce) {
    goOnline();
    openScreen();
    screen->refreshCycle().runStep();
    screen->close();
    EXPECT_FALSE(screen->refreshCycle().isActive());
    EXPECT_FALSE(screen->refreshCycle().runStep());
}

} // namespace
} // namespace talvern::testing
