// Acquisition against the simulated motion board in virtual time: a whole stroke, Cancel or a
// lost link part way, a board that never finishes, unreliable and failed reads.
#include "AcquireSignatures.h"
#include "SimulatedRig.h"

#include <gtest/gtest.h>

using namespace talvern;
using namespace talvern::signatures;
using boards::BoardId;

namespace {

constexpr auto R = BoardId::R7520;

// The simulated line, except that the data byte of a chosen address is lost a given number of
// times.
class ReplyLoser final : public link::SerialLine {
public:
    explicit ReplyLoser(link::SerialLine& line) : line_(line) {}
    int address = -1;
    int times = 0;

    bool open(const link::PortSettings& s, int* n, QString* t) override {
        return line_.open(s, n, t);
    }
    void close() override { line_.close(); }
    bool isOpen() const override { return line_.isOpen(); }
    void sendByte(std::uint8_t byte) override {
        previous_ = last_;
        last_ = byte;
        line_.sendByte(byte);
    }
    int bytesWaiting() override { return line_.bytesWaiting(); }
    int takeByte() override {
        const int reply = line_.takeByte();
        if (times > 0 && previous_ == (address >> 8) && last_ == (address & 0xFF)) {
            --times;
            last_ = -1;
            return -1;
        }
        return reply;
    }
    void discardInput() override { line_.discardInput(); }
    bool waitForInput(double deadline) override { return line_.waitForInput(deadline); }

private:
    link::SerialLine& line_;
    int previous_ = -1;
    int last_ = -1;
};

class Acquisition : public ::testing::Test, protected talvern::testing::SimulatedLink {
protected:
    void SetUp() override {
        sim.moveCable(R);
        goOnline(&spoiler);
        ASSERT_TRUE(rs.OnlineMode);
        // A signature acquired before and not yet saved, which Cancel and failures must give
        // back as it was: still unsaved, its table still to be filled.
        CpfdData& d = record.CpfdData;
        d.Samples = 50;
        for (int i = 0; i < kMaxSamples; ++i)
            d.Pos[i] = d.Curr[i] = d.Err[i] = d.Profile[i] = d.Desired[i] = 0.5f * i;
        d.PGainInt = 7;
        d.IGain = 3;
        record.CpfdDataSaved.Samples = 20;
        record.CpfdDataNew = true;
        record.CpfdFileTitle = QStringLiteral("untitled");
        beforeRecord = record;
    }
    void expectRecordAsBefore() {
        EXPECT_TRUE(SameBits(record.CpfdData, beforeRecord.CpfdData));
        EXPECT_TRUE(SameBits(record.CpfdDataSaved, beforeRecord.CpfdDataSaved));
        EXPECT_EQ(record.CpfdDataNew, beforeRecord.CpfdDataNew);
        EXPECT_EQ(record.CpfdFileTitle, beforeRecord.CpfdFileTitle);
    }
    // Steps until the acquisition ends or `until` holds after a step; the machine turns a
    // millisecond between steps.
    bool run(SignatureAcquisition& a, const std::function<bool()>& until = {}) {
        for (int steps = 0; steps < 100000; ++steps) {
            const bool more = a.step();
            clock.advance(0.001);
            if (!more) return false;
            if (until && until()) return true;
        }
        ADD_FAILURE() << "no end";
        return false;
    }

    ReplyLoser spoiler{line};
    SignatureRecord record;
    SignatureRecord beforeRecord;
};

} // namespace

TEST_F(Acquisition, ReadsTheStrokeTheBoardRecorded) {
    SignatureAcquisition a(rs, record, answers);
    run(a);
    ASSERT_EQ(a.outcome(), SignatureAcquisition::Outcome::Acquired);
    const CpfdData& d = record.CpfdData;
    ASSERT_EQ(d.Samples, 180);
    EXPECT_EQ(a.progress(), 180);
    EXPECT_EQ(a.maximum(), 180);
    EXPECT_TRUE(record.CpfdDataNew);
    EXPECT_EQ(record.CpfdFileTitle, "untitled");
    EXPECT_TRUE(SameBits(record.CpfdDataSaved, beforeRecord.CpfdDataSaved)) << "still unsaved";
    EXPECT_EQ(std::tuple(d.PGainInt, d.PGainFrac, d.IGain, d.DGain), std::tuple(15, 5, 100, 25));
    for (int i = 0; i < 180; ++i) {
        ASSERT_EQ(d.Pos[i], SamplePosition(i, 180)) << i;
        ASSERT_EQ(d.Curr[i], CurrentFromRaw(sim.peekByte(R, 3000 + i))) << i;
        ASSERT_EQ(d.Err[i], ErrorFromRaw(sim.peekByte(R, 3500 + i))) << i;
        ASSERT_EQ(d.Profile[i], ProfileFromRaw(sim.peekByte(R, 4000 + i))) << i;
        ASSERT_EQ(d.Desired[i], ProfileFromRaw(sim.peekByte(R, 4500 + i))) << i;
    }
    EXPECT_EQ(d.Pos[180], beforeRecord.CpfdData.Pos[180])
        << "elements past the count are left alone";
    EXPECT_TRUE(answers.asked.empty());
}

// Cancel, or a lost link, while the board records or while sampling gives the record back as it
// was.
TEST_F(Acquisition, CancelOrALinkFaultPartWayLeavesTheRecordAsItWas) {
    for (const bool unplug : {false, true})
        for (const bool sampling : {false, true}) {
            SCOPED_TRACE(::testing::Message() << "unplug " << unplug << " sampling " << sampling);
            record = beforeRecord;
            sim.plug();
            rs.CommError = false;
            sim.setCaptureStuck(!sampling && !unplug);
            SignatureAcquisition a(rs, record, answers);
            ASSERT_TRUE(run(a, [&] {
                return sampling ? a.progress() >= 40
                                : a.phase() == SignatureAcquisition::Phase::Waiting;
            }));
            if (unplug) {
                sim.unplug(); // the link asks Retry/Cancel; the script cancels
                run(a);
                EXPECT_TRUE(rs.CommError);
                EXPECT_EQ(a.outcome(), SignatureAcquisition::Outcome::LinkFailed);
            } else {
                if (!sampling) {
                    // A board that never finishes keeps the acquisition polling until Cancel.
                    ASSERT_TRUE(run(a, [&] { return clock.now() > 1030; }));
                    EXPECT_EQ(a.phase(), SignatureAcquisition::Phase::Waiting);
                    EXPECT_EQ(a.statusText(), "1");
                }
                a.cancel();
                EXPECT_FALSE(a.step());
                EXPECT_EQ(a.outcome(), SignatureAcquisition::Outcome::Cancelled);
                EXPECT_EQ(sim.peekByte(R, 2999), 0) << "the board is told to abandon the recording";
            }
            expectRecordAsBefore();
        }
}

TEST_F(Acquisition, AFailedReadIsTriedAgainAndNeverStored) {
    // One lost reply: the value is read again and the signature is whole; three: nothing is
    // stored and the address is named.
    spoiler.address = 3540;
    for (int times : {1, 3}) {
        record = beforeRecord;
        answers.asked.clear();
        spoiler.times = times;
        SignatureAcquisition a(rs, record, answers);
        run(a);
        EXPECT_EQ(spoiler.times, 0);
        EXPECT_FALSE(rs.CommError);
        if (times == 1) {
            ASSERT_EQ(a.outcome(), SignatureAcquisition::Outcome::Acquired);
            EXPECT_EQ(record.CpfdData.Err[40], ErrorFromRaw(sim.peekByte(R, 3540)));
            continue;
        }
        EXPECT_EQ(a.outcome(), SignatureAcquisition::Outcome::ReadFailed);
        expectRecordAsBefore();
        ASSERT_EQ(answers.asked.size(), 1u);
        EXPECT_TRUE(answers.asked[0].text.contains("B3540")) << answers.asked[0].text.toStdString();
    }
}
