#include "LinkFixture.h"

#include <map>

using namespace talvern;
using namespace talvern::testing;
using link::Answer;

namespace {
// A PLS small enough to read in a test: words for scale, offset, position and rpm, a channel
// table, and a READY poll that can be told to stay busy.
struct TinyPLS {
    int scale = 360, offset = 100, position = 50, rpm = 0;
    bool busy = false;
    std::vector<int> params; // parameter bytes of the last command
    int lastCode = -1;
    int recallState = 1, recallLow = 150, recallHigh = 0;
    std::array<int, 19> config{};

    std::optional<int> operator()(std::uint8_t b) {
        // 0xFF is the attention byte only between commands; inside one it is a parameter.
        if (b == 0xFF && phase != Command) {
            phase = AwaitCode;
            return 0x55;
        }
        switch (phase) {
            case AwaitCode:
                code = lastCode = b;
                params.clear();
                count = 0;
                phase = Command;
                return 0x55;
            case Command:
                return command(b);
            case Ready1:
                phase = busy ? Idle : Ready2;
                return busy ? 0x55 : 0;
            case Ready2:
                phase = Idle;
                return 0x55;
            case Idle:
                if (b != 0x38) return std::nullopt;
                phase = Ready1;
                return 0x55;
        }
        return std::nullopt;
    }

private:
    enum Phase { Idle, AwaitCode, Command, Ready1, Ready2 } phase = Idle;
    int code = 0;
    int count = 0;

    int finish(int reply, int length) {
        if (++count == length) phase = Idle;
        return reply;
    }
    int word(int w) { return finish(count == 0 ? (w & 0xFF) : ((w >> 8) & 0xFF), 2); }
    std::optional<int> command(std::uint8_t b) {
        const std::map<int, int> words{{24, scale}, {40, offset}, {72, position}, {88, rpm}};
        if (words.count(code)) return word(words.at(code));
        if (code == 12) return finish(config[count], 19);
        if (code == 9 && count > 0)
            return finish(std::array{recallState, recallLow, recallHigh}[count - 1], 4);
        params.push_back(b); // parameter bytes are echoed with 0x55
        return finish(0x55, code == 9 ? 4 : code == 42 || code == 26 ? 2 : 6);
    }
};
} // namespace

class PLSTest : public LinkTest {
protected:
    void SetUp() override {
        line.setResponder(std::ref(pls));
        link.OpenRSComm(line);
        line.clearLog();
    }
    TinyPLS pls;
};

TEST_F(PLSTest, WordsClockOutLowThenHighASetpointChecksTheScaleClearsThenPrograms) {
    pls.rpm = 0x0102;
    EXPECT_EQ(link.PLSScaleFactor(), "360");
    EXPECT_EQ(link.PLSRpm(), "258");
    EXPECT_EQ(sent(), (Bytes{0xFF, 24, 0x55, 0x55, 0xFF, 88, 0x55, 0x55}));
    line.clearLog();
    EXPECT_TRUE(link.SingleSetpoint(3, 359, 10, true));
    // the scale read twice alike, clear (channel 3, 0, 0, 0, 0, flag 0) with ready poll, then
    // the setpoint.
    const Bytes expected{0xFF, 24, 0x55, 0x55, 0xFF, 24, 0x55, 0x55,                   //
                         0xFF, 27, 3,    0,    0,    0,  0,    0,    0x38, 0x55, 0x55, //
                         0xFF, 27, 3,    0x67, 1,    10, 0,    1,    0x38, 0x55, 0x55};
    EXPECT_EQ(sent(), expected);
}

TEST_F(PLSTest, PulseTrainChecksInOrderWithExactMessages) {
    const std::tuple<int, int, int, const char*> cases[] = {
        {0, 20, 0, "ON Division and OFF Division Must be Greater Than 0."},
        {7, 10, 0, "ON Division Plus OFF Division\r\nMust be a Multiple of 360."},
        {256, 104, 0, "ON Division or OFF Division Must be Less Than 255."},
        {10, 20, 360, "Start Position Must Not Be Greater Than 359."},
    };
    for (const auto& [on, off, start, text] : cases) {
        answers.asked.clear();
        EXPECT_FALSE(link.PulseTrain(1, on, off, start));
        EXPECT_EQ(answers.asked,
                  (Questions{{QString(text) + "\r\n\r\nPLS Channel will not be Programmed.",
                              "PLS Pulse Train", link::Buttons::Ok, link::Icon::Exclamation}}));
    }
    answers.asked.clear();
    line.clearLog();
    EXPECT_TRUE(link.PulseTrain(2, 255, 105, 300));
    EXPECT_TRUE(answers.asked.empty());
    EXPECT_EQ(pls.lastCode, 43);
    EXPECT_EQ(pls.params, (std::vector<int>{2, 300 & 0xFF, 1, 255, 105, 0}));
}

TEST_F(PLSTest, OffsetMakesThePresentPositionReadAsWanted) {
    // scale 360, offset 100, position 50: the raw position is 150
    for (const auto& [wanted, offset] : {std::pair{0, 150}, {30, 120}, {200, 310}, {360, 150}}) {
        EXPECT_TRUE(link.SetPLSOffset(static_cast<std::int16_t>(wanted))) << wanted;
        EXPECT_EQ(pls.lastCode, 42);
        EXPECT_EQ(pls.params[0] + pls.params[1] * 256, offset) << wanted;
    }
    EXPECT_TRUE(answers.asked.empty());
    EXPECT_FALSE(link.SetPLSOffset(361));
    EXPECT_EQ(answers.asked.back().text,
              "Desired Position cannot be greater than Scale Factor of 360.\r\n\r\n"
              "PLS Offset will not be Programmed.");
    EXPECT_EQ(answers.asked.back().title, "Set PLS Offset");
}

TEST_F(PLSTest, RecallReportsStateAndPositionOrRejectsAHighByteAbove16) {
    EXPECT_TRUE(link.RecallChannel(4));
    EXPECT_EQ(link.ChannelRecallState(), 1);
    EXPECT_EQ(link.ChannelRecallPos(), 150);
    EXPECT_FALSE(link.LastTransactionFailed());
    pls.recallHigh = 16;
    EXPECT_TRUE(link.RecallChannel(4));
    EXPECT_EQ(link.ChannelRecallPos(), 16 * 256 + 150);
    pls.recallHigh = 17;
    EXPECT_FALSE(link.RecallChannel(4));
    EXPECT_EQ(link.ChannelRecallState(), 2);
    EXPECT_EQ(link.ChannelRecallPos(), 0);
    EXPECT_TRUE(link.LastTransactionFailed());
}

TEST_F(PLSTest, ASetpointBeyondTheScaleIsRefusedButIsNoLinkFailureAsAMissingAcknowledgeIs) {
    EXPECT_FALSE(link.SingleSetpoint(0, 10, 360));
    EXPECT_EQ(answers.asked,
              (Questions{{"Setpoint setting 360 is greater than scale factor.\r\n\r\n"
                          "Channel can not be programmed.",
                          "PLS Single Setpoint", link::Buttons::Ok, link::Icon::Exclamation}}));
    EXPECT_EQ(pls.lastCode, 24) << "nothing programmed";
    EXPECT_FALSE(link.LastTransactionFailed());
    line.setResponder([this](std::uint8_t b) -> std::optional<int> {
        const std::optional<int> reply = pls(b);
        return b == 0x07 ? std::optional<int>(0x00) : reply; // the channel byte not acknowledged
    });
    EXPECT_FALSE(link.ClearPLSChan(7));
    EXPECT_TRUE(link.LastTransactionFailed());
}

TEST_F(PLSTest, BusyPLSRaisesTheReadyQuestionAfterThreeSeconds) {
    pls.busy = true;
    const double start = clock.now();
    answers.onAsk = [&](const AskedQuestion&) { EXPECT_NEAR(clock.now() - start, 3.0, 0.05); };
    EXPECT_FALSE(link.ClearPLSChan(1));
    EXPECT_EQ(answers.asked, (Questions{{"Cannot Determine PLS READY Mode Within Target Board.",
                                         "WARNING - Communication Error!",
                                         link::Buttons::RetryCancel, link::Icon::Critical}}));
    EXPECT_TRUE(link.CommError);
}

TEST_F(PLSTest, ConfigurationMovesInFourBlocksThenTheScale) {
    std::array<std::int16_t, 24> cfg{};
    for (int i = 0; i < 24; ++i)
        cfg[i] = static_cast<std::int16_t>(i + 1);
    EXPECT_TRUE(link.PLSConfigDownload(cfg, 720));
    std::vector<int> codes;
    for (std::size_t i = 0; i + 1 < line.sent.size(); ++i)
        if (line.sent[i] == 0xFF) codes.push_back(line.sent[i + 1]);
    EXPECT_EQ(codes, (std::vector<int>{59, 75, 91, 107, 26}));
    EXPECT_EQ(pls.params[0] + pls.params[1] * 256, 720);

    for (int i = 0; i < 19; ++i)
        pls.config[i] = 100 + i;
    const auto uploaded = link.PLSConfigUpload();
    EXPECT_EQ(uploaded[0], 100);
    EXPECT_EQ(uploaded[18], 118);
    line.clearLog();
    link.RSRead("B1");
    EXPECT_EQ(sent().front(), 0xFF) << "after a block read the next read hand-shakes";
}
