// The dump, upload and verify against the simulated boards.
#include "ProgramDump.h"
#include "ProgramSetFixture.h"
#include "ProgramUpload.h"
#include "ProgramVerify.h"

#include <algorithm>

using namespace talvern;
using namespace talvern::targetboard;
using boards::BoardId;
using link::Answer;

namespace {

class ProgramTransfer : public talvern::testing::ProgramTest {
protected:
    bool dump(const QString& bxl) {
        ProgramSet set;
        set.DownloadFile(bxl, answers);
        ProgramDump dump(link, set, answers, clock);
        dump.runToEnd();
        return dump.succeeded();
    }
    bool upload(const QString& bxl) {
        ProgramSet set;
        set.UploadFile(bxl, answers);
        ProgramUpload up(link, set, answers, clock);
        up.InUploadMode = true;
        up.runToEnd();
        return up.succeeded();
    }
    QString verify(const QString& bxl) {
        ProgramSet set;
        set.UploadFile(bxl, answers);
        ProgramVerify v(link, set, answers, clock);
        v.runToEnd();
        return v.report();
    }
    std::vector<int> boardBytes(BoardId id, int first, int count) {
        std::vector<int> bytes;
        for (int i = 0; i < count; ++i)
            bytes.push_back(sim.peekByte(id, static_cast<std::uint16_t>(first + i)));
        return bytes;
    }
    // Four records of 16 bytes at 2000H.. in the R7520's program memory, then the end record.
    static QByteArray smallImage() {
        QByteArray text;
        for (int r = 0; r < 4; ++r) {
            QByteArray line = ":10" + QByteArray::number(0x2000 + 16 * r, 16).toUpper() + "00";
            for (int i = 0; i < 16; ++i)
                line += QByteArray::number(0x10 + r * 16 + i, 16).toUpper();
            text += line + "\r\n";
        }
        return text + ":00000001FF\r\n";
    }
};

TEST_F(ProgramTransfer, UploadSavesTheBoardVerifyMatchesAndADumpRoundTrips) {
    goOnline(BoardId::R7520);
    const QString bxl = writeSet("SAVED", "4SAVED\r\n", {}, {});
    ASSERT_TRUE(upload(bxl));
    EXPECT_EQ(titles(), QStringList{"Program Upload"});
    EXPECT_EQ(lastText(), QStringLiteral("Program Upload Complete!"));

    // Code 52: 2000H..3FFFH, 512 records of 16 bytes, then the end record.
    const QList<QByteArray> lines = talvern::testing::ReadText(path("SAVED.hex")).split('\n');
    ASSERT_EQ(lines.size(), 514);
    EXPECT_TRUE(lines[0].startsWith(":10200000")) << lines[0].toStdString();
    EXPECT_EQ(lines[0].size(), 1 + 8 + 32 + 1) << "no checksum field, CR LF";
    EXPECT_TRUE(lines[511].startsWith(":103FF000"));
    EXPECT_EQ(lines[512], QByteArray(":00000001FF\r"));
    // The ident block with its zero byte, then checksum 3CH and revision 09H in marked hex.
    EXPECT_EQ(talvern::testing::ReadText(path("SAVED.rev")), QByteArray("MOTPROG\0"
                                                                        "3<09\r\n",
                                                                        14));

    answers.asked.clear();
    EXPECT_EQ(verify(bxl), QStringLiteral("Program in board matches SAVED.hex (8192 bytes)."));

    // A changed program dumps into the board and then verifies.
    QByteArray image = talvern::testing::ReadText(path("SAVED.hex"));
    const int at = image.indexOf(":10201000") + 9;
    image[at] = image[at] == 'A' ? 'B' : 'A';
    talvern::testing::WriteText(path("SAVED.hex"), image);
    talvern::testing::WriteText(path("SAVED.rev"), "AB0;12\r\n");
    answers.asked.clear();
    EXPECT_EQ(verify(bxl).left(44),
              QStringLiteral("Program in board differs from SAVED.hex:\r\n\r\n"));
    EXPECT_TRUE(answers.asked.back().text.contains(
        QLatin1String("1 of 8192 bytes differ; first at 2010H")));

    answers.asked.clear();
    answers.answers = {Answer::Yes};
    ASSERT_TRUE(dump(bxl));
    EXPECT_EQ(titles(), (QStringList{"Program Download - [AB]", "Program Download"}));
    EXPECT_EQ(lastText(), QStringLiteral("Program Download Complete!"));
    EXPECT_TRUE(link.OnlineMode);
    EXPECT_EQ(boardBytes(BoardId::R7520, 61424, 10),
              (std::vector<int>{65, 66, 0, 0, 0, 0, 0, 0, 11, 18}));
    EXPECT_EQ(sim.peekByte(BoardId::R7520, 8181), 86);
    answers.asked.clear();
    EXPECT_EQ(verify(bxl), QStringLiteral("Program in board matches SAVED.hex (8192 bytes)."));
}

TEST_F(ProgramTransfer, DumpStreamsEachRecordAndTheEndRecordSendsNothing) {
    goOnline(BoardId::K2510);
    // Code 50 keeps its program from 5000H, so the record at 0030H is pointed out first.
    const QString bxl =
        writeSet("PROG1", "2PROG1\r\n", "AB0;12\r\n", ":0300300002337A1E\r\n:00000001FF\r\n");
    answers.answers = {Answer::Yes, Answer::Yes};
    ASSERT_TRUE(dump(bxl));
    ASSERT_EQ(answers.asked.size(), 3u);
    EXPECT_TRUE(answers.asked[0].text.startsWith(
        QStringLiteral("1 of the 1 records of PROG1.hex lie outside the program memory of the "
                       "R6012 (5000H to FFFFH):\r\n  line 1 at 0030H (3 bytes)")));
    const QString& confirm = answers.asked[1].text;
    EXPECT_TRUE(confirm.contains(QStringLiteral("  Program Ident: \t\tAB\r\n")));
    EXPECT_TRUE(confirm.contains(QStringLiteral("  Program Ident: \t\tTMGPROG\r\n")));
    EXPECT_TRUE(confirm.endsWith(QStringLiteral("Do You Wish to Continue?\r\n")));
    EXPECT_EQ(answers.asked[1].buttons, link::Buttons::YesNoCancel);

    const std::vector<std::uint8_t> record{0x03, 0x00, 0x30, 0x02, 0x33, 0x7A};
    const auto it = std::search(tap.sent.begin(), tap.sent.end(), record.begin(), record.end());
    ASSERT_NE(it, tap.sent.end());
    ASSERT_GE(it - tap.sent.begin(), 2);
    EXPECT_EQ(*(it - 2), 0xFF);
    EXPECT_EQ(*(it - 1), 0x03) << "program mode";
    ASSERT_NE(it + 6, tap.sent.end());
    EXPECT_EQ(*(it + 6), 0xFF) << "the end record sends nothing; 0xFF leaves program mode";
    EXPECT_EQ(boardBytes(BoardId::K2510, 0x30, 3), (std::vector<int>{0x02, 0x33, 0x7A}));
    EXPECT_EQ(boardBytes(BoardId::K2510, 61424, 10),
              (std::vector<int>{65, 66, 0, 0, 0, 0, 0, 0, 11, 18}));
}

TEST_F(ProgramTransfer, AWrongOrMissingSumEndsTheDump) {
    for (boards::ProgramFault fault :
         {boards::ProgramFault::WrongSum, boards::ProgramFault::Silence}) {
        SCOPED_TRACE(static_cast<int>(fault));
        sim.clearFaults();
        goOnline(BoardId::R7520);
        const QString bxl = writeSet("P", "4P\r\n", "NEWPROG0;12\r\n", smallImage());
        sim.injectProgramFault(fault, 2);
        answers.asked.clear();
        answers.answers = {Answer::Yes};
        EXPECT_FALSE(dump(bxl));
        EXPECT_EQ(titles().last(), QStringLiteral("Program Download"));
        EXPECT_EQ(lastText(), QStringLiteral("Checksum Error, Program Download Halted!"));
        EXPECT_EQ(answers.asked.back().icon, link::Icon::Exclamation);
        EXPECT_FALSE(link.OnlineMode);
        EXPECT_EQ(sim.peekByte(BoardId::R7520, 61424), 'M') << "no ident after a failed dump";
    }
}

TEST_F(ProgramTransfer, ABadImageIsRefusedBeforeAnyByteIsSent) {
    goOnline(BoardId::R7520);
    const QString bxl = writeSet("BAD", "4BAD\r\n", "NEWPROG0;12\r\n",
                                 ":10200000000102030405060708090A0B0C0D0E0F\r\n"
                                 ":10201000000102030405060708090A0B0C0D0E0F\r\n"
                                 "10202000000102030405060708090A0B0C0D0E0F\r\n"
                                 ":00000001FF\r\n");
    ProgramSet set;
    set.DownloadFile(bxl, answers);
    ASSERT_TRUE(set.ValidProgram);
    answers.answers = {Answer::Yes};
    ProgramDump dump(link, set, answers, clock);
    dump.runToEnd();
    EXPECT_TRUE(tap.sent.empty());
    EXPECT_EQ(dump.bytesSent(), 0);
    ASSERT_EQ(answers.asked.size(), 1u);
    EXPECT_EQ(answers.asked[0].title, QStringLiteral("Program Dump"));
    EXPECT_EQ(answers.asked[0].text,
              QStringLiteral("Currently Selected Program is Invalid.\r\n\r\nBAD.hex, line 3: the "
                             "line does not start with \":\"\r\n\r\nProgram Download Halted!"));
    EXPECT_FALSE(set.ValidProgram);
    EXPECT_TRUE(link.OnlineMode) << "nothing was started";
}

TEST_F(ProgramTransfer, AFailedUploadLeavesTheFilesAsTheyWereAndAPlsBoardHasOnlyTheEndRecord) {
    goOnline(BoardId::R7520);
    const QString bxl = writeSet("KEEP", "4KEEP\r\n", "OLD00000\r\n", ":00000001FF\r\n");
    ProgramSet set;
    set.UploadFile(bxl, answers);
    ProgramUpload up(link, set, answers, clock);
    up.InUploadMode = true;
    for (int i = 0; i < 200; ++i)
        up.step();
    sim.unplug();
    up.runToEnd();
    EXPECT_FALSE(up.succeeded());
    EXPECT_FALSE(up.InUploadMode);
    EXPECT_EQ(lastText(),
              QStringLiteral("Program Upload Not Complete!\r\n\r\nHEX file not created."));
    EXPECT_EQ(talvern::testing::ReadText(path("KEEP.rev")), QByteArray("OLD00000\r\n"));
    EXPECT_EQ(talvern::testing::ReadText(path("KEEP.hex")), QByteArray(":00000001FF\r\n"));

    sim.plug();
    link.CommError = false;
    goOnline(BoardId::K2510);
    const QString pls = writeSet("PLS", "EPLS\r\n", {}, {});
    ASSERT_TRUE(upload(pls));
    EXPECT_EQ(talvern::testing::ReadText(path("PLS.hex")), QByteArray(":00000001FF\r\n"));
    EXPECT_TRUE(talvern::testing::ReadText(path("PLS.rev")).startsWith("TMGPROG"));
}

} // namespace
