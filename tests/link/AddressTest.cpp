#include "Address.h"
#include "RSComm.h"

#include <gtest/gtest.h>

using namespace talvern::link;

TEST(AddressParse, EveryFormGivesByteWidthAndMask) {
    struct Case {
        const char* text;
        int address;
        char width;
        int mask;
        bool bit;
    } cases[] = {
        {"W1020", 1020, 'W', 0, false},  {"w1020", 1020, 'W', 0, false},
        {"D1100", 1100, 'D', 0, false},  {"B8176", 8176, 'B', 0, false},
        {"B1018.0", 1018, 'B', 1, true}, {"W100.3", 100, 'B', 8, true},
        {"F34", 36, 'B', 4, true},       {"F80", 42, 'B', 1, true},
        {"1FA0H", 8096, 'B', 0, false},  {"A0H", 160, 'B', 0, false},
        {"ffffh", 65535, 'B', 0, false}, {"Wxyz", 0, 'W', 0, false},
        {"Q12", 32, 'B', 0, false},      {"", 32, 'B', 0, false},
    };
    for (const Case& c : cases) {
        const ParsedAddress p = ParseAddressText(c.text);
        EXPECT_EQ(p.byteAddress, c.address) << c.text;
        EXPECT_EQ(p.width, QChar(c.width)) << c.text;
        EXPECT_EQ(p.mask, c.mask) << c.text;
        EXPECT_EQ(p.isBit, c.bit) << c.text;
    }
}

TEST(AddressServices, ValidAddFollowsBoardGroups) {
    EXPECT_FALSE(RSComm::ValidAdd("W101", 49)); // odd
    EXPECT_TRUE(RSComm::ValidAdd("W100", 49));
    EXPECT_FALSE(RSComm::ValidAdd("B300", 49));
    EXPECT_TRUE(RSComm::ValidAdd("B300", 50));
    EXPECT_TRUE(RSComm::ValidAdd("B300", 70));
    EXPECT_FALSE(RSComm::ValidAdd("B31", 70));
    EXPECT_TRUE(RSComm::ValidAdd("F120", 49));
    EXPECT_FALSE(RSComm::ValidAdd("F121", 49));
    EXPECT_TRUE(RSComm::ValidAdd("I151", 50));
    EXPECT_FALSE(RSComm::ValidAdd("I12", 50)); // last digit must be 0 or 1
    EXPECT_FALSE(RSComm::ValidAdd("I10", 58));
    EXPECT_FALSE(RSComm::ValidAdd("X10", 68));
    EXPECT_TRUE(RSComm::ValidAdd("X21", 58));
    EXPECT_TRUE(RSComm::ValidAdd("B100.3", 49));
}

TEST(AddressServices, EquateAddMapsIoPoints) {
    EXPECT_EQ(RSComm::EquateAdd("X31", 49), "B50");
    EXPECT_EQ(RSComm::EquateAdd("Y141.3", 49), "B67.3");
    EXPECT_EQ(RSComm::EquateAdd("y141.9", 49), "B67.7");
    EXPECT_EQ(RSComm::EquateAdd("W100", 49), "W100");
    EXPECT_EQ(RSComm::EquateAdd("X151", 50), "B191");
    EXPECT_EQ(RSComm::EquateAdd("I10", 50), "B194");
    EXPECT_EQ(RSComm::EquateAdd("Y21", 60), "B54");
    EXPECT_EQ(RSComm::EquateAdd("X12", 50), "X12");
    // The octal conversions go one level only.
    EXPECT_EQ(RSComm::Dec2Octal(17), 21);
    EXPECT_EQ(RSComm::Octal2Dec(21), 17);
    EXPECT_EQ(RSComm::Dec2Octal(15), 17);
}

TEST(Catalogue, NamesAndConfigurationCodes) {
    EXPECT_EQ(RSComm::TargetboardName(49), "R6010");
    EXPECT_EQ(RSComm::TargetboardName(57), "Not Defined");
    EXPECT_EQ(RSComm::TargetboardName(68), "K2500(PLC)");
    EXPECT_EQ(RSComm::TargetboardName(69), "K2500(PLS)");
    EXPECT_EQ(RSComm::TargetboardName(48), "0 Is Not Defined.");
    EXPECT_EQ(RSComm::TargetboardName(70), "F Is Not Defined.");
    EXPECT_EQ(RSComm::LCFBoardIndex(51), "?");
    EXPECT_EQ(RSComm::LCFBoardIndex(68), "G");
    EXPECT_EQ(RSComm::LCFBoardIndex(55), "");
}
