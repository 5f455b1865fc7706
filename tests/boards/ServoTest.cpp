// The cupfeed's following error as the tuning screen shows it: a soft loop lags, a stiff one
// rings so that its peaks swing from stroke to stroke, and damping calms the ringing.

#include "BoardsTestSupport.h"

#include <algorithm>

namespace talvern::boards::testing {
namespace {

class Servo : public BoardsTest {
protected:
    struct Spread {
        int least = 1 << 20;
        int most = 0;
        int swing() const { return most - least; }
    };
    struct Watched {
        Spread peak, negative, error;
    };
    // The positive and negative peaks and the absolute error over ten seconds of running.
    Watched watch() {
        Watched w;
        for (int k = 0; k < 100; ++k) {
            clock.advance(0.1);
            const int p = boards.peekWord(R, 610), n = boards.peekWord(R, 612),
                      e = boards.peekWord(R, 614);
            w.peak.least = std::min(w.peak.least, p), w.peak.most = std::max(w.peak.most, p);
            w.negative.most = std::max(w.negative.most, n);
            w.error.least = std::min(w.error.least, e), w.error.most = std::max(w.error.most, e);
        }
        return w;
    }
    void gains(int p, int d) {
        boards.pokeWord(R, 1126, static_cast<std::uint16_t>(p));
        boards.pokeWord(R, 1122, static_cast<std::uint16_t>(d));
    }
};

TEST_F(Servo, FactoryGainsHoldSteadyASoftLoopLagsAStiffOneRingsAndDampingCalmsIt) {
    const auto [factory, factoryNegative, factoryError] = watch();
    EXPECT_LE(factory.swing(), 1);
    EXPECT_LT(factory.most, boards.peekWord(R, 1134)) << "inside the alarm limit";
    EXPECT_LE(factoryError.most, factory.most + 1);

    gains(3, 25);
    const auto [lagging, negative, error] = watch();
    EXPECT_GT(lagging.least, 4 * factory.most);
    EXPECT_LE(lagging.swing(), 1) << "a soft loop lags but does not ring";
    EXPECT_GT(negative.most, 3 * factory.most);
    EXPECT_GT(error.most, 3 * factory.most);

    gains(60, 25);
    const auto [ringing, ringingNegative, ringingError] = watch();
    EXPECT_GT(ringing.swing(), factory.most) << "the peaks swing";
    EXPECT_GT(ringingError.most, 2 * factory.most);
    gains(60, 120);
    EXPECT_LT(watch().peak.swing(), ringing.swing() / 2);
}

} // namespace
} // namespace talvern::boards::testing
