// The background alarm poll: alarm bits and texts, and ticks against the simulated boards.

#include "BackgroundUpdate.h"
#include "MainWindowFixture.h"

namespace talvern::testing {
namespace {

using setup::AlarmStates;

AlarmStates Only(std::initializer_list<int> alarms) {
    AlarmStates s{};
    for (int a : alarms)
        s[a] = true;
    return s;
}

TEST(AlarmBits, B101ZeroRaisesTheTwoActiveLowAlarms) {
    AlarmStates s{};
    setup::ApplyAlarmValue(0, 0, s);
    EXPECT_EQ(s, Only({5, 7}));
}

TEST(AlarmBits, B101With160ClearsAllSevenAndBitsMapOneToOne) {
    AlarmStates s = Only({1, 2, 3, 4, 5, 6, 7, 9});
    setup::ApplyAlarmValue(0, 160, s);
    EXPECT_EQ(s, Only({9}));
    setup::ApplyAlarmValue(0, 160 | 2 | 8, s);
    EXPECT_EQ(s, Only({1, 3, 9}));
}

TEST(AlarmBits, OtherAddressesSetTheirOwnAlarmWhenAboveZero) {
    AlarmStates s{};
    setup::ApplyAlarmValue(4, 1, s);
    EXPECT_EQ(s, Only({11}));
    setup::ApplyAlarmValue(1, 3, s);
    setup::ApplyAlarmValue(4, 0, s);
    EXPECT_EQ(s, Only({8}));
}

TEST(AlarmTexts, TheLastAlarmHasNoTrailingLineBreak) {
    const QStringList texts = setup::AlarmTexts();
    EXPECT_EQ(setup::AlarmLines(Only({11}), texts), "Brake Response Too Long");
    EXPECT_EQ(setup::AlarmLines(Only({5, 7}), texts),
              "Cupfeed Cam Not in Sync\r\nNo Servo Fault\r\n");
    const auto online = setup::OnlineTexts(Only({11}), texts);
    EXPECT_EQ(online.panel, "System Message:  Faults Active in PLC");
    EXPECT_EQ(online.message, "***** SYSTEM ALARM *****\r\nBrake Response Too Long");
}

TEST(AlarmTexts, NormalAndOfflineTexts) {
    const auto normal = setup::OnlineTexts(AlarmStates{}, setup::AlarmTexts());
    EXPECT_EQ(normal.panel, "System Message:  All Faults Normal");
    EXPECT_EQ(normal.message, "-- System Normal --\r\nSet-up Program is Currently ONLINE");
    EXPECT_EQ(setup::OfflineTexts(false).panel, "System Message:  Program is Currently OFFLINE");
    EXPECT_EQ(setup::OfflineTexts(true).panel, "System Message:  Comm Fault with K2500");
    EXPECT_EQ(setup::OfflineTexts(true).message, "Set-up Program is Currently OFFLINE");
}

using BackgroundTick = MainWindowTest;

TEST_F(BackgroundTick, OfflineTickShowsTheOfflineTexts) {
    ticks(1);
    EXPECT_EQ(panel(1), "System Message:  Program is Currently OFFLINE");
    EXPECT_EQ(shell::gSystemMessage, "Set-up Program is Currently OFFLINE");
    EXPECT_EQ(window->backgroundUpdate().pollCounter(), 0);
}

TEST_F(BackgroundTick, OnlineRoundReadsAllFiveAddressesStartingAtIndexOne) {
    goOnline();
    ticks(1);
    EXPECT_EQ(window->backgroundUpdate().pollCounter(), 1);
    EXPECT_EQ(panel(1), "System Message:  All Faults Normal");
    EXPECT_EQ(shell::gSystemMessage, "-- System Normal --\r\nSet-up Program is Currently ONLINE");
    sim.setAlarm(11, true);
    ticks(4); // indices 2, 3, 4, 0
    EXPECT_EQ(panel(1), "System Message:  Faults Active in PLC");
    EXPECT_EQ(shell::gSystemMessage, "***** SYSTEM ALARM *****\r\nBrake Response Too Long");
    EXPECT_EQ(window->backgroundUpdate().pollCounter(), 0);
}

TEST_F(BackgroundTick, ServoAlarmsFromB101AreShownInOrder) {
    goOnline();
    sim.setAlarm(2, true);
    sim.setAlarm(7, true);
    ticks(5);
    EXPECT_EQ(shell::gSystemMessage,
              "***** SYSTEM ALARM *****\r\nServo Amplifier Fault\r\nNo Servo Fault\r\n");
    sim.setAlarm(2, false);
    sim.setAlarm(7, false);
    ticks(4); // the state stays until B101 is read again
    EXPECT_EQ(panel(1), "System Message:  Faults Active in PLC");
    ticks(1);
    EXPECT_EQ(panel(1), "System Message:  All Faults Normal");
}

TEST_F(BackgroundTick, GoingOfflineShowsTheOfflineTextOnTheNextTick) {
    goOnline();
    ticks(2);
    window->mnuViewOffline->trigger();
    ticks(1);
    EXPECT_EQ(panel(1), "System Message:  Program is Currently OFFLINE");
    EXPECT_EQ(window->backgroundUpdate().pollCounter(), 2);
}

TEST_F(BackgroundTick, ATickDuringTheLinksOwnQuestionSkipsItsTurn) {
    goOnline();
    ticks(1);
    const QString before = panel(1);
    int counterDuringQuestion = -1;
    bool busy = false;
    answers.onAsk = [&](const AskedQuestion&) {
        busy = rs().IsBusy();
        window->tmrBackgroungUpdate_Timer();
        counterDuringQuestion = window->backgroundUpdate().pollCounter();
    };
    sim.unplug();
    answers.answers = {link::Answer::Cancel};
    rs().RSRead("W182");
    EXPECT_TRUE(busy);
    EXPECT_EQ(counterDuringQuestion, 1);
    EXPECT_EQ(panel(1), before);
}

TEST_F(BackgroundTick, AFailedReadChangesNothing) {
    goOnline();
    ticks(1);
    sim.unplug();
    answers.answers = {link::Answer::Cancel};
    ticks(1);
    EXPECT_TRUE(rs().CommError);
    EXPECT_EQ(panel(1), "System Message:  All Faults Normal");
}

} // namespace
} // namespace talvern::testing
