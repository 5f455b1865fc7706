#include "Address.h"
#include "RSComm.h"

#include <gtest/gtest.h>
#include <tuple>

using namespace talvern::link;

TEST(AddressParse, EveryFormGivesByteWidthAndMask) {
    const std::tuple<const char*, int, char, int, bool> cases[] = {
        {"W1020", 1020, 'W', 0, false},  {"w1020", 1020, 'W', 0, false},
        {"D1100", 1100, 'D', 0, false},  {"B8176", 8176, 'B', 0, false},
        {"B1018.0", 1018, 'B', 1, true}, {"W100.3", 100, 'B', 8, true},
        {"F34", 36, 'B', 4, true},       {"F80", 42, 'B', 1, true},
        {"1FA0H", 8096, 'B', 0, false},  {"A0H", 160, 'B', 0, false},
        {"ffffh", 65535, 'B', 0, false}, {"Wxyz", 0, 'W', 0, false},
        {"Q12", 32, 'B', 0, false},      {"", 32, 'B', 0, false},
    };
    for (const auto& [text, address, width, mask, bit] : cases) {
        const ParsedAddress p = ParseAddressText(text);
        EXPECT_EQ(std::tuple(p.byteAddress, p.width, p.mask, p.isBit),
                  std::tuple(address, QChar(width), mask, bit))
            << text;
    }
}

TEST(AddressServices, ValidAddFollowsBoardGroupsAndEquateAddMapsIoPoints) {
    const std::tuple<const char*, int, bool> valid[] = {
        {"W101", 49, false}, {"W100", 49, true},  {"B300", 49, false}, {"B300", 50, true},
        {"B300", 70, true},  {"B31", 70, false},  {"F120", 49, true},  {"F121", 49, false},
        {"I151", 50, true},  {"I12", 50, false},  {"I10", 58, false},  {"X10", 68, false},
        {"X21", 58, true},   {"B100.3", 49, true}};
    for (const auto& [text, board, ok] : valid)
        EXPECT_EQ(RSComm::ValidAdd(text, board), ok) << text << " on " << board;
    const std::tuple<const char*, int, const char*> equate[] = {
        {"X31", 49, "B50"},   {"Y141.3", 49, "B67.3"}, {"y141.9", 49, "B67.7"},
        {"W100", 49, "W100"}, {"X151", 50, "B191"},    {"I10", 50, "B194"},
        {"Y21", 60, "B54"},   {"X12", 50, "X12"}};
    for (const auto& [text, board, equated] : equate)
        EXPECT_EQ(RSComm::EquateAdd(text, board), equated) << text << " on " << board;
    // The octal conversions go one level only.
    EXPECT_EQ(RSComm::Dec2Octal(17), 21);
    EXPECT_EQ(RSComm::Octal2Dec(21), 17);
    EXPECT_EQ(RSComm::Dec2Octal(15), 17);
}

TEST(Catalogue, NamesAndConfigurationCodes) {
    const std::pair<int, const char*> names[] = {
        {49, "R6010"},      {57, "Not Defined"},       {68, "K2500(PLC)"},
        {69, "K2500(PLS)"}, {48, "0 Is Not Defined."}, {70, "F Is Not Defined."}};
    for (const auto& [code, name] : names)
        EXPECT_EQ(RSComm::TargetboardName(code), name) << code;
    EXPECT_EQ(RSComm::LCFBoardIndex(51), "?");
    EXPECT_EQ(RSComm::LCFBoardIndex(68), "G");
    EXPECT_EQ(RSComm::LCFBoardIndex(55), "");
}
