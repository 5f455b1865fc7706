// Set-up files: the .sdt layout against byte images built here by hand, the reader's refusals,
// the atomic writes, the File commands with scripted answers and dialogs, and the recent files.
#include "SetupFiles.h"
#include "FakePlatform.h"
#include "RecentFiles.h"
#include "ScriptedDialogs.h"
#include "SdtFile.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <cstring>
#include <gtest/gtest.h>
#include <tuple>
#include <unistd.h>

using namespace talvern::setup;
using talvern::link::Answer;
using talvern::testing::Questions;
using talvern::testing::ScriptedAnswers;

namespace {

// Little-endian pieces for building file images independently of the writer.
struct Image {
    QByteArray b;
    Image& u8(int v) {
        b.append(static_cast<char>(v));
        return *this;
    }
    Image& u16(int v) { return u8(v & 0xFF).u8((v >> 8) & 0xFF); }
    Image& u32(std::uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
    Image& text(const char* s) {
        u16(static_cast<int>(std::strlen(s)));
        b.append(s);
        return *this;
    }
};

const char* kAddresses[31] = {"W1020",   "W1022", "W1024", "W1026", "W1028", "W1032", "W1034",
                              "B1018.0", "D1100", "W1104", "D1200", "W1204", "W1040", "W1042",
                              "W1110",   "W1130", "W1132", "W1134", "W1126", "B1128", "W1120",
                              "W1122",   "W614",  "W610",  "W612",  "W82",   "W1104", "W80",
                              "W1102",   "W1108", "W614"};
const int kDefaults[31] = {0,   0,  300, 250, 350, 375, 250, 1, 0, 0, 0, 0, 0, 0, 1950, 100,
                           500, 50, 15,  0,   100, 25,  0,   0, 0, 0, 0, 0, 0, 0, 0};

// The factory defaults of version 2.1.4 with `entries` rows (the first 31 as the table, the
// rest made up), and every PLS word as given.
QByteArray DefaultsImage(int entries = 31, const char* version = "TALVERN_R2.1.4") {
    Image i;
    i.text(version);
    i.u16(1).u32(entries).u32(0);
    for (int k = 0; k < entries; ++k)
        i.text(k < 31 ? kAddresses[k] : "W9");
    i.u16(1).u32(entries).u32(0);
    for (int k = 0; k < entries; ++k)
        i.u32(k < 31 ? kDefaults[k] : 0x7000 + k);
    i.u16(8).u16(360).u16(0).u16(0);
    for (int k = 0; k < 8; ++k)
        i.u16(0);
    for (int on : {150, 200, 155, 110, 150, 150, 120, 180})
        i.u16(on);
    for (int off : {170, 220, 175, 130, 350, 200, 190, 0})
        i.u16(off);
    return i.b;
}

TEST(SdtFormat, WritesAndReadsTheDefaultsByteForByteIgnoringWhatFollows) {
    EXPECT_EQ(WriteSdt(FactoryDefaults("TALVERN_R2.1.4")).toHex(), DefaultsImage().toHex());
    const SdtReadResult r = ReadSdt(DefaultsImage() + QByteArray("trailing junk"));
    ASSERT_TRUE(r.data) << r.reason.toStdString();
    EXPECT_EQ(*r.data, FactoryDefaults("TALVERN_R2.1.4"));
}

TEST(SdtFormat, NegativeValuesAndSetpointOrderAreLittleEndianTwosComplement) {
    SetupData d = FactoryDefaults("V");
    d.ParamValue[0] = -2;
    d.PLSOfs = -1;
    d.PLSSetpoint[0] = {0x0102, 0x0304}; // channel 0: ON first block, OFF second block
    const QByteArray b = WriteSdt(d);
    const qsizetype values = b.size() - 28 * 2 - 31 * 4;
    EXPECT_EQ(b.mid(values, 4).toHex(), "feffffff");
    const qsizetype pls = b.size() - 28 * 2;
    EXPECT_EQ(b.mid(pls + 4, 2).toHex(), "ffff");
    EXPECT_EQ(b.mid(pls + 24, 2).toHex(), "0201");      // ON of channel 0
    EXPECT_EQ(b.mid(pls + 24 + 16, 2).toHex(), "0403"); // OFF of channel 0
}

TEST(SdtFormat, TextsAreOneBytePerCharacter) {
    QByteArray image = DefaultsImage(31, "TALVERN_R2.1.4\xE9");
    const SdtReadResult r = ReadSdt(image);
    ASSERT_TRUE(r.data) << r.reason.toStdString();
    EXPECT_EQ(r.data->Version, QString::fromUtf8("TALVERN_R2.1.4\u00E9"));
    EXPECT_EQ(WriteSdt(*r.data), image);
}

TEST(SdtFormat, OlderAndNewerFilesKeepTheirSizesUntilFitted) {
    const SdtReadResult older = ReadSdt(DefaultsImage(20, "TALVERN_R1.0.0"));
    ASSERT_TRUE(older.data);
    EXPECT_EQ(older.data->ParamAdd.size(), 20);
    EXPECT_EQ(older.data->ParamValue.size(), 20u);
    const SetupData fitted = FittedToTable(*older.data);
    EXPECT_EQ(fitted.ParamAdd.size(), 31);
    EXPECT_EQ(fitted.ParamAdd.at(19), "B1128");
    // the missing rows come from the table: never an empty address (byte 32 on the board)
    EXPECT_EQ(fitted, FactoryDefaults("TALVERN_R1.0.0"));

    const SdtReadResult newer = ReadSdt(DefaultsImage(40));
    ASSERT_TRUE(newer.data);
    EXPECT_EQ(newer.data->ParamValue.size(), 40u);
    EXPECT_EQ(newer.data->ParamValue[39], 0x7000 + 39);
    EXPECT_EQ(FittedToTable(*newer.data), FactoryDefaults("TALVERN_R2.1.4"));
}

TEST(SdtFormat, RefusesEveryTruncation) {
    const QByteArray image = DefaultsImage();
    for (qsizetype n = 0; n < image.size(); ++n) {
        const SdtReadResult r = ReadSdt(image.left(n));
        ASSERT_FALSE(r.data) << "accepted " << n << " bytes";
        EXPECT_FALSE(r.reason.isEmpty());
    }
}

TEST(SdtFormat, RefusesForeignDescriptorsAndAbsurdCounts) {
    const qsizetype descriptor = 2 + 14; // after the version text
    auto patched = [&](qsizetype at, Image piece) {
        QByteArray b = DefaultsImage();
        b.replace(at, piece.b.size(), piece.b);
        return ReadSdt(b);
    };
    EXPECT_TRUE(patched(descriptor, Image().u16(1)).data); // the patcher itself is sound
    const SdtReadResult twoDims = patched(descriptor, Image().u16(2));
    EXPECT_FALSE(twoDims.data);
    EXPECT_TRUE(twoDims.reason.contains("2 dimensions")) << twoDims.reason.toStdString();
    EXPECT_FALSE(patched(descriptor, Image().u16(0)).data);
    EXPECT_FALSE(patched(descriptor + 6, Image().u32(1)).data); // lower bound 1
    const SdtReadResult huge = patched(descriptor + 2, Image().u32(0xFFFFFFFFu));
    EXPECT_FALSE(huge.data);
    EXPECT_TRUE(huge.reason.contains("4294967295"));
    EXPECT_FALSE(patched(descriptor + 2, Image().u32(4000)).data); // runs past the end
    // a text length past the end of the file
    EXPECT_FALSE(patched(descriptor + 10, Image().u16(0xFFFF)).data);
    EXPECT_FALSE(ReadSdt(Image().u16(0xFFFF).b).data);
    // the value array's own descriptor
    const qsizetype values = DefaultsImage().size() - 28 * 2 - 31 * 4 - 10;
    EXPECT_TRUE(patched(values, Image().u16(1)).data);
    EXPECT_FALSE(patched(values, Image().u16(3)).data);
    EXPECT_FALSE(patched(values + 2, Image().u32(0x40000000)).data);
}

TEST(SdtFormat, RefusesAddressAndValueCountsThatDiffer) {
    SetupData d = FactoryDefaults("TALVERN_R2.1.4");
    d.ParamValue.pop_back(); // 31 addresses, 30 values: every later field would shift
    const SdtReadResult r = ReadSdt(WriteSdt(d));
    EXPECT_FALSE(r.data);
    EXPECT_EQ(r.reason, "The file holds 31 parameter addresses but 30 values.");
}

TEST(SdtFiles, SaveReplacesTheWholeFileAndReportsFailures) {
    QTemporaryDir dir;
    const QString path = dir.filePath("a.sdt");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(5000, 'x')); // longer than any record: nothing of it may remain
    f.close();
    QString message;
    ASSERT_TRUE(SaveSdtFile(path, FactoryDefaults("TALVERN_R2.1.4"), &message));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), DefaultsImage());
    f.close();

    EXPECT_FALSE(SaveSdtFile(path + "/inside.sdt", FactoryDefaults("V"), &message));
    EXPECT_TRUE(message.contains("inside.sdt"));
    EXPECT_FALSE(SaveSdtFile(dir.path(), FactoryDefaults("V"), &message)); // a folder
    EXPECT_FALSE(LoadSdtFile(dir.filePath("missing.sdt"), &message));
    EXPECT_TRUE(message.contains("missing.sdt"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), DefaultsImage());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"a.sdt"}); // no leftovers
}

// A writable file in a folder where no new file may be created (a shared folder) is still
// saved. The check runs as an ordinary user: the administrator may create files anywhere.
TEST(SdtFiles, AWritableFileInAReadOnlyFolderIsSaved) {
    QTemporaryDir top;
    const QString folder = top.filePath("shared");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = folder + "/a.sdt";
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    ASSERT_TRUE(f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther |
                                 QFile::WriteOther));
    const auto openToAll =
        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(top.path(), openToAll));
    ASSERT_TRUE(QFile::setPermissions(folder, openToAll & ~QFile::WriteOwner));
    EXPECT_EXIT(
        {
            if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) std::exit(2);
            QString message;
            std::exit(SaveSdtFile(path, FactoryDefaults("TALVERN_R2.1.4"), &message) ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    QFile::setPermissions(folder, openToAll | QFile::WriteOwner);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), DefaultsImage());
}

const QString kVersion = QStringLiteral("TALVERN_R2.1.4");

class FileCommands : public ::testing::Test {
protected:
    FileCommands() {
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
    SetupData defaults = FactoryDefaults(kVersion), setup = defaults, saved = defaults, file;
    bool newFile = true, setupReset = false;
    QString caption = "[unnamed]", path = dir.filePath("*.sdt"), title, exportPath,
            uploadNow = "earlier";
    ScriptedAnswers answers;
    talvern::testing::ScriptedDialogs dialogs;
    SetupFileCommands commands{{setup, saved, defaults, file, kVersion, newFile, setupReset,
                                caption, path, title, exportPath, uploadNow},
                               answers,
                               dialogs,
                               dir.path()};
    int captionUpdates = 0;
};

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

TEST_F(FileCommands, NewAsksOnlyAfterAChangeCancelKeepsEverythingYesSavesFirst) {
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

    dialogs.calls.clear();
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

// A damaged file opened and a save that cannot be written are reported by name and change nothing.
TEST_F(FileCommands, ADamagedFileOrAFailedSaveIsReportedByNameAndChangesNothing) {
    const QString p = dir.filePath("broken.sdt");
    QFile f(p);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(WriteSdt(defaults).left(40));
    f.close();
    setup.ParamValue[2] = 1;
    const SetupData before = setup;
    dialogs.choices = {p, dir.path() + "/no-such-folder/x.sdt"};
    answers.answers = {Answer::No};
    EXPECT_FALSE(commands.Open());
    ASSERT_EQ(answers.asked.size(), 2u);
    EXPECT_TRUE(answers.asked[1].text.contains(p));
    EXPECT_EQ(file, SetupData{});
    EXPECT_EQ(uploadNow, "earlier");
    EXPECT_EQ(captionUpdates, 0);
    EXPECT_FALSE(commands.Save());
    ASSERT_EQ(answers.asked.size(), 3u);
    EXPECT_TRUE(answers.asked[2].text.contains("x.sdt"));
    EXPECT_EQ(setup, before);
    EXPECT_NE(saved, setup);
    EXPECT_TRUE(newFile);
    EXPECT_EQ(named(), unnamed());
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

TEST(RecentFiles, NewestFirstOnceEachAtMostFour) {
    const std::tuple<const char*, QStringList, QStringList, QStringList> cases[] = {
        {"newest first", {"/d/a.sdt", "/d/b.sdt"}, {}, {"/d/b.sdt", "/d/a.sdt"}},
        {"a file again moves to the top",
         {"/d/a.sdt", "/d/b.sdt", "/d/c.sdt", "/d/a.sdt"},
         {},
         {"/d/a.sdt", "/d/c.sdt", "/d/b.sdt"}},
        {"the oldest falls off the fifth",
         {"/d/1.sdt", "/d/2.sdt", "/d/3.sdt", "/d/4.sdt", "/d/5.sdt"},
         {},
         {"/d/5.sdt", "/d/4.sdt", "/d/3.sdt", "/d/2.sdt"}},
        {"one spelling per file",
         {"/d/x/../a.sdt", "/d//a.sdt", "", "/d/./a.sdt"},
         {},
         {"/d/a.sdt"}},
        {"removed, by any spelling",
         {"/d/a.sdt", "/d/b.sdt"},
         {"/d/x/../a.sdt", "/d/none.sdt"},
         {"/d/b.sdt"}},
    };
    for (const auto& [what, added, removed, expected] : cases) {
        RecentFiles recent;
        for (const QString& p : added)
            recent.add(p);
        for (const QString& p : removed)
            recent.remove(p);
        EXPECT_EQ(recent.paths(), expected) << what;
    }
}

TEST(RecentFiles, KeptInTheSettingsFileAndCutWhenReadBack) {
    QTemporaryDir dir;
    const QString file = dir.filePath("talvern.ini");
    {
        QSettings settings(file, QSettings::IniFormat);
        settings.setValue("RecentFiles", QStringList{"/d/1.sdt", "/d/2.sdt", "/d/1.sdt", "/d/3.sdt",
                                                     "/d/4.sdt", "/d/5.sdt"});
    }
    QSettings settings(file, QSettings::IniFormat);
    RecentFiles recent = RecentFiles::load(settings);
    EXPECT_EQ(recent.paths(), (QStringList{"/d/1.sdt", "/d/2.sdt", "/d/3.sdt", "/d/4.sdt"}));
    recent.add("/d/9.sdt");
    recent.save(settings);
    EXPECT_EQ(RecentFiles::load(QSettings(file, QSettings::IniFormat)).paths(),
              (QStringList{"/d/9.sdt", "/d/1.sdt", "/d/2.sdt", "/d/3.sdt"}));
}

TEST(RecentFiles, CaptionsCarryTheirAccessKeyAndShowAmpersands) {
    EXPECT_EQ(RecentFileCaption(0, "/home/eng/line 3.sdt"), "&1 /home/eng/line 3.sdt");
    EXPECT_EQ(RecentFileCaption(3, "/home/eng/R&D.sdt"), "&4 /home/eng/R&&D.sdt");
    const QString deep = "/home/eng/" + QString(80, 'x') + "/plant/bodymaker-7.sdt";
    const QString caption = RecentFileCaption(1, deep);
    EXPECT_TRUE(caption.startsWith("&2 /home/eng/xx")) << caption.toStdString();
    EXPECT_TRUE(caption.endsWith(".../bodymaker-7.sdt")) << caption.toStdString();
    EXPECT_LE(caption.size(), 3 + 60);
}

} // namespace
