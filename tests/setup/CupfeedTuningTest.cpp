// The test output's scaling between percent and board value, exact at the worked values and at
// the ties, and the writes that enter and leave test mode.
#include "CupfeedTuning.h"

#include <gtest/gtest.h>
#include <ostream>

using namespace talvern::setup;

namespace {

struct Conversion {
    const char* from;
    const char* to;
};
void PrintTo(const Conversion& c, std::ostream* out) {
    *out << c.from << " -> " << c.to;
}

class PercentToCountsTest : public ::testing::TestWithParam<Conversion> {};
TEST_P(PercentToCountsTest, WorkedValues) {
    EXPECT_EQ(PercentToCounts(QString::fromLatin1(GetParam().from)),
              QString::fromLatin1(GetParam().to));
}
INSTANTIATE_TEST_SUITE_P(Output, PercentToCountsTest,
                         ::testing::Values(Conversion{"-100", "0"}, Conversion{"0", "2048"},
                                           Conversion{"1", "2068"}, Conversion{"50", "3072"},
                                           Conversion{"100", "4096"}, Conversion{"-1", "2028"},
                                           // the percent is rounded first, ties to even
                                           Conversion{"0.5", "2048"}, Conversion{"1.5", "2089"},
                                           Conversion{"", "2048"}));

class CountsToPercentTest : public ::testing::TestWithParam<Conversion> {};
TEST_P(CountsToPercentTest, WorkedValues) {
    EXPECT_EQ(CountsToPercent(QString::fromLatin1(GetParam().from)),
              QString::fromLatin1(GetParam().to));
}
INSTANTIATE_TEST_SUITE_P(Output, CountsToPercentTest,
                         ::testing::Values(Conversion{"2048", "0"}, Conversion{"4095", "100"},
                                           Conversion{"0", "-100"}, Conversion{"4096", "100"},
                                           Conversion{"3072", "50"}, Conversion{"2058", "0"},
                                           // 6400 counts is 312.5 exactly: the tie goes to even
                                           Conversion{"6400", "212"}, Conversion{"6656", "225"},
                                           Conversion{"x", "-100"}));

TEST(PercentRoundTrip, EveryWholePercentComesBack) {
    for (int p = -100; p <= 100; ++p)
        EXPECT_EQ(CountsToPercent(PercentToCounts(QString::number(p))), QString::number(p)) << p;
}

} // namespace
