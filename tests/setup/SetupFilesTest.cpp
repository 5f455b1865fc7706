// The File commands as logic: change detection, New, Open with the version question, Save,
// Save As and the shift-data export, with scripted answers and dialogs.
#include "SetupFiles.h"
#include "FakePlatform.h"
#include "ScriptedDialogs.h"
#include "SdtFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace talvern::setup;
using talvern::link::Answer;
using talvern::testing::Questions;
using talvern::testing::ScriptedAnswers;

namespace {

const QString kVersion = QStringLiteral("TALVERN_R2.1.4");

class FileCommands : public ::testing::Test {
protected:
    FileCommands() {
        defaults = FactoryDefaults(kVersion);
        setup = defaults;
        saved = setup;
        path = dir.filePath("*.sdt");
        commands.nowText = [] { return QStringLiteral("14/03/2024 10:20:30"); };
        commands.captionChanged = [this] { ++captionUpdates; };
    }
    QString writeFile(const QString& name, const SetupData& d) {
        const QString p = dir.filePath(name);
        QString message;
        EXPECT_TRUE(SaveSdtFile(p, d, &message));
        return p;
    }
    SetupData fileAt(const QString& p) {
        QString message;
        auto d = LoadSdtFile(p, &message);
        EXPECT_TRUE(d) << message.toStdString();
        return d.value_or(SetupData{});
    }
    QStringList named() const { return {path, title, caption}; }
    QStringList unnamed() const { return {dir.filePath("*.sdt"), "", "[unnamed]"}; }

    QTemporaryDir dir;
    SetupData setup, saved, defaults, file;
    bool newFile = true, setupReset = false;
    QString caption = "[unnamed]", path, title, exportPath, uploadNow = "earlier";
    ScriptedAnswers answers;
    talvern::testing::ScriptedDialogs dialogs;
    SetupFileCommands commands{{setup, saved, defaults, file, kVersion, newFile, setupReset,
                                caption, path, title, exportPath, uploadNow},
                               answers,
                               dialogs,
                               dir.path()};
    int captionUpdates = 0;
};

} // namespace

TEST(ChangeDetection, ValuesSetpointsAndVersionCountConfigurationDoesNot) {
    const SetupData saved = FactoryDefaults(kVersion);
    SetupData d = saved;
    EXPECT_FALSE(SetupChanged(d, saved, kVersion));
    d.PLSCfg0 = 4;
    d.PLSCfgRest[3] = 9;
    d.PLSScale = 720;
    d.PLSOfs = 5;
    d.ParamAdd[0] = "W1";
    EXPECT_FALSE(SetupChanged(d, saved, kVersion));
    d = saved;
    d.ParamValue[30] = 1;
    EXPECT_TRUE(SetupChanged(d, saved, kVersion));
    d = saved;
    d.PLSSetpoint[7][1] = 1;
    EXPECT_TRUE(SetupChanged(d, saved, kVersion));
    EXPECT_TRUE(SetupChanged(saved, saved, "TALVERN_R9.9.9"));
}

TEST_F(FileCommands, NewAsksOnlyAfterAChangeAndCancelKeepsEverything) {
    SetupData d = defaults;
    d.ParamValue[0] = 42;
    dialogs.choices = {writeFile("a.sdt", d)};
    ASSERT_TRUE(commands.Open());
    EXPECT_TRUE(commands.New());
    EXPECT_TRUE(answers.asked.empty());
    EXPECT_TRUE(setupReset);
    EXPECT_TRUE(newFile);
    EXPECT_EQ(caption, "[unnamed]");
    EXPECT_EQ(setup, defaults);
    EXPECT_EQ(commands.CheckSaveChanges(), 0) << "the file's data is no longer the saved copy";

    setup.ParamValue[3] = 251;
    answers.answers = {Answer::Cancel};
    EXPECT_FALSE(commands.New());
    EXPECT_EQ(answers.asked,
              (Questions{{"Save Changes to File?", "TALVERN", talvern::link::Buttons::YesNoCancel,
                          talvern::link::Icon::Exclamation}}));
    EXPECT_EQ(setup.ParamValue[3], 251);

    answers.answers = {Answer::No};
    EXPECT_TRUE(commands.New());
    EXPECT_EQ(setup, defaults);
    EXPECT_EQ(saved, defaults);
}

TEST_F(FileCommands, YesSavesFirstAndAnAbandonedSaveAbandonsNew) {
    setup.ParamValue[3] = 251;
    answers.answers = {Answer::Yes};
    EXPECT_FALSE(commands.New()); // Save As dialog cancelled: the edit survives
    EXPECT_EQ(setup.ParamValue[3], 251);
    ASSERT_EQ(dialogs.calls.size(), 1u);
    EXPECT_EQ(dialogs.calls[0].filter, "Setup Files(*.sdt)");
    EXPECT_EQ(dialogs.calls[0].initialName, "");

    answers.answers = {Answer::Yes};
    dialogs.choices = {dir.filePath("kept.sdt")};
    EXPECT_TRUE(commands.New());
    EXPECT_EQ(fileAt(dir.filePath("kept.sdt")).ParamValue[3], 251);
    EXPECT_EQ(setup, defaults);
}

TEST_F(FileCommands, OpenOfTheSameReleaseAcceptsAndTitlesTheCaption) {
    SetupData other = defaults;
    other.ParamValue[0] = 77;
    const QString p = writeFile("m1.sdt", other);
    dialogs.choices = {p};
    ASSERT_TRUE(commands.Open());
    EXPECT_EQ(dialogs.calls[0].initialName, dir.filePath("*.sdt"));
    EXPECT_EQ(setup, other);
    EXPECT_EQ(saved, other);
    EXPECT_FALSE(newFile);
    EXPECT_EQ(named(), (QStringList{p, "m1.sdt", "[m1.sdt]"}));
    EXPECT_EQ(uploadNow, "14/03/2024 10:20:30");
    EXPECT_EQ(commands.CheckSaveChanges(), 0);
}

TEST_F(FileCommands, VersionQuestionYesLoadsAndLaterCountsAsChanged) {
    const QString p = writeFile("old.sdt", FactoryDefaults("TALVERN_R1.0.0"));
    dialogs.choices = {p};
    answers.answers = {Answer::Yes};
    ASSERT_TRUE(commands.Open());
    EXPECT_EQ(answers.asked[0].text,
              "File created by set-up program version: TALVERN_R1.0.0\r\nData tables may not be "
              "properly aligned.\r\n\r\nDo you wish to continue?");
    EXPECT_EQ(answers.asked[0].icon, talvern::link::Icon::Information);
    EXPECT_EQ(setup.Version, "TALVERN_R1.0.0");
    answers.answers = {Answer::Cancel};
    EXPECT_EQ(commands.CheckSaveChanges(), 2);
    // Save stamps this release
    ASSERT_TRUE(commands.Save());
    EXPECT_EQ(fileAt(p).Version, kVersion);
    EXPECT_EQ(commands.CheckSaveChanges(), 0);
}

TEST_F(FileCommands, VersionQuestionCancelKeepsThePreviousFileForSave) {
    SetupData mine = defaults;
    mine.ParamValue[1] = 5;
    const QString current = writeFile("current.sdt", mine);
    dialogs.choices = {current};
    ASSERT_TRUE(commands.Open());
    setup.ParamValue[1] = 6;

    const QString old = writeFile("old.sdt", FactoryDefaults("TALVERN_R1.0.0"));
    const QByteArray oldBytes = WriteSdt(FactoryDefaults("TALVERN_R1.0.0"));
    dialogs.choices = {old};
    answers.answers = {Answer::No /* don't save */, Answer::Cancel /* version */};
    EXPECT_FALSE(commands.Open());
    EXPECT_EQ(named(), (QStringList{current, "current.sdt", "[current.sdt]"}));
    EXPECT_EQ(setup.ParamValue[1], 6);

    ASSERT_TRUE(commands.Save());
    EXPECT_EQ(fileAt(current).ParamValue[1], 6);
    QFile f(old);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), oldBytes);
}

TEST_F(FileCommands, ADamagedFileIsRefusedByNameAndChangesNothing) {
    const QString p = dir.filePath("broken.sdt");
    QFile f(p);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(WriteSdt(defaults).left(40));
    f.close();
    setup.ParamValue[2] = 1;
    const SetupData before = setup;
    dialogs.choices = {p};
    answers.answers = {Answer::No};
    EXPECT_FALSE(commands.Open());
    ASSERT_EQ(answers.asked.size(), 2u);
    EXPECT_TRUE(answers.asked[1].text.contains(p));
    EXPECT_EQ(setup, before);
    EXPECT_EQ(file, SetupData{});
    EXPECT_EQ(named(), unnamed());
    EXPECT_EQ(uploadNow, "earlier");
    EXPECT_EQ(captionUpdates, 0);
}

TEST_F(FileCommands, AFailedSaveIsReportedAndLeavesTheStateAlone) {
    setup.ParamValue[4] = 1;
    dialogs.choices = {dir.path() + "/no-such-folder/x.sdt"};
    EXPECT_FALSE(commands.Save());
    ASSERT_EQ(answers.asked.size(), 1u);
    EXPECT_TRUE(answers.asked[0].text.contains("x.sdt"));
    EXPECT_TRUE(newFile);
    EXPECT_EQ(named(), unnamed());
    EXPECT_NE(saved, setup);
}

TEST_F(FileCommands, ExportWritesSeventeenLinesWithUntitled) {
    setup.ParamValue = std::vector<std::int32_t>(31, 0);
    for (int i = 8; i <= 13; ++i)
        setup.ParamValue[i] = 1000 * i - 1;
    const QString out = dir.filePath("shift.txt");
    dialogs.choices = {out};
    ASSERT_TRUE(commands.ExportShiftData());
    EXPECT_EQ(dialogs.calls[0].initialName, dir.path());
    EXPECT_EQ(dialogs.calls[0].filter, "Text Files(*.txt)");
    EXPECT_EQ(exportPath, out);
    QFile f(out);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("untitled\r\nDate: earlier\r\n \r\nCurrent Shift Data:\r\n"
                                      "(Good Can, Short Can)\r\n7999\r\n8999\r\n \r\n"
                                      "Last Shift Data:\r\n(Good Can, Short Can)\r\n9999\r\n"
                                      "10999\r\n \r\nBrake Response Data:\r\n"
                                      "(Low Speed, High Speed)\r\n11999\r\n12999\r\n"));
    title = "m1.sdt";
    dialogs.choices = {out};
    ASSERT_TRUE(commands.ExportShiftData());
    EXPECT_EQ(dialogs.calls[1].initialName, out);
    f.close();
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().startsWith("m1.sdt\r\nDate: "));
}

TEST_F(FileCommands, AFileGivenByNameOpensWithoutTheDialogAndIsReportedAsUsed) {
    QStringList used;
    commands.fileUsed = [&](const QString& p) { used << p; };
    SetupData other = defaults;
    other.ParamValue[3] = 5;
    const QString same = writeFile("same.sdt", other);
    const QString old = writeFile("old.sdt", FactoryDefaults("TALVERN_R1.0.0"));
    ASSERT_TRUE(commands.Open(same));
    EXPECT_TRUE(dialogs.calls.empty());
    EXPECT_EQ(setup, other);
    // Turned down at the version question: the dialog opens from that file, and only the file
    // finally accepted counts as used.
    answers.answers = {Answer::No};
    dialogs.choices = {same};
    ASSERT_TRUE(commands.Open(old));
    ASSERT_EQ(dialogs.calls.size(), 1u);
    EXPECT_EQ(dialogs.calls[0].initialName, old);
    // Save As counts the new name; a cancelled dialog counts nothing.
    dialogs.choices = {dir.filePath("new.sdt"), QString()};
    ASSERT_TRUE(commands.SaveAs());
    EXPECT_FALSE(commands.Open());
    EXPECT_EQ(used, (QStringList{same, same, dir.filePath("new.sdt")}));
}
