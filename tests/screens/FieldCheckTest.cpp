// The plain logic behind the editor and the monitors.

#include "FieldCheck.h"
#include "ValueFormats.h"

#include <gtest/gtest.h>

namespace talvern::screens {
namespace {

TEST(FieldCheck, AcceptsNumbersWithinTheLimitsRoundedTiesToEvenAndRefusesTheRest) {
    const std::pair<const char*, int> accepted[] = {{"0", 0},      {"359", 359},  {" 42 ", 42},
                                                    {"1e2", 100},  {"12.5", 12},  {"13.5", 14},
                                                    {"13.49", 13}, {"358.6", 359}};
    for (const auto& [text, value] : accepted) {
        const FieldCheckResult result = CheckField(QString::fromLatin1(text), 0, 359);
        EXPECT_TRUE(result.passed) << text;
        EXPECT_EQ(result.value, value) << text;
    }
    for (const char* text : {"360", "-1", "abc", "", " ", "12abc", "1,000", "-", "12..5", "0x10"}) {
        const FieldCheckResult result = CheckField(QString::fromLatin1(text), 0, 359);
        EXPECT_FALSE(result.passed) << text;
        EXPECT_EQ(result.message, QStringLiteral("Only a Number Between 0 and 359 can be Entered"))
            << text;
    }
    EXPECT_TRUE(CheckField(QStringLiteral("-100"), -100, 100).passed);
    EXPECT_EQ(RangeMessage(-100, 100),
              QStringLiteral("Only a Number Between -100 and 100 can be Entered"));
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(-3.5), -4);
    EXPECT_EQ(RoundHalfEven(1e12), 2147483647);
}

TEST(FieldCheck, EntryNumberIsTheLeadingNumber) {
    const std::pair<const char*, int> rows[] = {{"-", 0},      {"", 0},       {"  250", 250},
                                                {"12abc", 12}, {"12.5x", 12}, {"abc12", 0}};
    for (const auto& [text, value] : rows)
        EXPECT_EQ(WholeNumberOf(QString::fromLatin1(text)), value) << text;
}

TEST(ValueFormats, InputsBitMapsCountsAndAngles) {
    EXPECT_TRUE(InputIsOn(QStringLiteral("1")));
    for (const char* off : {"2", "0", "-"})
        EXPECT_FALSE(InputIsOn(QString::fromLatin1(off))) << off;
    const std::array<bool, 16> five = BitMap(QStringLiteral("5"));
    const std::array<bool, 16> sign = BitMap(QStringLiteral("-32768"));
    const std::array<bool, 16> all = BitMap(QStringLiteral("-1"));
    for (int bit = 0; bit < 16; ++bit) {
        EXPECT_EQ(five[bit], bit == 0 || bit == 2) << bit;
        EXPECT_EQ(sign[bit], bit == 15) << bit;
        EXPECT_TRUE(all[bit]) << bit;
    }
    EXPECT_EQ(GroupedCount(QStringLiteral("1234567"), QLocale(QLocale::English)),
              QStringLiteral("1,234,567"));
    EXPECT_EQ(GroupedCount(QStringLiteral("1234567"), QLocale(QLocale::German)),
              QStringLiteral("1.234.567"));
    EXPECT_EQ(GroupedCount(QStringLiteral("999"), QLocale(QLocale::English)),
              QStringLiteral("999"));
    EXPECT_EQ(WithDegreeSign(QStringLiteral("12")), QStringLiteral("12") + QChar(176));
}

TEST(ValueFormats, BitCaptionsCountInOctal) {
    EXPECT_EQ(TimingChannelCaption(0), QStringLiteral("CH00:"));
    EXPECT_EQ(TimingChannelCaption(7), QStringLiteral("CH07:"));
    EXPECT_EQ(TimingChannelCaption(8), QStringLiteral("CH10:"));
    EXPECT_EQ(TimingChannelCaption(15), QStringLiteral("CH17:"));
    EXPECT_EQ(SlotBitCaption(100, 0), QStringLiteral("(B100.0)    0:"));
    EXPECT_EQ(SlotBitCaption(100, 8), QStringLiteral("(B101.0)  10:"));
    EXPECT_EQ(SlotBitCaption(110, 15), QStringLiteral("(B111.7)  17:"));
}

} // namespace
} // namespace talvern::screens
