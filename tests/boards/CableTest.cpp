// The virtual cable: which board it reaches, unplugging, injected faults and paced replies.

#include "BoardsTestSupport.h"

#include <functional>

namespace talvern::boards::testing {
namespace {

using Cable = BoardsTest;

TEST_F(Cable, AnUnpluggedCableOrASilentBoardGetsNoRepliesAndReachesNoBoard) {
    const struct {
        const char* name;
        std::function<void(SimulatedBoards&)> cut, restore;
    } cases[] = {
        {"unplugged", &SimulatedBoards::unplug, &SimulatedBoards::plug},
        {"silent", [](SimulatedBoards& b) { b.setSilent(true); }, &SimulatedBoards::clearFaults},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.cut(boards);
        EXPECT_EQ(exchange(boards, {0xFF, 0x02, 0x03, 0xFC, 0x42}), Bytes(5, -1));
        EXPECT_FALSE(boards.nextReplyTime());
        c.restore(boards);
        EXPECT_EQ(exchange(boards, {0xFF, 0x01, 0x03, 0xFC}), (Bytes{0x55, 0x55, 0x03, 0x00}));
    }
}

TEST_F(Cable, MovingTheCableReachesTheOtherBoard) {
    exchange(boards, {0xFF, 0x02, 0x03, 0xFC, 0x42});
    boards.moveCable(R);
    EXPECT_EQ(boards.peekByte(R, 1020), 0);
    EXPECT_EQ(boards.peekByte(K, 1020), 0x42);
    EXPECT_EQ(exchange(boards, {0xFF, 0x01, 0x02, 0xBA}), (Bytes{0x55, 0x55, 0x02, 3}));
}

TEST_F(Cable, EachFaultStrikesTheChosenReplyOnly) {
    // A corrupted echo differs, but the board acts on what it heard.
    boards.corruptReplies(1, 4);
    EXPECT_EQ(exchange(boards, {0xFF, 0x02, 0x03, 0xFE, 0x42})[4], 0x42 ^ 0x5A);
    EXPECT_EQ(boards.peekByte(K, 1022), 0x42);

    using Fault = SimulatedBoards::Fault;
    boards.pokeWord(K, 1020, 0x0411);
    const auto atByte3 = [](Fault f) { return [f](SimulatedBoards& b) { b.injectFault(f, 3); }; };
    const struct {
        const char* name;
        std::function<void(SimulatedBoards&)> inject;
        Bytes replies;
        bool staysOut = false;
    } cases[] = {
        {"lost", atByte3(Fault::LostReply), {0x55, 0x55, 0x03, -1, 0x03, 0x04}},
        {"corrupted", atByte3(Fault::CorruptedReply), {0x55, 0x55, 0x03, 0x11 ^ 0x5A, 0x03, 0x04}},
        {"stray byte", atByte3(Fault::StrayByte), {0x55, 0x55, 0x03, 0x11, 0x11, 0x03}},
        {"silence", atByte3(Fault::Silence), {0x55, 0x55, 0x03, -1, -1, -1}},
        {"two dropped after one",
         [](SimulatedBoards& b) { b.dropReplies(2, 1); },
         {0x55, -1, -1, 0x11, 0x03, 0x04}},
        {"one corrupted after three",
         [](SimulatedBoards& b) { b.corruptReplies(1, 3); },
         {0x55, 0x55, 0x03, 0x11 ^ 0x5A, 0x03, 0x04}},
        {"cable pulled", atByte3(Fault::CablePulled), {0x55, 0x55, 0x03, -1, -1, -1}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        exchange(boards, {0xFF, 0xFF}); // the board back at attention whatever it was doing
        c.inject(boards);
        const long before = boards.bytesSent();
        EXPECT_EQ(exchange(boards, {0xFF, 0x01, 0x03, 0xFC, 0x03, 0xFD}), c.replies);
        EXPECT_EQ(boards.bytesSent() - before, 6);
        boards.discardReplies();
        clock.advance(1.6); // a silence ends; a pulled cable stays out
        EXPECT_EQ(exchange(boards, {0xFF, 0xFF}).back(), c.staysOut ? -1 : 0x55);
    }
}

TEST_F(Cable, SlowRepliesArriveLateAndInOrderAndPacingTakesTheWireTimeEachWay) {
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

    boards.setReplyDelay(0);
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
