// Program file sets: names whatever the case of their extensions, board classes and every reason a
// set is refused, the revision and configuration lines, marked hex.
#include "MarkHex.h"
#include "ProgramSetFixture.h"

using namespace talvern;
using namespace talvern::targetboard;
using talvern::testing::ProgramTest;

namespace {
const QByteArray kConfig = "F" + QByteArray(34, '0') + "2" + "00" + "71" + "000%";
QByteArray ConfigWith(int position, char c) {
    QByteArray line = kConfig;
    line[position - 1] = c;
    return line;
}
} // namespace

TEST(ProgramFileNames, FormedFromTheChosenFileKeepingTheDot) {
    const ProgramFileNames names = ProgramSetNames(QStringLiteral("C:\\P\\PROG1.bxl"));
    EXPECT_EQ(names.program, QStringLiteral("C:\\P\\PROG1.bxl"));
    EXPECT_EQ(names.revision, QStringLiteral("C:\\P\\PROG1.rev"));
    EXPECT_EQ(names.image, QStringLiteral("C:\\P\\PROG1.hex"));
    EXPECT_EQ(names.configuration, QStringLiteral("C:\\P\\PROG1.lcf"));
    EXPECT_EQ(ProgramSetNames(QStringLiteral("/p/UP.BXL")).image, QStringLiteral("/p/UP.HEX"))
        << "a companion not there yet takes the chosen file's case";
}

TEST(MarkHex, ConvertsBothWaysAndChangesTheArgument) {
    QString marked = QStringLiteral(";?");
    EXPECT_EQ(MarkHex2HEX(marked), QStringLiteral("BF"));
    EXPECT_EQ(marked, QStringLiteral("BF"));
    QString hex = QStringLiteral("3Ab");
    EXPECT_EQ(HEX2MarkHEX(hex), QStringLiteral("3:b")) << "lower case is left alone";
    EXPECT_EQ(hex, QStringLiteral("3:b"));
    EXPECT_EQ(MarkHex2Dec(QStringLiteral(";:")), QStringLiteral("186"));
    EXPECT_EQ(ByteToMarkHex(0x0B), QStringLiteral("0;"));
}

TEST(RevisionAndConfigurationLines, SplitAsTheDevelopmentSystemWritesThem) {
    const auto line = ParseRevisionLine(QStringLiteral("PRG0001") + "0;" + "12");
    ASSERT_TRUE(line);
    EXPECT_EQ(line->ident, QStringLiteral("PRG0001"));
    EXPECT_EQ(line->checksum, QStringLiteral("11"));
    EXPECT_EQ(line->revision, QStringLiteral("18"));
    EXPECT_FALSE(ParseRevisionLine(QStringLiteral("0;1")));
    EXPECT_EQ(MakeRevisionLine(QStringLiteral("PRG0001"), 11, 18), QStringLiteral("PRG00010;12"));

    ASSERT_EQ(kConfig.size(), 44);
    EXPECT_EQ(ParseConfigurationLine(kConfig), (std::array<int, 3>{2, 7, 1}));
    EXPECT_EQ(MakeConfigurationLine(56, {2, 7, 1}), QString::fromLatin1(kConfig));
    // Board values for the digits, and back; a value no digit stands for is not taken.
    EXPECT_EQ(ConfigurationValues({1, 7, 2}), (std::array<int, 3>{3, 7, 10}));
    EXPECT_EQ(ConfigurationValues({3, 0, 3}), (std::array<int, 3>{12, 0, 20}));
    EXPECT_EQ(ConfigurationDigits(5, 4, 20), (std::array<int, 3>{2, 4, 3}));
    for (const auto& [values, held] : {std::pair{std::array{7, 4, 20}, "B8190 holds 7"},
                                       {std::array{5, 12, 20}, "B8189 holds 12"},
                                       {std::array{5, 4, 15}, "B8188 holds 15"}}) {
        QString why;
        EXPECT_FALSE(ConfigurationDigits(values[0], values[1], values[2], &why));
        EXPECT_TRUE(why.startsWith(QLatin1String(held))) << why.toStdString();
    }
}

class ProgramSelection : public ProgramTest {};

// Each row is a set in a folder of its own, the chosen file first; a refused set gets one message.
TEST_F(ProgramSelection, EachBoardClassNeedsItsFilesAndADamagedSetIsRefusedWithItsReason) {
    using Files = std::vector<std::pair<const char*, QByteArray>>;
    const QByteArray rev = "PRG00010;12\r\n";
    const QString halted = "\r\n\r\nProgram Downloaded Halted!";
    const QString lcfBad = "/P.lcf Configuration File is Not Valid\r\n\r\n";
    const QString revBad = "/P.rev Revision File is Not Valid\r\n\r\n";
    // A valid set's text is the end of its revision file's name; a refused set's, of its message.
    const struct {
        bool valid;
        Files files;
        QString text;
    } cases[] = {
        {true, {{"P.bxl", "8P"}, {"P.rev", rev}, {"P.lcf", kConfig}}, "/P.rev"},
        {true, {{"P.bxl", "2P"}, {"P.rev", rev}}, "/P.rev"},
        {true, {{"UP.BXL", "8P"}, {"UP.REV", rev}, {"UP.LCF", kConfig}}, "/UP.REV"},
        {true, {{"up.bxl", "2P"}, {"up.Rev", rev}}, "/up.Rev"},
        {false, {{"P.bxl", "8P"}, {"P.rev", rev}}, lcfBad + "The file does not exist." + halted},
        {false,
         {{"P.bxl", "8P"}, {"P.rev", rev}, {"P.lcf", "F00"}},
         lcfBad + "Its line is 3 characters long; a configuration line has 44." + halted},
        {false,
         {{"P.bxl", "8P"}, {"P.rev", rev}, {"P.lcf", kConfig.left(38) + "12" + kConfig.mid(39)}},
         lcfBad + "Its line is 45 characters long; a configuration line has 44." + halted},
        {false,
         {{"P.bxl", "8P"}, {"P.rev", rev}, {"P.lcf", ConfigWith(36, '0')}},
         lcfBad + "Character 36 (configuration digit 1) is \"0\"; it must be 1 to 3." + halted},
        {false,
         {{"P.bxl", "8P"}, {"P.rev", rev}, {"P.lcf", ConfigWith(39, 'x')}},
         lcfBad + "Character 39 (configuration digit 2) is \"x\"; it must be 0 to 9." + halted},
        {false,
         {{"P.bxl", "8P"}, {"P.rev", rev}, {"P.lcf", ConfigWith(40, '4')}},
         lcfBad + "Character 40 (configuration digit 3) is \"4\"; it must be 1 to 3." + halted},
        {false, {{"P.bxl", "2P"}, {"P.rev", ""}}, revBad + "The file is empty." + halted},
        {false,
         {{"P.bxl", "2P"}, {"P.rev", "0;12"}},
         revBad + "It names no program: its ident is empty." + halted},
        {false,
         {{"P.bxl", "2P"}, {"P.rev", "PROGRAM010;12\r\n"}},
         revBad +
             "Its line is longer than a revision line can be: an ident of at most 8 "
             "characters and four digits." +
             halted},
        {false,
         {{"P.bxl", "2P"}, {"P.rev", QByteArray(70000, 'A') + "0;12"}},
         revBad + "Its line is longer than 256 characters." + halted},
        {false,
         {{"P.bxl", "2P"}, {"P.rev", "PRG0001xy12"}},
         revBad + "Its checksum and revision \"xy12\" are not four hexadecimal digits." + halted},
        {false,
         {{"P.bxl", "7P"}},
         "P file is a PLS target board program.\r\nOpen PLS program to download to target "
         "board.\r\n\r\nProgram Downloaded Halted."},
        {false, {{"P.bxl", "1P"}}, "P file is incompatible with target board." + halted},
    };
    int row = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(row);
        const QString dir = path(QString::number(row++));
        ASSERT_TRUE(QDir().mkpath(dir));
        for (const auto& [name, text] : c.files)
            talvern::testing::WriteText(dir + "/" + name, text);
        answers.asked.clear();
        ProgramSet set;
        set.DownloadFile(dir + "/" + c.files.front().first, answers);
        EXPECT_EQ(set.ValidProgram, c.valid);
        EXPECT_EQ(set.BoardCode, c.files.front().second.at(0));
        if (c.valid) {
            EXPECT_TRUE(answers.asked.empty());
            EXPECT_EQ(set.ProgramIdent, QStringLiteral("PRG0001"));
            EXPECT_TRUE(set.RevisionFileName.endsWith(c.text));
            continue;
        }
        const bool pls = c.text.contains(QLatin1String("PLS"));
        const bool incompatible = c.text.contains(QLatin1String("incompatible"));
        ASSERT_EQ(answers.asked.size(), 1u);
        EXPECT_EQ(answers.asked[0].title, pls ? "PLS Program Download" : "Program Download");
        EXPECT_EQ(answers.asked[0].icon, pls            ? link::Icon::Information
                                         : incompatible ? link::Icon::Critical
                                                        : link::Icon::Exclamation);
        EXPECT_TRUE(answers.asked[0].text.endsWith(c.text)) << answers.asked[0].text.toStdString();
    }
    ProgramSet set;
    set.DownloadFile(path("0/P.bxl"), answers);
    EXPECT_EQ(set.ConfigDigits, (std::array<int, 3>{2, 7, 1}));
    EXPECT_EQ(set.TargetBoardName, QStringLiteral("R6024"));
}
