// The bodymaker main display against the simulated boards.

#include "BMMainDisplay.h"
#include "ScreenFixture.h"
#include "frmBMMain.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>

namespace talvern::testing {
namespace {

using boards::BoardId;

TEST(PositionRule, PositionIsShownUpToFiftyStrokesPerMinute) {
    EXPECT_EQ(screens::PositionDisplay("50", " 123 "), "123");
    EXPECT_EQ(screens::PositionDisplay("51", "123"), "888");
    EXPECT_EQ(screens::PositionDisplay("-", "7"), "7");
}

class BMMain : public ScreenFixture {
protected:
    BMMain() { shell::gSystemMessage = "Set-up Program is Currently OFFLINE"; }
    void openScreen() {
        screen = std::make_unique<screens::frmBMMain>();
        open(*screen);
    }
    void passes(int n) {
        for (int k = 0; k < n; ++k)
            runPass(screen->refreshCycle());
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

    std::unique_ptr<screens::frmBMMain> screen;
};

TEST_F(BMMain, OfflineShowsPlaceholdersDisabledAndTheMessageKeepsItsScrollUntilItChanges) {
    openScreen();
    passes(1);
    EXPECT_EQ(speed(), "-");
    EXPECT_EQ(position(), "-");
    EXPECT_FALSE(screen->lblDisplay[0]->isEnabled());
    EXPECT_EQ(messages(), "Set-up Program is Currently OFFLINE");
    EXPECT_TRUE(line.sent.empty());

    QString alarms = "***** SYSTEM ALARM *****\r\n";
    for (int k = 0; k < 40; ++k)
        alarms += "Die Sensor Fail Alarm\r\n";
    shell::gSystemMessage = alarms;
    passes(1);
    QScrollBar* bar = screen->txtMessageDisplay->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    bar->setValue(bar->maximum());
    passes(2);
    EXPECT_EQ(bar->value(), bar->maximum());
    shell::gSystemMessage = "***** SYSTEM ALARM *****\r\nBrake Response Too Long";
    passes(1);
    EXPECT_EQ(messages(), "***** SYSTEM ALARM *****\nBrake Response Too Long");
}

TEST_F(BMMain, ThePositionIsShownUpToFiftyStrokesPerMinuteAndALinkFailureTurnsOffline) {
    runAt(50);
    goOnline();
    openScreen();
    passes(1);
    EXPECT_EQ(speed(), "50");
    bool ok = false;
    const int pos = position().toInt(&ok);
    EXPECT_TRUE(ok && pos >= 0 && pos < 360) << position().toStdString();
    EXPECT_TRUE(screen->lblDisplay[1]->isEnabled());
    runAt(51);
    passes(1);
    EXPECT_EQ(speed(), "51");
    EXPECT_EQ(position(), "888");

    // A link failure turns the program offline at the next pass.
    sim.unplug();
    passes(1);
    EXPECT_TRUE(link.CommError);
    passes(1);
    EXPECT_FALSE(link.OnlineMode);
    EXPECT_EQ(speed(), "-");
    EXPECT_FALSE(screen->lblDisplay[0]->isEnabled());
    screen->close();
    EXPECT_FALSE(screen->refreshCycle().isActive());
    EXPECT_FALSE(screen->refreshCycle().runStep());
}

TEST_F(BMMain, WrongBoardOnTheCableMeansNoReadsAfterTheQuestion) {
    sim.moveCable(BoardId::R7520);
    goOnline();
    openScreen();
    passes(1);
    EXPECT_TRUE(OnlyQuestion(answers).startsWith("TMGPROG|"));
    EXPECT_EQ(speed(), "-");
    EXPECT_FALSE(link.OnlineMode);
}

} // namespace
} // namespace talvern::testing
