// The change log: what a write of each kind leaves in the log, rotation, an unwritable folder
// and lines a crash cut short.
#include "ChangeLog.h"
#include "OnlineState.h"
#include "SetupData.h"
#include "SimulatedRig.h"
#include "WireRecorder.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace talvern;
using namespace talvern::setup;

namespace {

const QDateTime kAt(QDate(2026, 12, 7), QTime(15, 4, 5), Qt::OffsetFromUTC, 3600);

ChangeEntry Entry(const QString& written) {
    return {kAt, "K2510", "W1020", "BDC", "1", written, "test", true};
}

class ChangeLogOnLink : public ::testing::Test, protected talvern::testing::SimulatedLink {
protected:
    void SetUp() override {
        recorder.setBoardAddress(QString::fromLatin1(kBoardTypeAddress));
        recorder.onTransaction = [this](const link::WireTransaction& t) { log.heard(t); };
        rs.SetObserver(&recorder);
        log.setSourceProvider([] { return QStringLiteral("Cupfeed Tuning"); });
        goOnline();
        ASSERT_TRUE(rs.OnlineMode);
        rs.RSRead(QString::fromLatin1(kBoardTypeAddress));
    }
    link::WireRecorder recorder{0};
    ChangeLog log{folder.filePath("changes.log"), [] { return kAt; }};
};

TEST_F(ChangeLogOnLink, OneLinePerWriteWithItsSourceAndResult) {
    rs.RSRead(QStringLiteral("W1020"));
    rs.RSWrite(QStringLiteral("W1020"), QStringLiteral("12")); // a screen's write
    {
        ChangeSource source(&log, QStringLiteral("talvern-cli pls set"));
        rs.SingleSetpoint(2, 100, 140, true);
    }
    {
        // A dump's own writes make one line, logged by its caller.
        ChangeSource dump(&log, QStringLiteral("Program dump"), true);
        rs.RSWrite(QStringLiteral("W1022"), QStringLiteral("5"));
        log.recordProgramDump(kBoardK2510, QStringLiteral("line3.bxl"), QStringLiteral("LINE3"),
                              true);
    }
    rs.RSRead(QStringLiteral("W1020"));
    sim.unplug();
    rs.RSWrite(QStringLiteral("W1020"), QStringLiteral("13")); // no reply: Cancel
    const std::vector<ChangeEntry> entries = ReadChangeLog(log.path());
    QStringList lines;
    for (const ChangeEntry& e : entries) {
        EXPECT_EQ(e.at, kAt);
        lines << e.board + '|' + e.address + '|' + e.name + '|' + e.before + '|' + e.written + '|' +
                     e.source + (e.confirmed ? "|confirmed" : "|not");
    }
    ASSERT_EQ(
        lines,
        (QStringList{
            "K2510|W1020|BDC Stop Position at Low Speed (degrees)|0|12|Cupfeed Tuning|confirmed",
            // The command agrees the scale it reads before it programs the channel.
            "K2510|PLS scale factor, scale factor, channel 2, channel 2|||360; 360; clear; "
            "on 100, off 140|talvern-cli pls set|confirmed",
            "K2510|program|line3.bxl||LINE3|Program dump|confirmed",
            "K2510|W1020|BDC Stop Position at Low Speed (degrees)|12|13|Cupfeed Tuning|not"}));
    EXPECT_EQ(ChangeText(entries[0]),
              "2026-12-07T15:04:05+01:00  K2510  W1020 BDC Stop Position at Low Speed (degrees): "
              "0 -> 12  Cupfeed Tuning  confirmed");
}

TEST(ChangeLogFile, RotatesKeepingThePreviousFile) {
    QTemporaryDir folder;
    const QString path = folder.filePath("changes.log");
    const qint64 oneLine = ChangeLine(Entry("1")).toUtf8().size() + 1;
    ChangeLog log(
        path, [] { return kAt; }, oneLine * 2);
    for (const char* v : {"1", "2", "3", "4", "5"})
        ASSERT_TRUE(log.append(Entry(QString::fromLatin1(v))));
    QStringList kept;
    for (const ChangeEntry& e : ReadChangeLog(path))
        kept << e.written;
    EXPECT_EQ(kept, (QStringList{"3", "4", "5"}));
}

TEST(ChangeLogFile, AnUnwritableFolderIsSaidOnce) {
    QTemporaryDir folder;
    QFile blocker(folder.filePath("file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    ChangeLog log(folder.filePath("file/changes.log"));
    QStringList said;
    log.setTroubleHandler([&](const QString& text) { said << text; });
    EXPECT_FALSE(log.append(Entry("1")));
    EXPECT_FALSE(log.append(Entry("2")));
    EXPECT_EQ(said.size(), 1);
}

TEST(ChangeLogFile, ALineCutShortIsNeverReadAsAnEntry) {
    const QByteArray whole = ChangeLine(Entry("1")).toUtf8();
    for (const qsizetype cut :
         {qsizetype(10), whole.size() / 2, whole.size() - 6, whole.size() - 1}) {
        QTemporaryDir folder;
        const QString path = folder.filePath("changes.log");
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(whole + '\n' + whole.left(cut)); // killed while writing the second line
        file.close();
        ChangeLog(path).append(Entry("3"));
        QStringList read;
        for (const ChangeEntry& e : ReadChangeLog(path))
            read << e.written;
        EXPECT_EQ(read, (QStringList{"1", "3"})) << cut;
    }
}

} // namespace
