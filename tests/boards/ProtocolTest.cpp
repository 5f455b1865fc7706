// The board side of the byte exchange, checked byte by byte on the host side of the wire.

#include "BoardsTestSupport.h"

#include <string>

namespace talvern::boards::testing {
namespace {

// Each case starts on fresh boards with W1020 = 0x1234 on the K2510.
TEST(BoardProtocol, EachExchangeGetsItsRepliesAndLeavesItsBytes) {
    constexpr int A = 0x55; // the acknowledge
    struct Case {
        const char* name;
        Bytes sent;
        Bytes replies;
        std::vector<std::pair<int, int>> after = {};
        BoardId cable = K;
    };
    const Case cases[] = {
        {"read mode echoes the high byte and answers the low byte with data",
         {0xFF, 0x01, 0x03, 0xFC, 0x03, 0xFD},
         {A, A, 0x03, 0x34, 0x03, 0x12}},
        {"write mode echoes every byte and stores the data",
         {0xFF, 0x02, 0x03, 0xFC, 0xD2, 0x03, 0xFD, 0x04},
         {A, A, 0x03, 0xFC, 0xD2, 0x03, 0xFD, 0x04},
         {{1020, 0xD2}, {1021, 0x04}}},
        {"an address or data byte of FF (B8191 is 0x1FFF) is not taken for attention",
         {0xFF, 0x02, 0x1F, 0xFF, 0xFF, 0xFF, 0x01, 0x1F, 0xFF},
         {A, A, 0x1F, 0xFF, 0xFF, A, A, 0x1F, 0xFF},
         {{8191, 0xFF}}},
        {"attention is answered in read, write and PLS reply states and restarts the handshake",
         {0xFF, 0x01, 0xFF, 0x02, 0xFF, 0x01, 0x02, 0xBA, 0xFF, 0x18, 0x55, 0xFF, 0x01},
         {A, A, A, A, A, A, 0x02, 1, A, A, 0x68, A, A}},
        {"a link still in read mode after the cable was moved reads without a handshake",
         {0x02, 0xBA},
         {0x02, 1}},
        {"an unknown mode is refused", {0xFF, 0x77}, {A, 0x00}},
        {"the motion board has no PLS and holds its number at 698",
         {0xFF, 0x18, 0xFF, 0x01, 0x02, 0xBA},
         {A, 0x00, A, A, 0x02, 3},
         {},
         R},
        {"program mode stores each record and answers its sum; 0xFF leaves it",
         {0xFF, 0x03, 0x03, 0x00, 0x30, 0x02, 0x33, 0x7A, 0x01, 0x20, 0x00, 0xFF, 0xFF, 0xFF, 0x01},
         {A, A, -1, -1, -1, -1, -1, 0xE2, -1, -1, -1, 0x20, A, A, A},
         {{0x30, 0x02}, {0x32, 0x7A}, {0x2000, 0xFF}}},
        // --- The PLS command set ---
        {"PLS read words (scale 360, offset 0) are clocked out low byte first",
         {0xFF, 0x18, 0x55, 0x55, 0xFF, 0x28, 0x55, 0x55},
         {A, A, 0x68, 0x01, A, A, 0x00, 0x00}},
        {"a channel command is acknowledged, then READY polls busy, then ready",
         {0xFF, 0x1B, 2, 10, 0, 20, 0, 1, 0x38, 0x55, 0x38, 0x55, 0x55, 0xFF, 0x01},
         {A, A, A, A, A, A, A, A, A, A, A, 0x00, A, A, A}},
        {"recall gives the ON point, then the OFF point (factory channel 4: 150, 350)",
         {0xFF, 0x09, 4, 0x55, 0x55, 0x55, 0xFF, 0x09, 4, 0x55, 0x55, 0x55},
         {A, A, A, 1, 150, 0, A, A, A, 0, 0x5E, 0x01}},
        {"recall follows a reprogrammed channel (ON 300, OFF 20) and tells a cleared one",
         {0xFF, 0x1B, 3,    0,    0, 0,    0,    0,    0xFF, 0x1B, 3, 0x2C, 0x01, 20,
          0,    1,    0xFF, 0x09, 3, 0x55, 0x55, 0x55, 0xFF, 0x09, 3, 0x55, 0x55, 0x55,
          0xFF, 0x1B, 3,    0,    0, 0,    0,    0,    0xFF, 0x09, 3, 0x55, 0x55, 0x55},
         {A,    A, A, A, A, A,  A, A, A, A, A, A, A, A, A, A, A, A, A, 1, 0x2C,
          0x01, A, A, A, 0, 20, 0, A, A, A, A, A, A, A, A, A, A, A, 2, 0, 0}},
        {"configuration blocks come back in the upload order",
         {0xFF, 0x3B, 4,    11,   12,   13,   14,   0,    0xFF, 0x4B, 15,   16,   17,   18,
          0,    0,    0xFF, 0x0C, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55},
         {A, A, A, A, A, A, A,  A,  A,  A,  A,  A,  A,  A,
          A, A, A, A, 8, 4, 11, 12, 13, 14, 15, 16, 17, 18}},
        {"offset and scale can be sent",
         {0xFF, 0x2A, 100, 0, 0xFF, 0x28, 0x55, 0x55, 0xFF, 0x1A, 0xE8, 0x03},
         {A, A, A, A, A, A, 100, 0, A, A, A, A},
         {{186, 0xE8}, {187, 0x03}, {188, 100}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ManualClock clock;
        SimulatedBoards boards{clock, 37.0};
        boards.pokeWord(K, 1020, 0x1234);
        boards.moveCable(c.cable);
        EXPECT_EQ(exchange(boards, c.sent), c.replies);
        expectBytes(boards, K, c.after);
    }
}

// --- The system area ---

TEST_F(BoardsTest, SystemAreaHoldsIdentConfigurationAndQuietFaultCodes) {
    for (auto id : {K, R}) {
        expectBytes(boards, id, {{8175, 0}, {8176, 0}, {8177, 0}, {8178, 0}, {8179, 0}, {8190, 3}});
        EXPECT_GE(boards.peekByte(id, 8180), 1);
        EXPECT_LE(boards.peekByte(id, 8180), 32);
        EXPECT_GT(boards.peekByte(id, 8159), 0);
    }
    std::string ident;
    for (int i = 0; i < 8; ++i)
        if (int c = boards.peekByte(K, 61424 + i)) ident += static_cast<char>(c);
    EXPECT_EQ(ident, "TMGPROG");
}

TEST_F(BoardsTest, ClockRunsAndTakesTheFieldsWritten) {
    boards.board(K).setCalendar({2024, 2, 28, 23, 59, 30});
    clock.advance(45); // into the leap day
    expectBytes(boards, K,
                {{43008, 15}, {43010, 0}, {43012, 0}, {43015, 29}, {43016, 2}, {43017, 24}});
    exchange(boards, {0xFF, 0x02, 0xA8, 0x02, 7}); // minutes (43010 = 0xA802)
    exchange(boards, {0xA8, 0x09, 31});            // year (43017)
    clock.advance(60);
    expectBytes(boards, K, {{43010, 8}, {43017, 31}});
}

} // namespace
} // namespace talvern::boards::testing
