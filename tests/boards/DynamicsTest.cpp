// The machine behind the boards: speed and crank, the PLS channels, shift counters, brake
// response, alarms, the cupfeed's following error and its signature recorder.

#include "BoardsTestSupport.h"

#include <algorithm>

namespace talvern::boards::testing {
namespace {

using Bodymaker = BoardsTest;

TEST_F(Bodymaker, BothBoardsStartWithTheFactorySetUpAndTheCrankTurning) {
    EXPECT_TRUE(boards.machineRunning());
    EXPECT_TRUE(boards.peekBit(K, 1018, 0));
    EXPECT_EQ(boards.peekByte(R, 1128), 5);
    const struct {
        BoardId board;
        int address, value;
    } words[] = {{K, 182, 250}, {K, 1024, 300},  {K, 1028, 350}, {K, 1032, 375}, {K, 1034, 250},
                 {K, 186, 360}, {R, 1110, 1950}, {R, 1130, 100}, {R, 1132, 500}, {R, 1134, 50},
                 {R, 1126, 15}, {R, 1120, 100},  {R, 1122, 25},  {R, 1140, 2048}};
    for (const auto& w : words)
        EXPECT_EQ(boards.peekWord(w.board, w.address), w.value) << w.address;

    const int before = boards.peekWord(K, 180);
    clock.advance(0.1); // 250 spm = 1500 degrees a second
    EXPECT_NEAR((boards.peekWord(K, 180) - before + 360) % 360, 150, 1);
    EXPECT_EQ(boards.peekWord(K, 184), 240) << "resolver period, ms a stroke";
}

TEST_F(Bodymaker, InputsFollowTheMachineThatRampsToItsSpeedAndStopsWithABrakeResponse) {
    EXPECT_TRUE(boards.peekBit(K, 42, 0)) << "F80 while running";
    EXPECT_GT(boards.peekWord(K, 162), 0);
    EXPECT_GT(boards.peekByte(K, 166), 0);
    EXPECT_TRUE(boards.peekWord(K, 100) & 1);
    boards.stopMachine();
    clock.advance(1);
    EXPECT_EQ(boards.peekWord(K, 182), 0);
    EXPECT_FALSE(boards.peekBit(K, 42, 0));
    EXPECT_EQ(boards.peekWord(K, 162), 0);
    EXPECT_EQ(boards.peekByte(K, 166), 0);
    const int response = boards.peekWord(K, 1040);
    EXPECT_GT(response, 50);
    EXPECT_LT(response, 300);
    EXPECT_FALSE(boards.alarmActive(11));
    const int stopped = boards.peekWord(K, 180);
    clock.advance(10);
    EXPECT_EQ(boards.peekWord(K, 180), stopped);

    boards.setHighSpeed(true);
    boards.startMachine();
    clock.advance(1);
    const int ramping = boards.peekWord(K, 182);
    EXPECT_GT(ramping, 0);
    EXPECT_LT(ramping, 350);
    clock.advance(10);
    EXPECT_EQ(boards.peekWord(K, 182), 350);
    boards.pokeWord(K, 1024, 20);
    boards.stopMachine();
    clock.advance(1);
    EXPECT_GT(boards.peekWord(K, 1042), response) << "a faster machine travels further";
    EXPECT_TRUE(boards.alarmActive(11)) << "beyond the maximum allowed response";
}

TEST_F(Bodymaker, ChannelBitIsOnBetweenItsOnAndOffPoints) {
    // Channel 0 switches at 150 and 170; channel 7 (ON 180, OFF 0) wraps across zero.
    int onSamples = 0;
    for (int i = 0; i < 240; ++i) {
        clock.advance(0.001); // 1.5 degrees
        const int pos = boards.peekWord(K, 180), bits = boards.peekWord(K, 170);
        EXPECT_EQ((bits & 1) != 0, pos >= 150 && pos < 170) << "at " << pos;
        EXPECT_EQ(((bits >> 7) & 1) != 0, pos >= 180) << "at " << pos;
        onSamples += bits & 1;
    }
    EXPECT_GT(onSamples, 10);
}

TEST_F(Bodymaker, ShiftCountersGrowWithStrokesAndEndOfShiftMovesThem) {
    boards.pokeDouble(K, 1100, 9990);
    boards.pokeWord(K, 1104, 0);
    clock.advance(60); // 250 strokes
    const auto good = boards.peekDouble(K, 1100);
    const auto shorts = boards.peekWord(K, 1104);
    EXPECT_EQ(good + shorts, 9990u + 250u);
    EXPECT_EQ(boards.peekWord(K, 1102), 1) << "the high word counts ten-thousands";

    boards.pokeBit(K, 36, 2, true); // F34
    EXPECT_EQ(boards.peekDouble(K, 1200), good);
    EXPECT_EQ(boards.peekWord(K, 1204), shorts);
    EXPECT_FALSE(boards.peekBit(K, 36, 2));
    EXPECT_LE(boards.peekDouble(K, 1100), 1u);
    clock.advance(60);
    EXPECT_GE(boards.peekDouble(K, 1100), 248u);
    clock.advance(3600); // a short can now and then
    EXPECT_EQ(boards.peekWord(K, 1104), 15000 / 997);
}

TEST_F(Bodymaker, AlarmsAreNormalByDefaultAndEachFollowsItsBit) {
    EXPECT_EQ(boards.peekByte(K, 101), 0xA0);
    // Alarms 1..7 are B101 bits (5 and 7 active-low), 8 is B100.4, 9 and 10 the flags F4 and
    // F8, 11 is B111.7.
    const struct {
        int address, bit;
        bool activeLow;
    } alarms[] = {{101, 1, false}, {101, 2, false}, {101, 3, false}, {101, 4, false},
                  {101, 5, true},  {101, 6, false}, {101, 7, true},  {100, 4, false},
                  {32, 4, false},  {33, 0, false},  {111, 7, false}};
    for (int a = 1; a <= 11; ++a) {
        EXPECT_FALSE(boards.alarmActive(a)) << a;
        boards.setAlarm(a, true);
        const auto& at = alarms[a - 1];
        EXPECT_EQ(boards.peekBit(K, at.address, at.bit), !at.activeLow) << a;
    }
    clock.advance(5); // the machine's own outputs leave the alarm bits alone
    for (int a = 1; a <= 11; ++a) {
        EXPECT_TRUE(boards.alarmActive(a)) << a;
        boards.setAlarm(a, false);
    }
    EXPECT_EQ(boards.peekByte(K, 101), 0xA0);
}

// --- The servo cupfeed ---

using Cupfeed = BoardsTest;

TEST_F(Cupfeed, MainCrankFollowsTheMachineAndTestModeDrivesTheCamFromTheOutput) {
    const int before = boards.peekWord(R, 82);
    clock.advance(0.01); // 15 degrees
    const int moved = (boards.peekWord(R, 82) - before + 4096) % 4096;
    EXPECT_NEAR(moved, 15 * 4096 / 360, 2);
    EXPECT_LT(boards.peekWord(R, 80), 4096);

    // Test mode drives the cam from the output.
    boards.pokeBit(R, 153, 7, true);
    clock.advance(0.001);
    const int start = boards.peekWord(R, 80);
    clock.advance(0.5); // the crank keeps turning; the cam now only follows W1140
    EXPECT_EQ(boards.peekWord(R, 80), start) << "2048 is 0 %";
    boards.pokeWord(R, 1140, 3072); // +50 %
    clock.advance(0.5);
    EXPECT_EQ((boards.peekWord(R, 80) - start + 4096) % 4096, 500);
}

class Signature : public BoardsTest {
protected:
    void capture() {
        boards.pokeByte(R, 2999, 1);
        EXPECT_EQ(boards.peekByte(R, 2999), 1);
        clock.advance(0.1);
        EXPECT_EQ(boards.peekByte(R, 2999), 1) << "a stroke takes 0.24 s at 250 spm";
        clock.advance(0.2);
    }
    int peakErrorSample() {
        int peak = 0;
        for (int i = 0; i < 180; ++i)
            peak = std::max<int>(peak, boards.peekByte(R, 3500 + i));
        return peak;
    }
};

TEST_F(Signature, RecordsOneStrokeOfShapedSamplesWithTheErrorOfItsGains) {
    capture();
    ASSERT_EQ(boards.peekByte(R, 2999), 180);
    int peakCurrent = 0, peakAt = 0, maxReference = 0;
    for (int i = 0; i < 180; ++i) {
        const int current = boards.peekByte(R, 3000 + i);
        if (current > peakCurrent) peakCurrent = current, peakAt = i;
        maxReference = std::max<int>(maxReference, boards.peekByte(R, 4500 + i));
        EXPECT_NEAR(boards.peekByte(R, 4000 + i), boards.peekByte(R, 4500 + i), 4) << i;
    }
    EXPECT_EQ(boards.peekByte(R, 4500), 0) << "the cup rests at the start of the stroke";
    EXPECT_GT(maxReference, 200);
    EXPECT_GT(peakCurrent, boards.peekByte(R, 3000) * 3) << "current peaks while accelerating";
    EXPECT_TRUE((peakAt > 0 && peakAt < 75) || (peakAt > 105 && peakAt < 165)) << peakAt;

    // Poor gains show in the recorded error.
    const int good = peakErrorSample();
    boards.pokeWord(R, 1126, 3);
    capture();
    EXPECT_GT(peakErrorSample(), 3 * good);
}

TEST_F(Signature, ZeroAbandonsAnotherCountSetsTheSamplesAndAStuckCaptureNeverFinishes) {
    boards.pokeByte(R, 2999, 1);
    boards.pokeByte(R, 2999, 0);
    clock.advance(1);
    EXPECT_EQ(boards.peekByte(R, 2999), 0);
    boards.pokeByte(R, 2999, 90);
    capture();
    EXPECT_EQ(boards.peekByte(R, 2999), 90);

    boards.setCaptureStuck(true);
    boards.pokeByte(R, 2999, 1);
    clock.advance(30);
    EXPECT_EQ(boards.peekByte(R, 2999), 1);
    boards.clearFaults();
    clock.advance(0.01);
    EXPECT_EQ(boards.peekByte(R, 2999), 90);
}

} // namespace
} // namespace talvern::boards::testing
