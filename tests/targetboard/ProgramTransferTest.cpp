// The dump, upload and verify against the simulated boards.
#include "ProgramDump.h"
#include "ProgramSetFixture.h"
#include "ProgramUpload.h"
#include "ProgramVerify.h"

#include <QFile>
#include <algorithm>
#include <functional>
#include <map>
#include <utility>

using namespace talvern;
using namespace talvern::targetboard;
using boards::BoardId;
using link::Answer;

namespace {

class ProgramTransfer : public talvern::testing::ProgramTest {
protected:
    // The dump of a set, `during` run after each step.
    bool dump(const QString& bxl, const std::function<void(const ProgramDump&)>& during = {}) {
        ProgramSet set;
        set.DownloadFile(bxl, answers);
        ProgramDump dump(link, set, answers, clock);
        while (dump.step()) {
            if (during) during(dump);
            clock.sleepUntil(dump.resumeAt());
        }
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
    static QByteArray ConfigLine(char digit1, char digit2, char digit3) {
        return "F" + QByteArray(34, '0') + digit1 + "00" + digit2 + digit3 + "000%";
    }
    // A configuration board whose B8189 does not take the 7 of its file.
    void configurationRefused() {
        writeSet("P", "8P", "NEWPROG0;12", smallImage(), ConfigLine('2', '7', '1'));
        tap.refused = {8189, 7};
    }
};

// Code 56 (2000H..3FFFH) keeps its configuration in B8190, B8189, B8188 (digits 1, 2, 3 of its
// file), each value distinct here so that no two can change places unseen.
TEST_F(ProgramTransfer, UploadSavesTheBoardVerifyMatchesAndADumpRoundTrips) {
    goOnline(BoardId::R7520);
    auto config = [this] { return boardBytes(BoardId::R7520, 8188, 3); };
    auto setConfig = [this](std::array<int, 3> b8188to90) {
        for (int i = 0; i < 3; ++i)
            sim.pokeByte(BoardId::R7520, static_cast<std::uint16_t>(8188 + i), b8188to90[i]);
    };
    setConfig({20, 4, 5});
    const QString bxl = writeSet("SAVED", "8SAVED\r\n", {}, {});
    ASSERT_TRUE(upload(bxl));
    EXPECT_EQ(titles(), QStringList{"Program Upload"});
    EXPECT_EQ(lastText(), QStringLiteral("Program Upload Complete!"));

    // 512 records of 16 bytes, then the end record.
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
    const QByteArray lcf = talvern::testing::ReadText(path("SAVED.lcf"));
    EXPECT_EQ(lcf, ConfigLine('2', '4', '3') + "\r\n");

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

    setConfig({5, 1, 3});
    answers.asked.clear();
    answers.answers = {Answer::Yes};
    ASSERT_TRUE(dump(bxl));
    EXPECT_EQ(titles(), (QStringList{"Program Download - [AB]", "Program Download"}));
    EXPECT_EQ(lastText(), QStringLiteral("Program Download Complete!"));
    EXPECT_TRUE(link.OnlineMode);
    EXPECT_EQ(boardBytes(BoardId::R7520, 61424, 10),
              (std::vector<int>{65, 66, 0, 0, 0, 0, 0, 0, 11, 18}));
    EXPECT_EQ(sim.peekByte(BoardId::R7520, 8181), 86);
    EXPECT_EQ(config(), (std::vector<int>{20, 4, 5})) << "the board as it was saved";
    answers.asked.clear();
    EXPECT_EQ(verify(bxl), QStringLiteral("Program in board matches SAVED.hex (8192 bytes)."));

    // 12 at B8189 would come back as another value: no file is written.
    sim.pokeByte(BoardId::R7520, 8189, 12);
    EXPECT_FALSE(upload(bxl));
    EXPECT_EQ(lastText(), QStringLiteral("Program Upload Not Complete!\r\n\r\nB8189 holds 12; a "
                                         "configuration file keeps only 0 to 9 there.\r\n\r\n"
                                         "No file was written."));
    EXPECT_EQ(talvern::testing::ReadText(path("SAVED.lcf")), lcf);
}

TEST_F(ProgramTransfer, DumpStreamsEachRecordAndTheEndRecordSendsNothing) {
    goOnline(BoardId::K2510);
    // Code 50 keeps its program from 5000H, so the record at 0030H is pointed out first.
    // Its bytes of the ident block stay marked while the records go in.
    sim.pokeByte(BoardId::K2510, 61424, 0);
    const QString bxl = writeSet("PROG1", "2PROG1\r\n", "AB0;12\r\n",
                                 ":0300300002337A1E\r\n:02EFF000AAAA\r\n:00000001FF\r\n");
    answers.answers = {Answer::Yes, Answer::Yes};
    ASSERT_TRUE(dump(bxl));
    ASSERT_EQ(answers.asked.size(), 3u);
    EXPECT_TRUE(answers.asked[0].text.startsWith(
        QStringLiteral("1 of the 2 records of PROG1.hex lie outside the program memory of the "
                       "R6012 (5000H to FFFFH):\r\n  line 1 at 0030H (3 bytes)")));
    const QString& confirm = answers.asked[1].text;
    EXPECT_TRUE(confirm.contains(QStringLiteral("  Program Ident: \t\tAB\r\n")));
    EXPECT_TRUE(confirm.contains(QStringLiteral("  Program Ident: \t\tNo valid program\r\n")));
    EXPECT_TRUE(confirm.endsWith(QStringLiteral("Do You Wish to Continue?\r\n")));
    EXPECT_EQ(answers.asked[1].buttons, link::Buttons::YesNoCancel);

    const std::size_t mode = tap.find({0xFF, 0x03});
    const std::size_t record = tap.find({0x03, 0x00, 0x30, 0x02, 0x33, 0x7A});
    ASSERT_LT(record + 11, tap.sent.size());
    EXPECT_EQ(record, mode + 2) << "program mode, then the record";
    EXPECT_EQ(tap.find({0x02, 0xEF, 0xF0, 0, 0}), record + 6);
    EXPECT_EQ(tap.sent[record + 11], 0xFF) << "the end record sends nothing; 0xFF leaves the mode";
    EXPECT_EQ(boardBytes(BoardId::K2510, 0x30, 3), (std::vector<int>{0x02, 0x33, 0x7A}));
    EXPECT_EQ(boardBytes(BoardId::K2510, 61424, 10),
              (std::vector<int>{65, 66, 0, 0, 0, 0, 0, 0, 11, 18}));

    // Before the first record: the ident block marked (its first byte 0 first), B8181 = 86 and
    // B8176 = 0 written, 0.1 s, then 0xFF. After the last: 0xFF, 2 s, the ident with 'A' last.
    const std::size_t mark = tap.find({0xEF, 0xF0, 0x00});
    const std::size_t b8181 = tap.find({0x1F, 0xF5, 86});
    const std::size_t b8176 = tap.find({0x1F, 0xF0, 0x00}) + 2;
    EXPECT_LT(mark, b8181);
    EXPECT_LT(b8181, b8176);
    ASSERT_LT(b8176, mode);
    EXPECT_EQ(tap.sent[b8176 + 1], 0xFF);
    EXPECT_GE(tap.times[b8176 + 1] - tap.times[b8176], 0.1);
    const std::size_t ident = tap.find({0xEF, 0xF1, 'B'}, mode);
    ASSERT_LT(ident, tap.sent.size());
    EXPECT_EQ(tap.sent[ident - 3], 0xFF) << "out of program mode";
    EXPECT_GE(tap.times[ident - 2] - tap.times[ident - 3], 2.0);
    EXPECT_GT(tap.find({0xEF, 0xF0, 'A'}, mode), tap.find({0xEF, 0xF9, 18}, mode));
}

// Every way a dump ends without its program in the board: each row's fault is set before the dump,
// or injected once the dump has sent so many record bytes; its last messages are given as title,
// part of the text. A refused set sends nothing; once bytes went out, the ident block names no
// program and the last message says the board must be loaded again.
TEST_F(ProgramTransfer, EveryFailureOfADumpIsNamedAndAStartedDumpLeavesNoValidProgram) {
    using Fault = boards::SimulatedBoards::Fault;
    const Fault none = Fault::LostReply; // with atBytes -1: no fault injected
    const struct {
        const char* name;
        int atBytes;
        Fault fault;
        const char* messages; // title|part of the text|...
        bool started = true;
    } cases[] = {
        {"offline", -1, none, "Program Download|Program is Currently OFFLINE.", false},
        {"P.rev", -1, none,
         "Program Download|/P.rev Revision File is Not Valid|Program Download|Currently Selected "
         "Program is Invalid.",
         false},
        {"P.hex", -1, none,
         "Program Download|/P.hex File Does Not Exist.\r\n\r\nProgram Downloaded Halted", false},
        {"empty", -1, none,
         "Program Download|/P.hex File is Not Valid\r\n\r\nProgram Downloaded Halted", false},
        {"short", -1, none,
         "Program Dump|Currently Selected Program is Invalid.\r\n\r\nP.hex, line 1: the line is "
         "too short for a record\r\n\r\nProgram Download Halted!",
         false},
        {"B61424", -1, none,
         "Program Download|The board did not take the value written to B61424.|Program "
         "Download|Program Download Not Complete!"},
        {"B8189", -1, none,
         "Program Config Download|Could Not Set Program Configuration in PLC!|Program "
         "Download|Program Download Not Complete!"},
        {"wrong sum", -1, none,
         "Program Download|Checksum Error, Program Download Halted!\r\n\r\nThe board answered the "
         "record at 2020H (line 3 of P.hex) with the sum"},
        {"cable pulled", 32, Fault::CablePulled,
         "Program Download|No Reply from PLC, Program Download Halted!\r\n\r\nThe board did not "
         "answer the record at 2020H (line 3 of P.hex): check the cable."},
        {"program mode", 64, Fault::CorruptedReply,
         "Program Download|PLC did not Exit Program Mode!"},
        {"B61425", -1, none,
         "Program Download|Could Not Send Program Ident and Revision to PLC!|Program "
         "Download|Program Download Not Complete!"},
    };
    // What the named rows do before the dump: a file taken away or cut short, a value the board
    // does not take, a wrong sum.
    const std::map<QString, std::function<void()>> before{
        {"offline", [this] { link.OnlineMode = false; }},
        {"P.rev", [this] { QFile::remove(path("P.rev")); }},
        {"P.hex", [this] { QFile::remove(path("P.hex")); }},
        {"empty", [this] { QFile(path("P.hex")).resize(0); }},
        {"short", [this] { QFile(path("P.hex")).resize(5); }},
        {"B61424", [this] { tap.refused.emplace(61424, 0); }},
        {"B8189", [this] { configurationRefused(); }},
        {"wrong sum", [this] { sim.injectProgramFault(boards::ProgramFault::WrongSum, 2); }},
        {"B61425", [this] { tap.refused.emplace(61425, 'E'); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sim.clearFaults();
        sim.plug();
        sim.pokeByte(BoardId::R7520, 61424, 'M');
        link.CommError = false;
        goOnline(BoardId::R7520);
        QFile::remove(path("P.lcf"));
        writeSet("P", "4P", "NEWPROG0;12", smallImage());
        if (before.count(c.name)) before.at(c.name)();
        answers.asked.clear();
        answers.answers = {Answer::Yes};
        int injectAt = c.atBytes;
        EXPECT_FALSE(dump(path("P.bxl"), [&](const ProgramDump& d) {
            if (d.bytesSent() != injectAt) return;
            injectAt = -1;
            sim.injectFault(c.fault, 0);
        }));
        tap.refused.reset();
        const QStringList messages = QString(c.messages).split('|');
        const std::size_t n = messages.size() / 2;
        ASSERT_GE(answers.asked.size(), n);
        for (std::size_t i = 0; i < n; ++i) {
            const talvern::testing::AskedQuestion& q = answers.asked[answers.asked.size() - n + i];
            EXPECT_EQ(q.title, messages[2 * i]);
            EXPECT_TRUE(q.text.contains(messages[2 * i + 1])) << q.text.toStdString();
        }
        EXPECT_EQ(!tap.sent.empty(), c.started);
        EXPECT_EQ(lastText().endsWith(kLoadAgain), c.started);
        EXPECT_EQ(sim.peekByte(BoardId::R7520, 61424), c.started ? 0 : 'M');
    }
}

// On the wire's own pace, the time left always foretells the end, the settle after the records
// and the ident writes included; 100 % only at the end.
TEST_F(ProgramTransfer, TimeLeftCountsTheSettleAndTheIdentWrites) {
    line.setPaced(true);
    goOnline(BoardId::R7520);
    ProgramSet set;
    set.DownloadFile(writeSet("P", "4P\r\n", "NEWPROG0;12\r\n", smallImage()), answers);
    answers.answers = {Answer::Yes};
    ProgramDump dump(link, set, answers, clock);
    std::vector<std::pair<double, TransferProgress>> seen;
    while (dump.step()) {
        seen.emplace_back(clock.now(), dump.progress());
        clock.sleepUntil(dump.resumeAt() - 0.5);
        seen.emplace_back(clock.now(), dump.progress().at(clock.now()));
        clock.sleepUntil(dump.resumeAt());
    }
    ASSERT_TRUE(dump.succeeded());
    const double end = clock.now();
    int rated = 0;
    for (const auto& [time, progress] : seen) {
        if (progress.secondsLeft() < 0) continue;
        ++rated;
        EXPECT_NEAR(time + progress.secondsLeft(), end, 0.1) << progress.text().toStdString();
        EXPECT_TRUE(time >= end - 0.3 || progress.percent() < 100) << progress.text().toStdString();
    }
    EXPECT_GT(rated, 10);
    EXPECT_EQ(dump.progress().at(end).text(), QStringLiteral("100 %, 0:00 left"));
}

// A byte counts as the file's only from a read that succeeded: here the file's byte is what a
// failed read gives ("0"), the board's is not.
TEST_F(ProgramTransfer, VerifyNeverCountsAFailedOrCancelledReadAsMatching) {
    goOnline(BoardId::R7520);
    sim.pokeByte(BoardId::R7520, 0x2000, 0x5A);
    const QString bxl = writeSet("V", "4V\r\n", {}, ":0120000000\r\n:00000001FF\r\n");
    link.ResetHandshake();
    sim.corruptReplies(1, 2); // the echo of the address: the read fails
    EXPECT_EQ(verify(bxl),
              QStringLiteral("Program in board differs from V.hex:\r\n\r\n1 of 1 bytes "
                             "differ; first at 2000H: board 5A, file 00"));
    sim.setSilent(true); // and the engineer answers Cancel
    EXPECT_EQ(verify(bxl), QStringLiteral("Program Verify Not Complete!"));
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
