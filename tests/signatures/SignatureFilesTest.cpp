// The data window's Save, Open and Export with scripted dialogs and answers: what changes after
// a real write or read, and what a refusal or a failed write leaves alone.
#include "SignatureFiles.h"
#include "CpfdText.h"
#include "FakePlatform.h"
#include "ScriptedDialogs.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace talvern;
using namespace talvern::signatures;

namespace {

class Files : public ::testing::Test {
protected:
    void SetUp() override {
        record.CpfdData.Samples = 2;
        record.CpfdData.Pos = {0.0f, 360.0f};
        record.CpfdData.Curr = {1.5f, 2.5f};
        record.CpfdData.PGainInt = 15;
    }
    QString file(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    QTemporaryDir dir;
    SignatureRecord record;
    talvern::testing::ScriptedAnswers answers;
    talvern::testing::ScriptedDialogs dialogs;
    SignatureFileCommands commands{record, answers, dialogs};
};

} // namespace

TEST_F(Files, SaveThenOpenAsksOnlyAboutRealChanges) {
    // After an acquisition the new samples differ from the saved copy: opening asks first.
    answers.answers = {link::Answer::Cancel};
    EXPECT_FALSE(commands.OpenData());
    ASSERT_EQ(answers.asked.size(), 1u);
    EXPECT_EQ(answers.asked[0].text, "Save Changes to File?");
    EXPECT_TRUE(dialogs.calls.empty()) << "Cancel opens no dialog";

    dialogs.choices = {file("a.cfd")};
    ASSERT_TRUE(commands.SaveData());
    EXPECT_EQ(dialogs.calls.back().filter, kCfdFilter);
    EXPECT_EQ(record.CpfdFileTitle, "a.cfd");
    EXPECT_EQ(commands.dataFilePath, file("a.cfd"));
    EXPECT_TRUE(SameBits(record.CpfdDataSaved, record.CpfdData));

    // After the save nothing is asked; the file comes back bit for bit.
    const CpfdData saved = record.CpfdData;
    record.CpfdData = CpfdData{};
    record.CpfdDataSaved = CpfdData{};
    dialogs.choices = {file("a.cfd")};
    ASSERT_TRUE(commands.OpenData());
    EXPECT_EQ(answers.asked.size(), 1u);
    EXPECT_TRUE(SameBits(record.CpfdData, saved));
    EXPECT_TRUE(SameBits(record.CpfdDataSaved, saved));
}

TEST_F(Files, FailedWritesAndDamagedFilesAreReportedAndChangeNothing) {
    record.CpfdFileTitle = "untitled";
    const CpfdData before = record.CpfdData;
    dialogs.choices = {file("no/such/folder/a.cfd"), file("no/such/folder/a.txt")};
    EXPECT_FALSE(commands.SaveData());
    EXPECT_FALSE(commands.ExportData());
    ASSERT_EQ(answers.asked.size(), 2u);
    EXPECT_TRUE(answers.asked[0].text.contains(file("no/such/folder/a.cfd")));
    EXPECT_TRUE(answers.asked[1].text.contains(file("no/such/folder/a.txt")));
    EXPECT_EQ(record.CpfdFileTitle, "untitled");
    EXPECT_TRUE(commands.dataFilePath.isEmpty());
    EXPECT_TRUE(commands.exportFilePath.isEmpty());

    QFile damaged(file("d.cfd"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write(QByteArray(5130, '\xFF')); // a count of -1
    damaged.close();
    answers.answers = {link::Answer::No};
    dialogs.choices = {file("d.cfd")};
    EXPECT_FALSE(commands.OpenData());
    ASSERT_EQ(answers.asked.size(), 4u);
    EXPECT_TRUE(answers.asked[3].text.contains(file("d.cfd")));
    EXPECT_TRUE(SameBits(record.CpfdData, before));
    EXPECT_EQ(record.CpfdFileTitle, "untitled");

    dialogs.choices = {file("e.txt")};
    ASSERT_TRUE(commands.ExportData());
    EXPECT_EQ(dialogs.calls.back().filter, kTextFilter);
    QFile text(file("e.txt"));
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    EXPECT_EQ(text.readAll(), ExportText(record.CpfdData));
}
