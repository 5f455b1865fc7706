// Verified reads and writes and blocks of confirmed reads: a value is taken only from good reads
// confirmed by a second one, so no lost, late, doubled or disturbed reply becomes data.
#include "VerifiedTransfer.h"
#include "ConfirmedReads.h"
#include "LinkFixture.h"

using namespace talvern;
using namespace talvern::testing;

namespace {

enum class Disturb { Lose, Corrupt, Double };

class Verified : public LinkTest {
protected:
    void SetUp() override { openOnTinyBoard(); }
    // The board with the reply to the n-th byte from now disturbed.
    void disturb(Disturb how, int n) {
        line.setResponder([this, how, n, count = 0](std::uint8_t b) mutable -> std::optional<int> {
            std::optional<int> reply = board(b);
            if (count++ != n || !reply) return reply;
            if (how == Disturb::Lose) return std::nullopt;
            if (how == Disturb::Corrupt) return *reply ^ 0x5A;
            line.script({*reply}); // doubled: the copy waits as a stray byte
            return reply;
        });
    }
};

} // namespace

TEST_F(Verified, OneDisturbedReplyAnywhereStillGivesOrWritesTheBoardsValues) {
    board.memory[1020] = 0xD2; // W1020 = 1234
    board.memory[1021] = 0x04;
    board.memory[698] = 1;
    enum { Read, Block, Write };
    for (const int kind : {Read, Block, Write}) {
        for (Disturb how : {Disturb::Lose, Disturb::Corrupt, Disturb::Double}) {
            for (int n = 0; n < (kind == Read ? 24 : kind == Block ? 56 : 12); ++n) {
                const std::string where = "transfer " + std::to_string(kind) + ", disturbance " +
                                          std::to_string(int(how)) + " at reply " +
                                          std::to_string(n);
                board.memory[1022] = 0x2E; // W1022 = 5678
                board.memory[1023] = 0x16;
                disturb(how, n);
                // a board check before, as a transfer makes it: the first read needs no
                // handshake, a write does
                link.RSRead("B698");
                if (kind == Read) {
                    EXPECT_EQ(link::ReadVerified(link, "W1020"), QString("1234")) << where;
                } else if (kind == Write) {
                    EXPECT_TRUE(link::WriteVerified(link, "W1022", "201")) << where;
                    EXPECT_EQ(board.memory[1022] | board.memory[1023] << 8, 201) << where;
                } else {
                    link::ConfirmedReads reads(link, {"W1020", "W1022", "B698"});
                    reads.runToEnd();
                    ASSERT_TRUE(reads.confirmed()) << where;
                    EXPECT_EQ(reads.value(0), 1234) << where;
                    EXPECT_EQ(reads.value(1), 5678) << where;
                    EXPECT_EQ(reads.value(2), 1) << where;
                }
            }
        }
    }
    EXPECT_TRUE(answers.asked.empty());
}

TEST_F(Verified, AValueThatKeepsChangingGivesTheMiddleOfThreeReadings) {
    int reads = 0;
    line.setResponder([&](std::uint8_t b) {
        if (b == 0xFC)
            board.memory[1020] = static_cast<std::uint8_t>(std::array{50, 10, 30}[reads++ % 3]);
        return board(b);
    });
    EXPECT_EQ(link::ReadVerified(link, "B1020"), QString("30"));
    EXPECT_EQ(reads, 3);
}

TEST_F(Verified, AReadFailingThreeTimesGivesNothing) {
    board.memory[0x0300] = 9;
    line.setResponder([&](std::uint8_t b) -> std::optional<int> {
        const std::optional<int> reply = board(b);
        return b == 0x03 && reply == 0x03 ? std::optional<int>(0x04) : reply; // wrong echo
    });
    EXPECT_FALSE(link::ReadVerified(link, "W1020"));
    EXPECT_EQ(std::count(line.sent.begin(), line.sent.end(), 0x01), 3)
        << "a read handshake per try";
    EXPECT_FALSE(link.CommError);
}

TEST_F(Verified, ABitIsWrittenIntoTheByteTheBoardHolds) {
    const std::tuple<std::uint8_t, const char*, std::uint8_t> cases[] = {
        {0xA4, "1", 0xA5}, {0xA5, "0", 0xA4}, {0xA4, "0", 0xA4}, {0xA5, "1", 0xA5}};
    for (const auto& [before, bit, after] : cases) {
        board.memory[1018] = before;
        disturb(Disturb::Corrupt, 3); // the data byte of the first read of B1018
        EXPECT_TRUE(link::WriteVerified(link, "B1018.0", bit));
        EXPECT_EQ(board.memory[1018], after) << int(before) << " bit 0 = " << bit;
    }
}

TEST_F(Verified, ARefusedValueIsRefusedOnceAndAWriteThatNeverGetsThroughFails) {
    EXPECT_FALSE(link::WriteVerified(link, "B5", "300"));
    EXPECT_EQ(answers.asked.size(), 1u);
    EXPECT_EQ(answers.asked[0].title, "ENTRY ALERT");

    line.setResponder([&](std::uint8_t b) -> std::optional<int> {
        const std::optional<int> reply = board(b);
        return b == 0x2A ? std::optional<int>(0x2B) : reply; // the data echo is always wrong
    });
    line.clearLog();
    EXPECT_FALSE(link::WriteVerified(link, "B5", "42"));
    EXPECT_EQ(std::count(line.sent.begin(), line.sent.end(), 0x2A), 6) << "twice, three tries";
    EXPECT_EQ(link::WriteFailedMessage("W1020"), "Unable to write W1020 to the board.");
}
