// talvern-cli program ... and board reset-faults / set-clock against the simulated boards.
#include "CliFixture.h"

#include <QFile>

using namespace talvern;
using namespace talvern::app;

namespace {

class ProgramCli : public talvern::testing::CliFixture {
protected:
    void write(const QString& name, const QByteArray& text) {
        QFile f(file(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    }
};

TEST_F(ProgramCli, CheckShowsTheSetAndRefusesWhatTheWindowRefuses) {
    write("P.bxl", "8P\r\n");
    write("P.rev", "PRG00010;12\r\n");
    write("P.lcf", "F" + QByteArray(34, '0') + "2" + "00" + "71" + "000%\r\n");
    write("P.hex", ":0300300002337A1E\r\n:00000001FF\r\n");
    ASSERT_EQ(runCli({"program", "check", file("P.bxl")}, false, false), kDone)
        << errors().toStdString();
    const QString out = output();
    for (const char* line : {"Board: 56 (R6024)", "Ident: PRG0001", "Revision: 18", "Checksum: 11",
                             "Configuration: 2 7 1", "Image: 1 records, 3 bytes"})
        EXPECT_TRUE(out.contains(QLatin1String(line))) << line << "\n" << out.toStdString();
    EXPECT_TRUE(out.contains(file("P.lcf")));

    write("P.bxl", "7P\r\n");
    EXPECT_EQ(runCli({"program", "check", file("P.bxl")}, false, false), kFailed);
    EXPECT_TRUE(
        errors().startsWith("[PLS Program Download] P file is a PLS target board program."));
}

TEST_F(ProgramCli, UploadVerifyAndDumpRoundTripThroughTheCommandLine) {
    sim.moveCable(boards::BoardId::R7520);
    write("R.bxl", "4R\r\n");
    ASSERT_EQ(runCli({"program", "upload", file("R.bxl")}, false, false), kDone)
        << errors().toStdString();
    EXPECT_TRUE(errors().contains("[Program Upload] Program Upload Complete!"));
    ASSERT_EQ(runCli({"program", "verify", file("R.bxl")}, false, false), kDone);
    EXPECT_TRUE(output().contains("Program in board matches R.hex (8192 bytes)."));
    write("R.rev", "CLIPROG0;12\r\n");
    EXPECT_EQ(runCli({"program", "dump", file("R.bxl")}, true, false), kUsage)
        << "a dump names its board";
    EXPECT_EQ(runCli({"program", "dump", "r7520", file("R.bxl")}, false, false), kFailed)
        << "without --yes the confirmation is answered No";
    EXPECT_TRUE(errors().contains("(answered No; --yes answers Yes)")) << errors().toStdString();
    // The board is confirmed on the cable before the dump asks to go on.
    EXPECT_EQ(runCli({"program", "dump", "k2510", file("R.bxl")}, true, false), kFailed);
    EXPECT_TRUE(errors().startsWith("[TMGPROG] Connect to PROG PORT on K2510"))
        << errors().toStdString();
    EXPECT_FALSE(errors().contains("[Program Download - ["));
    ASSERT_EQ(runCli({"program", "dump", "r7520", file("R.bxl")}, true, false), kDone)
        << errors().toStdString();
    EXPECT_TRUE(errors().contains("[Program Download] Program Download Complete!"));
    ASSERT_EQ(runCli({"board", "status"}, false, false), kDone);
    EXPECT_TRUE(output().endsWith("Program: CLIPROG, revision 18, checksum 11\n"))
        << output().toStdString();
    sim.pokeByte(boards::BoardId::R7520, 61424, 0);
    ASSERT_EQ(runCli({"board", "status"}, false, false), kDone);
    EXPECT_TRUE(output().endsWith("Program: No valid program (the board must be loaded again)\n"));
}

TEST_F(ProgramCli, ResetFaultsAndSetClock) {
    sim.pokeByte(boards::BoardId::K2510, 8177, 0x5C);
    EXPECT_EQ(runCli({"board", "reset-faults"}, false, false), kFailed)
        << "the warning answered No";
    EXPECT_EQ(sim.peekByte(boards::BoardId::K2510, 8177), 0x5C);
    ASSERT_EQ(runCli({"board", "reset-faults"}, true, false), kDone);
    EXPECT_EQ(sim.peekByte(boards::BoardId::K2510, 8177), 0);
    sim.board(boards::BoardId::K2510).setCalendar({2001, 2, 3, 4, 5, 6});
    ASSERT_EQ(runCli({"board", "set-clock"}, false, false), kDone);
    EXPECT_EQ(sim.board(boards::BoardId::K2510).calendar().year, QDate::currentDate().year());
}

} // namespace
