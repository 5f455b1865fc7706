// Upload and download through the step machine against the simulated boards, in virtual time.
#include "DataTransfer.h"
#include "OnlineState.h"
#include "SimulatedRig.h"

#include <gtest/gtest.h>
#include <tuple>

using namespace talvern;
using namespace talvern::setup;
using boards::BoardId;

namespace {

class Transfer : public ::testing::Test, protected talvern::testing::SimulatedLink {
protected:
    void SetUp() override {
        goOnline();
        ASSERT_TRUE(rs.OnlineMode);
        setup = FactoryDefaults("TALVERN_R2.1.4");
    }
    // A transfer whose board check is the real one, logged.
    std::unique_ptr<DataTransfer> make(int mode) {
        firstRow = FindTransferMode(mode)->first;
        return std::make_unique<DataTransfer>(mode, rs, setup, answers, events, [this](int b) {
            log.push_back("check " + std::to_string(b));
            return CheckTargetBoard(rs, answers, events, b, [] {});
        });
    }
    // Runs every step, logging the row each step transferred and when the setpoints changed.
    // From the given progress on, Cancel is clicked after every step.
    void runLogged(DataTransfer& t, int cancelFromProgress = -1) {
        for (;;) {
            const SetupData before = setup;
            const int progress = t.progress();
            const bool more = t.step();
            if (t.progress() != progress)
                log.push_back("row " + std::to_string(firstRow + progress));
            if (before.PLSSetpoint != setup.PLSSetpoint && log.back() != "pls")
                log.push_back("pls");
            if (cancelFromProgress >= 0 && t.progress() >= cancelFromProgress) t.cancel();
            if (!more) break;
        }
    }
    long questionsTitled(const QString& title) const {
        return std::count_if(answers.asked.begin(), answers.asked.end(),
                             [&](const auto& q) { return q.title == title; });
    }

    SetupData setup;
    std::vector<std::string> log; // board checks, and the row each step transferred
    int firstRow = 0;
};

} // namespace

TEST_F(Transfer, UploadK2510ReadsRowsZeroToThirteenEachAfterABoardCheckThenThePLS) {
    for (int i = 0; i <= gSetupMax; ++i)
        setup.ParamValue[i] = -1000 - i; // nothing on the board reads like this
    ASSERT_TRUE(rs.SingleSetpoint(0, 10, 20, true));
    ASSERT_TRUE(rs.SingleSetpoint(5, 300, 40, true));
    for (int c : {1, 2, 3, 4, 6, 7})
        ASSERT_TRUE(rs.ClearPLSChan(static_cast<std::int16_t>(c)));
    ASSERT_TRUE(rs.SetPLSOffset(0));
    auto t = make(kUploadK2510);
    EXPECT_EQ(t->label(), "Uploading Data from K2510, Please Standby...");
    EXPECT_EQ(t->maximum(), 14);
    runLogged(*t);

    std::vector<std::string> expected;
    for (int i = 0; i <= 13; ++i)
        expected.insert(expected.end(), {"check 1", "row " + std::to_string(i)});
    expected.push_back("pls");
    EXPECT_EQ(log, expected);
    EXPECT_EQ(t->progress(), 14);
    EXPECT_EQ(t->label(), "Uploading PLS from K2510, Please Standby...");
    EXPECT_FALSE(t->failed());
    EXPECT_TRUE(answers.asked.empty());
    EXPECT_EQ(setup.ParamValue[3], sim.peekWord(BoardId::K2510, 1026));
    for (int i = 14; i <= gSetupMax; ++i)
        EXPECT_EQ(setup.ParamValue[i], -1000 - i);
    EXPECT_EQ(setup.PLSSetpoint[0], (std::array<std::int16_t, 2>{10, 20}));
    EXPECT_EQ(setup.PLSSetpoint[5], (std::array<std::int16_t, 2>{300, 40}));
    // no setpoints: the recall state is neither 0 nor 1, so the channel reads as unused
    EXPECT_EQ(setup.PLSSetpoint[7], (std::array<std::int16_t, 2>{0, 0}));
    EXPECT_EQ(setup.PLSScale, 360);
    EXPECT_EQ(setup.PLSOfs, static_cast<std::int16_t>(sim.k2510().plsOffset()));
}

// Confirmation costs the wire a second pass and nothing more: no read waits for a quiet line.
TEST_F(Transfer, UploadR7520ReadsItsRowsOnlyAndKeepsTheK2510RowsInItsWireTime) {
    sim.moveCable(BoardId::R7520);
    sim.pokeWord(BoardId::R7520, 1110, 1234);
    setup.ParamValue[9] = 4242; // "W1104" of the K2510
    sim.setPacing(9600);
    const long bytes = sim.bytesDelivered() + sim.repliesSent();
    const double began = clock.now();
    auto t = make(kUploadR7520);
    runLogged(*t);
    const double wire = (sim.bytesDelivered() + sim.repliesSent() - bytes) * 10.0 / 9600;
    EXPECT_LE(clock.now() - began, wire * 1.01);
    // rows whose board value happens to equal the default do not show in the log
    EXPECT_EQ(std::count(log.begin(), log.end(), "check 3"), 17);
    EXPECT_EQ(log.front(), "check 3");
    EXPECT_EQ(setup.ParamValue[14], 1234);
    EXPECT_EQ(setup.ParamValue[9], 4242);
    EXPECT_EQ(setup.PLSSetpoint, FactoryDefaults("").PLSSetpoint);
    EXPECT_EQ(t->progress(), 17);
    EXPECT_TRUE(answers.asked.empty());
}

TEST_F(Transfer, DownloadR7520WritesOnlyRowsFourteenToTwentyOne) {
    sim.moveCable(BoardId::R7520);
    for (int i = 14; i <= 21; ++i)
        setup.ParamValue[i] = 40 + i;
    for (int i = 22; i <= gSetupMax; ++i)
        setup.ParamValue[i] = 31111; // would show if any monitor row were written
    auto t = make(kDownloadR7520);
    runLogged(*t);
    EXPECT_EQ(t->label(), "Downloading Set-up Data to R7520, Please Standby...");
    EXPECT_EQ(t->progress(), 8);
    EXPECT_FALSE(t->failed());
    EXPECT_EQ(rs.RSRead("W1110"), "54");
    EXPECT_EQ(rs.RSRead("B1128"), "59");
    EXPECT_EQ(rs.RSRead("W1122"), "61");
    for (const char* add : {"W614", "W610", "W612", "W82", "W1104", "W80", "W1102", "W1108"})
        EXPECT_NE(rs.RSRead(add), "31111") << add;
    EXPECT_FALSE(t->plsDownloaded());
}

TEST_F(Transfer, DownloadK2510ProgramsOrClearsEachChannelAndRoundTrips) {
    ASSERT_TRUE(rs.SingleSetpoint(3, 5, 6, true)); // to be cleared by the download
    setup.ParamValue[0] = 17;
    setup.PLSSetpoint[3] = {0, 0};
    setup.PLSSetpoint[7] = {0, 90}; // one point non-zero: programmed
    setup.PLSCfg0 = 6;
    setup.PLSCfg1 = 2;
    setup.PLSCfgRest = {1, 2, 3, 4, 5, 6, 7, 8};
    auto t = make(kDownloadK2510);
    EXPECT_EQ(t->maximum(), 9);
    runLogged(*t, 8); // Cancel once the PLS part has begun: it still runs to its end
    EXPECT_FALSE(t->failed());
    EXPECT_TRUE(t->plsDownloaded());
    EXPECT_EQ(t->progress(), 8);
    EXPECT_EQ(t->label(), "Downloading PLS Data to K2510, Please Standby...");
    EXPECT_EQ(sim.peekWord(BoardId::K2510, 1020), 17);
    EXPECT_TRUE(sim.k2510().channel(3).empty());
    ASSERT_EQ(sim.k2510().channel(7).size(), 1u);
    EXPECT_EQ(sim.k2510().channel(7)[0].off, 90);

    SetupData back = FactoryDefaults("x");
    back.PLSSetpoint = {};
    std::swap(back, setup);
    auto up = make(kUploadK2510);
    up->runToEnd();
    EXPECT_EQ(setup.PLSSetpoint, back.PLSSetpoint);
    EXPECT_EQ(setup.PLSCfg0, 6);
    EXPECT_EQ(setup.PLSCfg1, 2);
    EXPECT_EQ(setup.PLSCfgRest, back.PLSCfgRest);
    for (int i = 0; i <= 7; ++i)
        EXPECT_EQ(setup.ParamValue[i], back.ParamValue[i]) << i;
}

TEST_F(Transfer, CancelPartWayKeepsWhatWasReadAndShowsNothing) {
    sim.moveCable(BoardId::R7520);
    for (int i = 0; i <= gSetupMax; ++i)
        setup.ParamValue[i] = -7;
    auto t = make(kUploadR7520);
    runLogged(*t, 3);
    EXPECT_TRUE(t->cancelled());
    EXPECT_FALSE(t->failed());
    EXPECT_TRUE(answers.asked.empty());
    EXPECT_EQ(t->progress(), 3);
    EXPECT_EQ(setup.ParamValue[16], static_cast<std::int32_t>(sim.peekWord(BoardId::R7520, 1132)));
    for (int i = 17; i <= gSetupMax; ++i)
        EXPECT_EQ(setup.ParamValue[i], -7);
}

// Cancelled in the rows, an upload still reads the whole PLS and a download writes none of it.
TEST_F(Transfer, CancelInTheRowsStillReadsThePLSButWritesNone) {
    ASSERT_TRUE(rs.SingleSetpoint(1, 33, 44, true));
    ASSERT_TRUE(rs.ClearPLSChan(0));
    setup.PLSScale = 0;
    auto up = make(kUploadK2510);
    runLogged(*up, 2);
    EXPECT_EQ(up->progress(), 2);
    EXPECT_EQ(setup.PLSScale, 360);
    EXPECT_EQ(setup.PLSSetpoint[1], (std::array<std::int16_t, 2>{33, 44}));
    setup.PLSSetpoint[0] = {1, 2};
    setup.ParamValue[1] = 99;
    auto down = make(kDownloadK2510);
    runLogged(*down, 1);
    EXPECT_FALSE(down->plsDownloaded());
    EXPECT_TRUE(sim.k2510().channel(0).empty());
    EXPECT_NE(sim.peekWord(BoardId::K2510, 1022), 99);
    EXPECT_TRUE(answers.asked.empty());
}

// The cable goes silent part way, in the rows or at each read of the PLS part in turn: the
// message names what failed, and the record, parameters and PLS words alike, stays as it was.
TEST_F(Transfer, ALinkFailurePartWayNamesWhatFailedAndStoresNothing) {
    // Steps before the cable goes silent, the reason, and the link's own message if it has one.
    const std::tuple<int, const char*, const char*> cases[] = {
        {9, "Unable to read W1028 from the board.", nullptr}, // rows 0..3, row 4's board check
        // 14 rows read, then confirmed by a second pass
        {43, "Unable to read the PLS configuration from the board.", "PLS Upload"},
        {44, "Unable to read the PLS scale factor from the board.", nullptr},
        {45, "Unable to read the PLS offset from the board.", nullptr},
        {47, "Unable to read PLS channel CH01 from the board.", nullptr},
    };
    for (const auto& [steps, reason, linkTitle] : cases) {
        SCOPED_TRACE(reason);
        sim.clearFaults();
        rs.OpenRSComm(line);
        answers.asked.clear();
        std::fill(setup.ParamValue.begin(), setup.ParamValue.end(), -7);
        setup.PLSCfg0 = 3;
        setup.PLSCfg1 = 4;
        setup.PLSCfgRest.fill(5);
        setup.PLSScale = 720;
        setup.PLSOfs = 9;
        const SetupData before = setup;
        auto t = make(kUploadK2510);
        for (int k = 0; k < steps; ++k)
            t->step();
        ASSERT_FALSE(rs.CommError);
        sim.setSilent(true);
        t->runToEnd();
        EXPECT_TRUE(t->failed());
        EXPECT_EQ(t->failureReason(), reason);
        ASSERT_EQ(questionsTitled("Process Error"), 1);
        EXPECT_EQ(answers.asked.back().text, QStringLiteral("Error Processing Request\r\n\r\n"
                                                            "Process Not Complete\r\n\r\n") +
                                                 reason);
        EXPECT_EQ(answers.asked.back().icon, link::Icon::Exclamation);
        if (linkTitle) {
            EXPECT_EQ(questionsTitled(linkTitle), 1);
        }
        EXPECT_EQ(setup, before);
    }
}

// A download takes its addresses from the program's table, whatever the record says.
TEST_F(Transfer, ADownloadWritesOnlyTheTablesAddresses) {
    setup.ParamAdd = setup.ParamAdd.mid(0, 20);
    setup.ParamAdd[0] = "W5000";
    setup.ParamAdd[15] = "B32";
    setup.ParamValue.resize(20);
    setup.ParamValue[0] = 44;
    setup.ParamValue[15] = 321;
    const SetupData before = setup;
    sim.pokeWord(BoardId::R7520, 1120, 7);
    sim.pokeWord(BoardId::R7520, 1122, 7);
    sim.moveCable(BoardId::R7520);
    auto r7520 = make(kDownloadR7520);
    r7520->runToEnd();
    sim.moveCable(BoardId::K2510);
    auto k2510 = make(kDownloadK2510);
    k2510->runToEnd();
    EXPECT_FALSE(r7520->failed());
    EXPECT_FALSE(k2510->failed());
    EXPECT_EQ(sim.peekWord(BoardId::K2510, 1020), 44);
    EXPECT_EQ(sim.peekWord(BoardId::K2510, 5000), 0);
    EXPECT_EQ(sim.peekByte(BoardId::R7520, 32), 0);
    EXPECT_EQ(sim.peekWord(BoardId::R7520, 1130), 321); // row 15: its own address
    EXPECT_EQ(sim.peekWord(BoardId::R7520, 1120), 100); // rows missing: the factory values
    EXPECT_EQ(sim.peekWord(BoardId::R7520, 1122), 25);
    EXPECT_EQ(setup, before);
}

TEST_F(Transfer, AScaleOfZeroOrLessIsNotSentToThePLS) {
    for (std::int16_t scale : {std::int16_t(-9999), std::int16_t(0)}) {
        answers.asked.clear();
        ASSERT_TRUE(rs.ClearPLSChan(0));
        setup.PLSScale = scale;
        setup.ParamValue[0] = 12;
        auto t = make(kDownloadK2510);
        t->runToEnd();
        EXPECT_TRUE(t->failed());
        EXPECT_EQ(t->failureReason(), QString("The PLS scale factor of the set-up data is %1.\r\n"
                                              "The PLS data cannot be downloaded.")
                                          .arg(scale));
        EXPECT_EQ(questionsTitled("Process Error"), 1);
        EXPECT_EQ(sim.peekWord(BoardId::K2510, 1020), 12);
        EXPECT_EQ(sim.k2510().plsScale(), 360);
        EXPECT_TRUE(sim.k2510().channel(0).empty());
    }
}

// The wrong board prompts: Cancel ends with the process error, Retry after moving the cable
// carries on.
TEST_F(Transfer, TheWrongBoardPromptsCancelEndsItRetryCarriesOn) {
    sim.moveCable(BoardId::R7520);
    const SetupData before = setup;
    auto t = make(kUploadK2510);
    runLogged(*t);
    ASSERT_EQ(answers.asked.size(), 2u);
    EXPECT_EQ(answers.asked[0].title, "TMGPROG");
    EXPECT_EQ(answers.asked[1].title, "Process Error");
    EXPECT_EQ(setup, before); // no PLS read from a board that was not confirmed
    EXPECT_EQ(t->progress(), 0);

    sim.moveCable(BoardId::K2510);
    answers.answers = {link::Answer::Retry};
    answers.onAsk = [this](const auto& q) {
        if (q.title == "MOTPROG") sim.moveCable(BoardId::R7520);
    };
    auto r = make(kDownloadR7520);
    r->runToEnd();
    EXPECT_FALSE(r->failed());
    EXPECT_EQ(r->progress(), 8);
    EXPECT_EQ(questionsTitled("MOTPROG"), 1);
}
