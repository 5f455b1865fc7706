// talvern-cli's set-up file commands against the simulated boards, in virtual time.
#include "CliFixture.h"
#include "SdtFile.h"

using namespace talvern;
using namespace talvern::app;
using boards::BoardId;

namespace {

class SetupFileCli : public talvern::testing::CliFixture {
protected:
    int run(const QStringList& command, bool yes = true) { return runCli(command, yes, false); }
};

} // namespace

TEST_F(SetupFileCli, NewWritesTheDefaultsAndShowListsThem) {
    ASSERT_EQ(run({"sdt", "new", file("d.sdt")}), kDone);
    ASSERT_EQ(run({"sdt", "show", file("d.sdt")}), kDone);
    const QString text = output();
    EXPECT_TRUE(text.startsWith("Version: TALVERN_R")) << text.toStdString();
    EXPECT_TRUE(
        text.contains("14  W1110          1950  Cupfeed Stop Position at Short Can (counts)\n"));
    EXPECT_TRUE(text.contains("PLS channels 8  program 0  scale 360  offset 0\n"));
    EXPECT_TRUE(text.contains("CH00  ON 150  OFF 170\n"));
    EXPECT_TRUE(text.contains("CH07  ON 180  OFF 0\n"));
    EXPECT_EQ(text.count('\n'), 1 + 31 + 2 + 8);
}

TEST_F(SetupFileCli, UploadDownloadAndUploadAgainThenTheOtherBoardsRows) {
    sim.stopMachine(); // the shift counts stand still between the uploads
    clock.advance(60);
    sim.pokeWord(BoardId::K2510, 1020, 123);
    ASSERT_EQ(run({"upload", "k2510", file("a.sdt")}), kDone) << errors().toStdString();
    ASSERT_EQ(run({"sdt", "show", file("a.sdt")}), kDone);
    const QString shown = output();
    EXPECT_TRUE(shown.contains(" 0  W1020           123  BDC Stop")) << shown.toStdString();
    EXPECT_TRUE(shown.contains("14  W1110          1950  ")); // the R7520 rows keep the defaults

    // edit the file offline, write it to the board, read it back
    QString message;
    std::optional<setup::SetupData> d = setup::LoadSdtFile(file("a.sdt"), &message);
    ASSERT_TRUE(d);
    d->ParamValue[0] = 45;
    d->PLSSetpoint[2] = {11, 22};
    ASSERT_TRUE(setup::SaveSdtFile(file("a.sdt"), *d, &message));
    ASSERT_EQ(run({"download", "k2510", file("a.sdt")}), kDone) << errors().toStdString();
    EXPECT_EQ(sim.peekWord(BoardId::K2510, 1020), 45);
    ASSERT_EQ(run({"upload", "k2510", file("b.sdt")}), kDone);
    EXPECT_EQ(bytes("b.sdt"), bytes("a.sdt"));

    // The R7520's upload into an existing file keeps the K2510's rows and PLS data.
    sim.moveCable(BoardId::R7520);
    sim.pokeWord(BoardId::R7520, 1110, 777);
    ASSERT_EQ(run({"upload", "r7520", file("b.sdt")}), kDone);
    const std::optional<setup::SetupData> after = setup::LoadSdtFile(file("b.sdt"), &message);
    ASSERT_TRUE(after);
    EXPECT_EQ(after->ParamValue[14], 777);
    for (int i = 0; i <= 13; ++i)
        EXPECT_EQ(after->ParamValue[i], d->ParamValue[i]) << i;
    EXPECT_EQ(after->PLSSetpoint, d->PLSSetpoint);
}

TEST_F(SetupFileCli, QuestionsRefusalsAndFailuresLeaveTheFileAlone) {
    EXPECT_EQ(run({"upload", "k2510", file("a.sdt")}, /*yes=*/false), kFailed);
    EXPECT_TRUE(errors().contains("[Data Upload] You are about to Upload Data from the K2510\n\n"
                                  "Do You Wish to Continue?"));
    EXPECT_FALSE(QFile::exists(file("a.sdt")));

    // the wrong board: the reconnect prompt is cancelled, the transfer reports the failure
    ASSERT_EQ(run({"sdt", "new", file("a.sdt")}), kDone);
    const QByteArray before = bytes("a.sdt");
    EXPECT_EQ(run({"upload", "r7520", file("a.sdt")}), kFailed);
    EXPECT_TRUE(errors().contains("[MOTPROG]"));
    EXPECT_TRUE(errors().contains("[Process Error] Error Processing Request"));
    EXPECT_EQ(bytes("a.sdt"), before);

    sim.setSilent(true);
    EXPECT_EQ(run({"download", "k2510", file("a.sdt")}), kLinkFailure);
    EXPECT_EQ(bytes("a.sdt"), before);
}

TEST_F(SetupFileCli, ShowPrintsFileTextsAsTheyAreAndControlCharactersVisibly) {
    setup::SetupData d = setup::FactoryDefaults("R\x1b[2J\\");
    d.ParamAdd[0] = "W%2%1";
    d.ParamAdd[1] = "W1022\a";
    QString message;
    ASSERT_TRUE(setup::SaveSdtFile(file("p.sdt"), d, &message));
    ASSERT_EQ(run({"sdt", "show", file("p.sdt")}), kDone);
    const QStringList lines = output().split('\n');
    EXPECT_EQ(lines[0], "Version: R\\x1b[2J\\\\");
    EXPECT_EQ(lines[1], " 0  W%2%1             0  BDC Stop Position at Low Speed (degrees)");
    EXPECT_EQ(lines[2], " 1  W1022\\x07          0  BDC Stop Position at High Speed (degrees)");
}

TEST_F(SetupFileCli, ExportShiftWritesTheSeventeenLines) {
    ASSERT_EQ(run({"sdt", "new", file("m.sdt")}), kDone);
    ASSERT_EQ(run({"export-shift", file("m.sdt"), file("out.txt")}), kDone);
    const QList<QByteArray> lines = bytes("out.txt").split('\n');
    ASSERT_EQ(lines.size(), 18); // 17 lines and the empty rest after the last CR LF
    EXPECT_EQ(lines[0], "m.sdt\r");
}

TEST_F(SetupFileCli, UsageErrors) {
    EXPECT_EQ(run({"upload", "x9", file("a.sdt")}), kUsage);
    EXPECT_EQ(run({"download", "k2510"}), kUsage);
    EXPECT_EQ(run({"sdt", "list", file("a.sdt")}), kUsage);
    EXPECT_EQ(run({"export-shift", file("a.sdt")}), kUsage);
}
