// The background alarm poll against the simulated boards.

#include "BackgroundUpdate.h"
#include "MainWindowFixture.h"
#include "ScreenHold.h"

namespace talvern::testing {
namespace {

using boards::BoardId;
constexpr auto K = BoardId::K2510;
const QString kNormal = "System Message:  All Faults Normal";
const QString kFaults = "System Message:  Faults Active in PLC";

using BackgroundTick = MainWindowTest;

TEST_F(BackgroundTick, EveryAlarmAddressRaisesItsOwnText) {
    struct Row {
        const char* source;
        std::function<void(boards::SimulatedBoards&)> raise;
        QString lines;
    };
    auto b101 = [](int value) {
        return [value](boards::SimulatedBoards& s) { s.pokeByte(K, 101, value); };
    };
    auto bit = [](int address, int n) {
        return [address, n](boards::SimulatedBoards& s) { s.pokeBit(K, address, n, true); };
    };
    const Row rows[] = {
        {"B101 = 0", b101(0), "Cupfeed Cam Not in Sync\r\nNo Servo Fault\r\n"},
        {"B101.1", b101(0xA2), "Cupfeed Motor O'Temp\r\n"},
        {"B101.2", b101(0xA4), "Servo Amplifier Fault\r\n"},
        {"B101.3", b101(0xA8), "Cupfeed Cam Following Fault\r\n"},
        {"B101.4", b101(0xB0), "C1/CRA/CRB/CRC Fault\r\n"},
        {"B101.5 off", b101(0x80), "Cupfeed Cam Not in Sync\r\n"},
        {"B101.6", b101(0xE0), "Short Can Alarm (to PLC)\r\n"},
        {"B101.7 off", b101(0x20), "No Servo Fault\r\n"},
        {"B100.4", bit(100, 4), "Short Can Alarm (from PLC)\r\n"},
        {"F4", bit(32, 4), "Die Sensor Fail Alarm\r\n"},
        {"F8", bit(33, 0), "Timing Signal Fail Alarm\r\n"},
        {"B111.7", bit(111, 7), "Brake Response Too Long"},
    };
    goOnline();
    ticks(1);
    EXPECT_EQ(window->backgroundUpdate().pollCounter(), 1); // the first online tick reads B100.4
    for (const Row& row : rows) {
        SCOPED_TRACE(row.source);
        row.raise(sim);
        ticks(5);
        EXPECT_EQ(panel(1), kFaults);
        EXPECT_EQ(shell::gSystemMessage, "***** SYSTEM ALARM *****\r\n" + row.lines);
        for (int alarm = 1; alarm <= 11; ++alarm)
            sim.setAlarm(alarm, false);
        ticks(5);
        EXPECT_EQ(panel(1), kNormal);
        EXPECT_EQ(shell::gSystemMessage,
                  "-- System Normal --\r\nSet-up Program is Currently ONLINE");
    }
}

TEST_F(BackgroundTick, OfflineTicksKeepTheCounterAndWithTheMotionBoardNoPlcAlarmIsRead) {
    ticks(1);
    EXPECT_EQ(panel(1), "System Message:  Program is Currently OFFLINE");
    EXPECT_EQ(shell::gSystemMessage, "Set-up Program is Currently OFFLINE");
    EXPECT_EQ(window->backgroundUpdate().pollCounter(), 0);
    goOnline();
    sim.setAlarm(11, true);
    ticks(5);
    ASSERT_EQ(panel(1), kFaults);
    const int counter = window->backgroundUpdate().pollCounter();
    sim.moveCable(BoardId::R7520); // it answers 0 at B101
    ticks(5);
    EXPECT_EQ(panel(1), "System Message:  PLC Alarms Not Read (R7520 Connected)");
    EXPECT_EQ(shell::gSystemMessage,
              "-- PLC Alarms Not Read --\r\nMotion Board R7520 is Connected");
    setup::AlarmStates only11{};
    only11[11] = true;
    EXPECT_EQ(window->backgroundUpdate().alarmStates(), only11);
    EXPECT_EQ(window->backgroundUpdate().pollCounter(), counter);
    EXPECT_TRUE(answers.asked.empty());
    sim.moveCable(BoardId::K2510);
    ticks(1);
    EXPECT_EQ(shell::gSystemMessage, "***** SYSTEM ALARM *****\r\nBrake Response Too Long");

    window->mnuViewOffline->trigger();
    ticks(1);
    EXPECT_EQ(panel(1), "System Message:  Program is Currently OFFLINE");
    EXPECT_EQ(window->backgroundUpdate().pollCounter(), counter + 1);
}

TEST_F(BackgroundTick, AnAlarmStaysUntilItsOwnAddressIsReadAgainAndAFailedReadChangesNothing) {
    goOnline();
    sim.setAlarm(2, true);
    ticks(5);
    sim.setAlarm(2, false);
    ticks(4);
    EXPECT_EQ(panel(1), kFaults);
    ticks(1);
    EXPECT_EQ(panel(1), kNormal);
    ticks(3); // B101 is next
    // The echo of B101's address comes back wrong: the read gives "0", which must not raise
    // the two active-low alarms.
    sim.corruptReplies(1, 2);
    ticks(1);
    EXPECT_EQ(panel(1), kNormal);
    EXPECT_FALSE(rs().CommError);
    sim.unplug();
    answers.answers = {link::Answer::Cancel};
    ticks(1);
    EXPECT_TRUE(rs().CommError);
    EXPECT_EQ(panel(1), kNormal);
}

TEST_F(BackgroundTick, QuestionsHoldThePollAndTheScreens) {
    goOnline();
    ticks(1);
    const QString before = panel(1);
    // The link's own question: the tick skips its turn.
    int counterDuringQuestion = -1;
    answers.onAsk = [&](const AskedQuestion&) {
        window->tmrBackgroungUpdate_Timer();
        counterDuringQuestion = window->backgroundUpdate().pollCounter();
    };
    sim.unplug();
    answers.answers = {link::Answer::Cancel};
    rs().RSRead("W182");
    EXPECT_EQ(counterDuringQuestion, 1);
    EXPECT_EQ(panel(1), before);

    // The board check's question while the cable is out: nothing reads, no link question is
    // stacked over it, and one Retry after the cable is on the K2510 is enough.
    sim.plug();
    sim.moveCable(BoardId::R7520);
    window->mnuViewOnline->trigger(); // the link re-opens after the failure
    ASSERT_TRUE(rs().OnlineMode);
    answers.asked.clear();
    bool held = false;
    answers.onAsk = [&](const AskedQuestion&) {
        sim.unplug();
        window->tmrBackgroungUpdate_Timer();
        held = shell::ScreenHold(nullptr)() && shell::ScreenHold(window.get())();
        sim.moveCable(BoardId::K2510);
        sim.plug();
    };
    answers.answers = {link::Answer::Retry};
    EXPECT_TRUE(shell::CheckTargetBoard(1));
    EXPECT_TRUE(held);
    ASSERT_EQ(answers.asked.size(), 1u);
    EXPECT_EQ(answers.asked[0].title, "TMGPROG");
    EXPECT_FALSE(rs().CommError);
    EXPECT_EQ(window->backgroundUpdate().pollCounter(), counterDuringQuestion);
}

} // namespace
} // namespace talvern::testing
