// The cupfeed's following error as the tuning screen shows it: a soft loop lags, a stiff one
// rings so that its peaks swing from stroke to stroke, and damping calms the ringing.

#include "BoardsTestSupport.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace talvern::boards::testing {
namespace {

constexpr auto R = BoardId::R7520;

class Servo : public ::testing::Test {
protected:
    struct Spread {
        int least = 1 << 20;
        int most = 0;
        int swing() const { return most - least; }
    };
    // The positive peak and the absolute error over ten seconds of running.
    std::pair<Spread, Spread> watch() {
        Spread peak, error;
        for (int k = 0; k < 100; ++k) {
            clock.advance(0.1);
            const int p = boards.peekWord(R, 610), e = boards.peekWord(R, 614);
            peak.least = std::min(peak.least, p), peak.most = std::max(peak.most, p);
            error.least = std::min(error.least, e), error.most = std::max(error.most, e);
        }
        return {peak, error};
    }
    void gains(int p, int d) {
        boards.pokeWord(R, 1126, static_cast<std::uint16_t>(p));
        boards.pokeWord(R, 1122, static_cast<std::uint16_t>(d));
    }
    ManualClock clock;
    SimulatedBoards boards{clock, 37.0};
};

TEST_F(Servo, FactoryGainsHoldSteadyPeaksInsideTheAlarmLimit) {
    const auto [peak, error] = watch();
    EXPECT_LE(peak.swing(), 1);
    EXPECT_LT(peak.most, boards.peekWord(R, 1134));
    EXPECT_LE(error.most, peak.most + 1);
}

TEST_F(Servo, TooLittleProportionalGainLags) {
    const int factory = watch().first.most;
    gains(3, 25);
    const auto [peak, error] = watch();
    EXPECT_GT(peak.least, 4 * factory);
    EXPECT_LE(peak.swing(), 1) << "a soft loop lags but does not ring";
    EXPECT_GT(error.most, 3 * factory);
}

TEST_F(Servo, TooMuchProportionalGainRingsAndDampingCalmsIt) {
    const int factory = watch().first.most;
    gains(60, 25);
    const auto [ringing, error] = watch();
    EXPECT_GT(ringing.swing(), factory) << "the peaks swing";
    EXPECT_GT(error.most, 2 * factory);
    gains(60, 120);
    EXPECT_LT(watch().first.swing(), ringing.swing() / 2);
}

} // namespace
} // namespace talvern::boards::testing
