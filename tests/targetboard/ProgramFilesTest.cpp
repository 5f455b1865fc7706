// Program file sets: names, board classes with their messages, the revision and configuration
// lines, marked hex.
#include "MarkHex.h"
#include "ProgramSetFixture.h"

using namespace talvern;
using namespace talvern::targetboard;
using talvern::testing::ProgramTest;

TEST(ProgramFileNames, FormedFromTheChosenFileKeepingTheDot) {
    const ProgramFileNames names = ProgramSetNames(QStringLiteral("C:\\P\\PROG1.bxl"));
    EXPECT_EQ(names.program, QStringLiteral("C:\\P\\PROG1.bxl"));
    EXPECT_EQ(names.revision, QStringLiteral("C:\\P\\PROG1.rev"));
    EXPECT_EQ(names.image, QStringLiteral("C:\\P\\PROG1.hex"));
    EXPECT_EQ(names.configuration, QStringLiteral("C:\\P\\PROG1.lcf"));
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

    QString config =
        QStringLiteral("F") + QString(34, QLatin1Char('0')) + "2" + "00" + "71" + "000%";
    ASSERT_EQ(config.size(), 44);
    EXPECT_EQ(ParseConfigurationLine(config), (std::array<int, 3>{2, 7, 1}));
    EXPECT_EQ(MakeConfigurationLine(56, {2, 7, 1}), config);
    // Board values for the digits, and back.
    EXPECT_EQ(ConfigurationValues({1, 7, 2}), (std::array<int, 3>{3, 7, 10}));
    EXPECT_EQ(ConfigurationValues({3, 0, 3}), (std::array<int, 3>{12, 0, 20}));
    EXPECT_EQ(ConfigurationDigits(5, 4, 20), (std::array<int, 3>{2, 4, 3}));
}

class ProgramSelection : public ProgramTest {};

TEST_F(ProgramSelection, EachBoardClassNeedsItsFilesOrIsRefused) {
    const QByteArray config = "F" + QByteArray(34, '0') + "2" + "00" + "71" + "000%";
    struct Case {
        QByteArray bxl;
        bool withConfig;
        bool valid;
        QString title;
        link::Icon icon;
        QString textEnd;
    };
    const Case cases[] = {
        {"8PROG", true, true, {}, link::Icon::None, {}},
        {"8PROG", false, false, "Program Download", link::Icon::Exclamation,
         "PROG1.lcf Configuration File is Not Valid\r\n\r\nProgram Downloaded Halted!"},
        {"2PROG", false, true, {}, link::Icon::None, {}},
        {"7PROG", false, false, "PLS Program Download", link::Icon::Information,
         "PROG1 file is a PLS target board program.\r\nOpen PLS program to download to target "
         "board.\r\n\r\nProgram Downloaded Halted."},
        {"1PROG", false, false, "Program Download", link::Icon::Critical,
         "PROG1 file is incompatible with target board.\r\n\r\nProgram Downloaded Halted!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bxl.toStdString());
        QFile::remove(path("PROG1.lcf"));
        answers.asked.clear();
        const QString bxl = writeSet("PROG1", c.bxl, "PRG00010;12\r\n", ":00000001FF\r\n",
                                     c.withConfig ? config : QByteArray());
        ProgramSet set;
        set.DownloadFile(bxl, answers);
        EXPECT_EQ(set.ValidProgram, c.valid);
        EXPECT_EQ(set.BoardCode, c.bxl.at(0));
        if (c.title.isEmpty()) {
            EXPECT_TRUE(answers.asked.empty());
            EXPECT_EQ(set.ProgramIdent, QStringLiteral("PRG0001"));
            continue;
        }
        ASSERT_EQ(answers.asked.size(), 1u);
        EXPECT_EQ(answers.asked[0].title, c.title);
        EXPECT_EQ(answers.asked[0].icon, c.icon);
        EXPECT_TRUE(answers.asked[0].text.endsWith(c.textEnd))
            << answers.asked[0].text.toStdString();
    }
    ProgramSet set;
    set.DownloadFile(writeSet("PROG1", "8PROG", "PRG00010;12", {}, config), answers);
    EXPECT_EQ(set.ConfigDigits, (std::array<int, 3>{2, 7, 1}));
    EXPECT_EQ(set.TargetBoardName, QStringLiteral("R6024"));
}
