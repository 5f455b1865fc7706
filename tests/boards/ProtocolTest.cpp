// The board side of the byte exchange, checked byte by byte on the host side of the wire.

#include "BoardsTestSupport.h"

#include <gtest/gtest.h>

namespace talvern::boards::testing {
namespace {

class BoardProtocol : public ::testing::Test {
protected:
    ManualClock clock;
    SimulatedBoards boards{clock, 37.0};
};

TEST_F(BoardProtocol, ReadModeEchoesTheHighByteAndAnswersTheLowByteWithData) {
    boards.pokeWord(BoardId::K2510, 1020, 0x1234);
    EXPECT_EQ(exchange(boards, {0xFF, 0x01, 0x03, 0xFC, 0x03, 0xFD}),
              (Bytes{0x55, 0x55, 0x03, 0x34, 0x03, 0x12}));
}

TEST_F(BoardProtocol, WriteModeEchoesEveryByteAndStoresTheData) {
    EXPECT_EQ(exchange(boards, {0xFF, 0x02, 0x03, 0xFC, 0xD2, 0x03, 0xFD, 0x04}),
              (Bytes{0x55, 0x55, 0x03, 0xFC, 0xD2, 0x03, 0xFD, 0x04}));
    EXPECT_EQ(boards.peekWord(BoardId::K2510, 1020), 1234);
}

TEST_F(BoardProtocol, AnAddressOrDataByteOfFFIsNotTakenForAttention) {
    // B8191 is 0x1FFF: the low address byte is 0xFF.
    EXPECT_EQ(exchange(boards, {0xFF, 0x02, 0x1F, 0xFF, 0xFF}),
              (Bytes{0x55, 0x55, 0x1F, 0xFF, 0xFF}));
    EXPECT_EQ(boards.peekByte(BoardId::K2510, 8191), 0xFF);
    EXPECT_EQ(exchange(boards, {0xFF, 0x01, 0x1F, 0xFF}), (Bytes{0x55, 0x55, 0x1F, 0xFF}));
}

TEST_F(BoardProtocol, AttentionIsAnsweredInEveryStateAndRestartsTheHandshake) {
    exchange(boards, {0xFF, 0x01});
    EXPECT_EQ(exchange(boards, {0xFF}), (Bytes{0x55}));
    exchange(boards, {0x02});
    EXPECT_EQ(exchange(boards, {0xFF, 0x01, 0x02, 0xBA}), (Bytes{0x55, 0x55, 0x02, 1}));
    exchange(boards, {0xFF, 0x18, 0x55}); // a PLS read word, half clocked out
    EXPECT_EQ(exchange(boards, {0xFF, 0x01}), (Bytes{0x55, 0x55}));
}

TEST_F(BoardProtocol, NoModeReadsAndAnUnknownModeIsRefused) {
    // A link still in read mode after the cable was moved carries on without a handshake.
    EXPECT_EQ(exchange(boards, {0x02, 0xBA}), (Bytes{0x02, 1}));
    EXPECT_NE(exchange(boards, {0xFF, 0x77})[1], 0x55);
    boards.moveCable(BoardId::R7520);
    EXPECT_NE(exchange(boards, {0xFF, 0x18})[1], 0x55) << "the motion board has no PLS";
    EXPECT_EQ(readBytes(boards, 698, 1), (Bytes{3})) << "each board holds its number at 698";
}

TEST_F(BoardProtocol, ProgramModeStoresARecordAndAnswersItsSum) {
    EXPECT_EQ(exchange(boards, {0xFF, 0x03}), (Bytes{0x55, 0x55}));
    EXPECT_EQ(exchange(boards, {0x03, 0x00, 0x30, 0x02, 0x33, 0x7A}),
              (Bytes{-1, -1, -1, -1, -1, 0xE2}));
    EXPECT_EQ(exchange(boards, {0x01, 0x20, 0x00, 0xFF}), (Bytes{-1, -1, -1, 0x20}));
    EXPECT_EQ(exchange(boards, {0xFF}), (Bytes{0x55})) << "0xFF leaves program mode";
    EXPECT_EQ(boards.peekByte(BoardId::K2510, 0x30), 0x02);
    EXPECT_EQ(boards.peekByte(BoardId::K2510, 0x32), 0x7A);
    EXPECT_EQ(boards.peekByte(BoardId::K2510, 0x2000), 0xFF);
    EXPECT_EQ(exchange(boards, {0xFF, 0x01}), (Bytes{0x55, 0x55}));
}

// --- The PLS command set ---

class PlsProtocol : public BoardProtocol {
protected:
    // The READY poll: 0x38, then 0x55; the second reply is 0 when ready.
    int readyPoll() { return exchange(boards, {0x38, 0x55})[1]; }
};

TEST_F(PlsProtocol, ReadWordsAreClockedOutLowByteFirst) {
    EXPECT_EQ(exchange(boards, {0xFF, 0x18, 0x55, 0x55}), (Bytes{0x55, 0x55, 0x68, 0x01}));
    EXPECT_EQ(exchange(boards, {0xFF, 0x28, 0x55, 0x55}), (Bytes{0x55, 0x55, 0x00, 0x00}));
}

TEST_F(PlsProtocol, AChannelCommandIsAcknowledgedThenReportsBusyThenReady) {
    EXPECT_EQ(exchange(boards, {0xFF, 0x1B, 2, 10, 0, 20, 0, 1}), (Bytes(8, 0x55)));
    EXPECT_EQ(readyPoll(), 0x55);
    EXPECT_EQ(readyPoll(), 0x00);
    exchange(boards, {0x55}); // the reply after READY is not looked at
    EXPECT_EQ(exchange(boards, {0xFF, 0x01}), (Bytes{0x55, 0x55}));
}

TEST_F(PlsProtocol, RecallGivesTheOnPointThenTheOffPoint) {
    // Factory channel 4: ON 150, OFF 350.
    EXPECT_EQ(exchange(boards, {0xFF, 0x09, 4, 0x55, 0x55, 0x55}),
              (Bytes{0x55, 0x55, 0x55, 1, 150, 0}));
    EXPECT_EQ(exchange(boards, {0xFF, 0x09, 4, 0x55, 0x55, 0x55}),
              (Bytes{0x55, 0x55, 0x55, 0, 0x5E, 0x01}));
    exchange(boards, {0xFF, 0x1B, 3, 0, 0, 0, 0, 0});        // clear
    exchange(boards, {0xFF, 0x1B, 3, 0x2C, 0x01, 20, 0, 1}); // ON 300, OFF 20
    EXPECT_EQ(exchange(boards, {0xFF, 0x09, 3, 0x55, 0x55, 0x55}),
              (Bytes{0x55, 0x55, 0x55, 1, 0x2C, 0x01}));
    EXPECT_EQ(exchange(boards, {0xFF, 0x09, 3, 0x55, 0x55, 0x55}),
              (Bytes{0x55, 0x55, 0x55, 0, 20, 0}));
    exchange(boards, {0xFF, 0x1B, 3, 0, 0, 0, 0, 0});
    EXPECT_EQ(exchange(boards, {0xFF, 0x09, 3, 0x55, 0x55, 0x55})[3], 2) << "cleared channel";
}

TEST_F(PlsProtocol, ConfigurationBlocksComeBackInTheUploadOrder) {
    exchange(boards, {0xFF, 0x0C});
    Bytes values;
    for (int i = 0; i < 19; ++i)
        values.push_back(exchange(boards, {0x55})[0]);
    EXPECT_EQ(values[0], 8) << "number of channels";

    exchange(boards, {0xFF, 0x3B, 4, 11, 12, 13, 14, 0}); // program, comp 0..3
    exchange(boards, {0xFF, 0x4B, 15, 16, 17, 18, 0, 0}); // comp 4..7
    values.clear();
    exchange(boards, {0xFF, 0x0C});
    for (int i = 0; i < 19; ++i)
        values.push_back(exchange(boards, {0x55})[0]);
    EXPECT_EQ(Bytes(values.begin(), values.begin() + 10),
              (Bytes{8, 4, 11, 12, 13, 14, 15, 16, 17, 18}));
}

TEST_F(PlsProtocol, OffsetAndScaleCanBeSent) {
    exchange(boards, {0xFF, 0x2A, 100, 0});
    EXPECT_EQ(exchange(boards, {0xFF, 0x28, 0x55, 0x55}), (Bytes{0x55, 0x55, 100, 0}));
    exchange(boards, {0xFF, 0x1A, 0xE8, 0x03}); // scale 1000
    EXPECT_EQ(boards.peekWord(BoardId::K2510, 186), 1000);
    EXPECT_EQ(boards.peekWord(BoardId::K2510, 188), 100);
}

// --- The system area ---

TEST(BoardSystemArea, HoldsIdentConfigurationAndQuietFaultCodes) {
    ManualClock clock;
    SimulatedBoards boards{clock, 37.0};
    for (auto id : {BoardId::K2510, BoardId::R7520}) {
        for (int a = 8175; a <= 8179; ++a)
            EXPECT_EQ(boards.peekByte(id, a), 0) << a;
        EXPECT_GE(boards.peekByte(id, 8180), 1);
        EXPECT_LE(boards.peekByte(id, 8180), 32);
        EXPECT_GT(boards.peekByte(id, 8159), 0);
        EXPECT_EQ(boards.peekByte(id, 8190), 3);
    }
    std::string ident;
    for (int i = 0; i < 8; ++i)
        if (int c = boards.peekByte(BoardId::K2510, 61424 + i)) ident += static_cast<char>(c);
    EXPECT_EQ(ident, "TMGPROG");
}

TEST(BoardSystemArea, ClockRunsAndTakesTheFieldsWritten) {
    ManualClock clock;
    SimulatedBoards boards{clock, 37.0};
    Board& k = boards.board(BoardId::K2510);
    k.setCalendar({2024, 2, 28, 23, 59, 30});
    clock.advance(45);
    EXPECT_EQ(k.peekByte(43008), 15);
    EXPECT_EQ(k.peekByte(43010), 0);
    EXPECT_EQ(k.peekByte(43012), 0);
    EXPECT_EQ(k.peekByte(43015), 29);
    EXPECT_EQ(k.peekByte(43016), 2);
    EXPECT_EQ(k.peekByte(43017), 24);

    exchange(boards, {0xFF, 0x02, 0xA8, 0x02, 7}); // minutes (43010 = 0xA802)
    exchange(boards, {0xA8, 0x09, 31});            // year (43017)
    clock.advance(60);
    EXPECT_EQ(k.peekByte(43010), 8);
    EXPECT_EQ(k.peekByte(43017), 31);
}

} // namespace
} // namespace talvern::boards::testing
