// The virtual cable: which board it reaches, unplugging, injected faults and paced replies.

#include "BoardsTestSupport.h"

#include <gtest/gtest.h>

namespace talvern::boards::testing {
namespace {

class Cable : public ::testing::Test {
protected:
    ManualClock clock;
    SimulatedBoards boards{clock, 37.0};
};

TEST_F(Cable, AnUnpluggedCableGetsNoRepliesAndReachesNoBoard) {
    boards.unplug();
    EXPECT_FALSE(boards.plugged());
    EXPECT_EQ(exchange(boards, {0xFF, 0x02, 0x03, 0xFC, 0x09}), (Bytes{-1, -1, -1, -1, -1}));
    EXPECT_FALSE(boards.nextReplyTime());
    boards.plug();
    EXPECT_EQ(exchange(boards, {0xFF, 0x01, 0x03, 0xFC}), (Bytes{0x55, 0x55, 0x03, 0x00}));
}

TEST_F(Cable, MovingTheCableReachesTheOtherBoard) {
    exchange(boards, {0xFF, 0x02, 0x03, 0xFC, 0x42});
    boards.moveCable(BoardId::R7520);
    EXPECT_EQ(boards.cableBoard(), BoardId::R7520);
    EXPECT_EQ(boards.peekByte(BoardId::R7520, 1020), 0);
    EXPECT_EQ(boards.peekByte(BoardId::K2510, 1020), 0x42);
    EXPECT_EQ(exchange(boards, {0xFF, 0x01, 0x02, 0xBA}), (Bytes{0x55, 0x55, 0x02, 3}));
}

TEST_F(Cable, ASilentBoardNeitherHearsNorAnswers) {
    boards.setSilent(true);
    EXPECT_EQ(exchange(boards, {0xFF, 0x02, 0x03, 0xFC, 0x42}), (Bytes{-1, -1, -1, -1, -1}));
    boards.clearFaults();
    EXPECT_EQ(boards.peekByte(BoardId::K2510, 1020), 0);
    EXPECT_EQ(exchange(boards, {0xFF}), (Bytes{0x55}));
}

TEST_F(Cable, CorruptedRepliesDifferButTheBoardActsOnWhatItHeard) {
    boards.corruptReplies(1, 4); // the data echo of a write
    const Bytes r = exchange(boards, {0xFF, 0x02, 0x03, 0xFC, 0x42});
    EXPECT_EQ(Bytes(r.begin(), r.begin() + 4), (Bytes{0x55, 0x55, 0x03, 0xFC}));
    EXPECT_NE(r[4], 0x42);
    EXPECT_EQ(boards.peekByte(BoardId::K2510, 1020), 0x42);
    EXPECT_EQ(exchange(boards, {0x03, 0xFD, 0x00}), (Bytes{0x03, 0xFD, 0x00})) << "only one";
}

TEST_F(Cable, DroppedRepliesAreMissing) {
    boards.dropReplies(2, 1);
    EXPECT_EQ(exchange(boards, {0xFF, 0x01, 0x03, 0xFC}), (Bytes{0x55, -1, -1, 0x00}));
}

TEST_F(Cable, OneFaultAtAChosenByte) {
    using Fault = SimulatedBoards::Fault;
    boards.pokeWord(BoardId::K2510, 1020, 0x0411);
    const std::vector<std::uint8_t> read{0xFF, 0x01, 0x03, 0xFC, 0x03, 0xFD};
    struct Case {
        Fault fault;
        Bytes replies;
    } cases[] = {
        {Fault::LostReply, {0x55, 0x55, 0x03, -1, 0x03, 0x04}},
        {Fault::CorruptedReply, {0x55, 0x55, 0x03, 0x11 ^ 0x5A, 0x03, 0x04}},
        {Fault::StrayByte, {0x55, 0x55, 0x03, 0x11, 0x11, 0x03}},
        {Fault::Silence, {0x55, 0x55, 0x03, -1, -1, -1}},
        {Fault::CablePulled, {0x55, 0x55, 0x03, -1, -1, -1}},
    };
    for (const Case& c : cases) {
        exchange(boards, {0xFF, 0xFF}); // the board back at attention whatever it was doing
        boards.injectFault(c.fault, 3);
        const long before = boards.bytesSent();
        EXPECT_EQ(exchange(boards, read), c.replies) << int(c.fault);
        EXPECT_EQ(boards.bytesSent() - before, 6);
        boards.discardReplies();
        clock.advance(1.6); // a silence ends; a pulled cable stays out
        EXPECT_EQ(exchange(boards, {0xFF, 0xFF}).back(), c.fault == Fault::CablePulled ? -1 : 0x55);
    }
}

TEST_F(Cable, SlowRepliesArriveLateAndInOrder) {
    boards.setReplyDelay(0.5);
    boards.hostSend(0xFF);
    boards.hostSend(0x01);
    EXPECT_FALSE(boards.replyAvailable());
    ASSERT_TRUE(boards.nextReplyTime());
    EXPECT_DOUBLE_EQ(*boards.nextReplyTime(), clock.now() + 0.5);
    boards.discardReplies();
    clock.advance(0.5);
    EXPECT_EQ(boards.repliesAvailable(), 2) << "a flush drops only what has arrived";
    EXPECT_EQ(boards.takeReply(), 0x55);
    EXPECT_EQ(boards.takeReply(), 0x55);
    EXPECT_EQ(boards.takeReply(), -1);
}

TEST_F(Cable, PacingTakesTheWireTimeEachWay) {
    boards.setPacing(9600);
    boards.hostSend(0xFF);
    EXPECT_FALSE(boards.replyAvailable());
    EXPECT_NEAR(*boards.nextReplyTime() - clock.now(), 20.0 / 9600, 1e-9) << "byte out, reply back";
    // A second byte sent at once waits for the first to leave the wire.
    boards.hostSend(0xFF);
    clock.advance(20.0 / 9600);
    EXPECT_EQ(boards.takeReply(), 0x55);
    EXPECT_EQ(boards.repliesAvailable(), 0);
    clock.advance(10.0 / 9600);
    EXPECT_EQ(boards.takeReply(), 0x55);
}

TEST_F(Cable, AStuckPlsStaysBusy) {
    boards.setPlsStuckBusy(true);
    exchange(boards, {0xFF, 0x2A, 10, 0});
    for (int i = 0; i < 5; ++i) {
        clock.advance(1);
        EXPECT_EQ(exchange(boards, {0x38, 0x55}), (Bytes{0x55, 0x55}));
    }
    boards.clearFaults();
    EXPECT_EQ(exchange(boards, {0x38, 0x55, 0x55}), (Bytes{0x55, 0x00, 0x55}));
}

} // namespace
} // namespace talvern::boards::testing
