// The test output's scaling between percent and board value, exact at the worked values and at
// the ties.
#include "CupfeedTuning.h"

#include <gtest/gtest.h>

using namespace talvern::setup;

TEST(Output, PercentAndCountsAtTheWorkedValuesAndTies) {
    // The percent is rounded first, ties to even.
    const std::pair<const char*, const char*> toCounts[] = {
        {"-100", "0"},  {"0", "2048"},   {"1", "2068"},   {"50", "3072"}, {"100", "4096"},
        {"-1", "2028"}, {"0.5", "2048"}, {"1.5", "2089"}, {"", "2048"}};
    for (const auto& [percent, counts] : toCounts)
        EXPECT_EQ(PercentToCounts(percent), counts) << percent;
    // 6400 counts is 312.5 exactly: the tie goes to even.
    const std::pair<const char*, const char*> toPercent[] = {
        {"2048", "0"}, {"4095", "100"}, {"0", "-100"},   {"4096", "100"}, {"3072", "50"},
        {"2058", "0"}, {"6400", "212"}, {"6656", "225"}, {"x", "-100"}};
    for (const auto& [counts, percent] : toPercent)
        EXPECT_EQ(CountsToPercent(counts), percent) << counts;
    for (int p = -100; p <= 100; ++p)
        EXPECT_EQ(CountsToPercent(PercentToCounts(QString::number(p))), QString::number(p)) << p;
}
