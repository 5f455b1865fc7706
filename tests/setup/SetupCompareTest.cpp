// The set-up compare: two records row by row, and a record against a simulated board read with
// confirmed reads, in virtual time.
#include "SetupCompare.h"
#include "BoardSetupReader.h"
#include "DataTransfer.h"
#include "OnlineState.h"
#include "SimulatedRig.h"

#include <functional>
#include <gtest/gtest.h>

using namespace talvern;
using namespace talvern::setup;

namespace {

const SetupData kFactory = FactoryDefaults(QStringLiteral("TALVERN_R2.1.4"));

TEST(SetupCompare, DiffersExactlyInTheChangedRows) {
    const std::vector<std::tuple<const char*, std::function<void(SetupData&)>, QStringList>> cases{
        {"nothing", [](SetupData&) {}, {}},
        {"a parameter",
         [](SetupData& d) { d.ParamValue[0] = 15; },
         {"W1020 BDC Stop Position at Low Speed (degrees): 0 -> 15"}},
        {"a gain and a bit",
         [](SetupData& d) { d.ParamValue[20] = 90, d.ParamValue[7] = 0; },
         {"B1018.0 Brake Wear Compensation Enable (0=No, 1=Yes): 1 -> 0",
          "W1120 Integral Gain (I): 100 -> 90"}},
        {"the PLS configuration",
         [](SetupData& d) { d.PLSScale = 720, d.PLSCfgRest[7] = 4; },
         {"PLS Scale Factor: 360 -> 720", "PLS CH07 Speed Compensation (msec): 0 -> 4"}},
        {"channel points",
         [](SetupData& d) { d.PLSSetpoint[0][1] = 171, d.PLSSetpoint[7].fill(0); },
         {"PLS CH00 OFF Setpoint: 170 -> 171", "PLS CH07 ON Setpoint: 180 -> 0"}},
        // Values a set-up does not keep (counts, monitors) are no part of it.
        {"a shift count", [](SetupData& d) { d.ParamValue[8] = 12345; }, {}},
    };
    for (const auto& [what, change, lines] : cases) {
        SetupData other = kFactory;
        change(other);
        const SetupComparison comparison = CompareSetups(kFactory, other, kFactory);
        EXPECT_EQ(comparison.differenceLines(), lines) << what;
        EXPECT_EQ(comparison.differing(), lines.size()) << what;
    }
    EXPECT_EQ(CompareSetups(kFactory, kFactory, kFactory).countText(), "0 of 44 values differ");
}

TEST(SetupCompare, AnUnreadValueIsNeitherEqualNorDifferent) {
    BoardReading reading;
    reading.board = Board::R7520;
    reading.values.assign(SetupValues().size(), std::nullopt);
    for (int i = 0; i < static_cast<int>(SetupValues().size()); ++i)
        if (SetupValues()[i].board == Board::R7520) reading.values[i] = ValueOf(kFactory, i);
    reading.values[SetupValues().size() - 1].reset(); // the last gain, W1122
    *std::find_if(reading.values.begin(), reading.values.end(),
                  [](const auto& v) { return v.has_value(); }) = 1951; // W1110
    const SetupComparison c = CompareWithBoard(kFactory, reading, kFactory);
    EXPECT_EQ(c.rows.size(), 8u); // the R7520's values only
    EXPECT_EQ(c.differing(), 1);
    EXPECT_EQ(c.unknown(), 1);
    EXPECT_EQ(c.countText(), "1 of 8 values differs, 1 could not be read");
    EXPECT_EQ(c.differenceLines(),
              (QStringList{"W1110 Cupfeed Stop Position at Short Can (counts): 1950 -> 1951",
                           "W1122 Derivative Gain (D): 25 -> unknown"}));
    const DownloadChanges changes = ChangesOfDownload(kFactory, reading);
    EXPECT_EQ(changes.changing, 1);
    EXPECT_EQ(changes.unknown, 1);
}

class BoardCompare : public ::testing::Test, protected talvern::testing::SimulatedLink {
protected:
    void SetUp() override {
        goOnline();
        ASSERT_TRUE(rs.OnlineMode);
    }
    std::function<bool(int)> check() {
        return [this](int b) { return CheckTargetBoard(rs, answers, events, b, [] {}); };
    }
    SetupData upload(int mode) {
        SetupData data = kFactory;
        DataTransfer(mode, rs, data, answers, events, check()).runToEnd();
        return data;
    }
};

TEST_F(BoardCompare, ShowsExactlyTheValuesChangedOnTheBoard) {
    const SetupData file = upload(kUploadK2510);
    rs.RSWrite(QStringLiteral("W1020"), QStringLiteral("12"));
    ASSERT_TRUE(rs.SingleSetpoint(2, 100, 140, true));
    BoardSetupReader reader(Board::K2510, rs, check());
    reader.runToEnd();
    ASSERT_FALSE(reader.linkFailed());
    const SetupComparison c = CompareWithBoard(file, reader.reading(), kFactory);
    EXPECT_EQ(c.unknown(), 0);
    EXPECT_EQ(c.differenceLines(),
              (QStringList{
                  QStringLiteral("W1020 BDC Stop Position at Low Speed (degrees): %1 -> 12")
                      .arg(file.ParamValue[0]),
                  QStringLiteral("PLS CH02 ON Setpoint: %1 -> 100").arg(file.PLSSetpoint[2][0]),
                  QStringLiteral("PLS CH02 OFF Setpoint: %1 -> 140").arg(file.PLSSetpoint[2][1])}));
}

TEST_F(BoardCompare, ALostLinkLeavesTheRestUnknownAndSaysSo) {
    BoardSetupReader reader(Board::R7520, rs, check());
    sim.moveCable(boards::BoardId::R7520);
    ASSERT_TRUE(reader.step()); // the board check
    sim.unplug();
    reader.runToEnd();
    EXPECT_TRUE(reader.linkFailed());
    const SetupComparison c = CompareWithBoard(kFactory, reader.reading(), kFactory);
    EXPECT_EQ(c.unknown(), 8);
    EXPECT_EQ(c.differing(), 0);
    EXPECT_FALSE(c.failure.isEmpty());
}

} // namespace
