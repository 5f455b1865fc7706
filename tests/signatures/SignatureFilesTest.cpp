// Signature files: the .cfd layout, its round trip bit for bit, refusals and atomic write; the
// worked scaling and texts; Save, Open and Export with scripted dialogs and answers.
#include "SignatureFiles.h"
#include "AcquireSignatures.h"
#include "CpfdData.h"
#include "CpfdText.h"
#include "FakePlatform.h"
#include "ScriptedDialogs.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>

using namespace talvern::signatures;
using namespace talvern;

namespace {

// A record whose every element is distinct, with floats that a careless reader would change.
CpfdData Odd() {
    CpfdData d;
    d.Samples = 180;
    for (int i = 0; i < kMaxSamples; ++i) {
        d.Pos[i] = i * 2.0f;
        d.Curr[i] = 0.01f * i;
        d.Err[i] = -0.1f * i;
        d.Profile[i] = 1.0f / (i + 1);
        d.Desired[i] = i * 1e-3f;
    }
    d.Err[0] = -0.0f;
    d.Err[1] = std::numeric_limits<float>::quiet_NaN();
    d.Curr[2] = std::numeric_limits<float>::denorm_min();
    d.Curr[255] = std::numeric_limits<float>::infinity();
    d.PGainInt = 12;
    d.PGainFrac = 5;
    d.IGain = -100;
    d.DGain = 32767;
    return d;
}

float FloatAt(const QByteArray& b, int offset) {
    float f;
    std::memcpy(&f, b.constData() + offset, 4); // the test machine is little-endian
    return f;
}
int I16At(const QByteArray& b, int offset) {
    std::int16_t v;
    std::memcpy(&v, b.constData() + offset, 2);
    return v;
}

QByteArray WithCount(int count) {
    QByteArray b = WriteCfd(Odd());
    b[0] = static_cast<char>(count & 0xFF);
    b[1] = static_cast<char>((count >> 8) & 0xFF);
    return b;
}

TEST(CfdFile, LayoutAndRoundTripBitForBit) {
    const CpfdData d = Odd();
    const QByteArray b = WriteCfd(d);
    ASSERT_EQ(b.size(), 5130);
    EXPECT_EQ(I16At(b, 0), 180);
    EXPECT_EQ(FloatAt(b, 2 + 4 * 7), 14.0f);       // Pos[7]
    EXPECT_EQ(FloatAt(b, 1026 + 4 * 3), 0.03f);    // Curr[3]
    EXPECT_EQ(FloatAt(b, 2050 + 4 * 255), -25.5f); // Err[255]
    EXPECT_EQ(FloatAt(b, 3074), 1.0f);             // Profile[0]
    EXPECT_EQ(FloatAt(b, 4098 + 4 * 100), 0.1f);   // Desired[100]
    EXPECT_EQ(I16At(b, 5122), 12);
    EXPECT_EQ(I16At(b, 5124), 5);
    EXPECT_EQ(I16At(b, 5126), -100);
    EXPECT_EQ(I16At(b, 5128), 32767);

    const CfdReadResult back = ReadCfd(b);
    ASSERT_TRUE(back.data) << back.reason.toStdString();
    EXPECT_TRUE(SameBits(*back.data, d));
    EXPECT_TRUE(std::signbit(back.data->Err[0]));
    EXPECT_TRUE(std::isnan(back.data->Err[1]));
    EXPECT_EQ(WriteCfd(*back.data), b);
}

TEST(CfdFile, ReadsTheFirstRecordOfALongerFileRefusesShortFilesAndBadCountsAndHoldsTheCount) {
    const QByteArray good = WriteCfd(Odd());
    for (int count : {0, 1, 255, 256})
        EXPECT_TRUE(ReadCfd(WithCount(count)).data) << count;
    for (int count : {-1, 257, 32767, -32768}) {
        const CfdReadResult r = ReadCfd(WithCount(count));
        EXPECT_FALSE(r.data) << count;
        EXPECT_TRUE(r.reason.contains(QString::number(count))) << r.reason.toStdString();
    }
    for (qsizetype size : {0, 2, 5129}) {
        const CfdReadResult r = ReadCfd(good.left(size));
        EXPECT_FALSE(r.data) << size;
        EXPECT_TRUE(r.reason.contains(QString::number(size))) << r.reason.toStdString();
    }
    const CfdReadResult longer = ReadCfd(good + QByteArray(70, '\x7F'));
    ASSERT_TRUE(longer.data);
    EXPECT_TRUE(SameBits(*longer.data, Odd()));
    CpfdData d;
    for (const auto& [samples, count] : {std::pair{-5, 0}, {17, 17}, {256, 256}, {300, 256}}) {
        d.Samples = static_cast<std::int16_t>(samples);
        EXPECT_EQ(d.Count(), count) << samples;
    }
}

TEST(CfdFile, FilesAreReplacedWholeAndRefusalsNameTheFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("stroke.cfd"));
    QString message;
    ASSERT_TRUE(SaveCfdFile(path, Odd(), &message)) << message.toStdString();
    EXPECT_EQ(QFileInfo(path).size(), 5130);
    const std::optional<CpfdData> loaded = LoadCfdFile(path, &message);
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(SameBits(*loaded, Odd()));

    // A missing file is refused with the file named.
    const QString none = dir.filePath(QStringLiteral("none.cfd"));
    EXPECT_FALSE(LoadCfdFile(none, &message));
    EXPECT_TRUE(message.contains(none)) << message.toStdString();

    // A write that cannot happen is reported and leaves nothing behind.
    const QString nowhere = dir.filePath(QStringLiteral("missing/stroke.cfd"));
    message.clear();
    EXPECT_FALSE(SaveCfdFile(nowhere, Odd(), &message));
    EXPECT_TRUE(message.contains(nowhere)) << message.toStdString();
    EXPECT_FALSE(QFile::exists(nowhere));
}

TEST(SignatureValues, WorkedScaling) {
    EXPECT_EQ(SamplePosition(0, 2), 0.0f);
    EXPECT_EQ(SamplePosition(1, 2), 360.0f);
    EXPECT_EQ(SamplePosition(1, 180), 2.0f);
    EXPECT_EQ(SamplePosition(90, 180), 181.0f); // 181.005...
    EXPECT_EQ(SamplePosition(179, 180), 360.0f);
    EXPECT_EQ(SamplePosition(0, 1), 0.0f) << "a single sample must not divide by zero";
    EXPECT_EQ(CurrentFromRaw(255), 25.0f);
    EXPECT_EQ(CurrentFromRaw(51), 5.0f);
    EXPECT_EQ(CurrentFromRaw(1), 0.1f);
    EXPECT_EQ(ErrorFromRaw(100), 8.8f);
    EXPECT_EQ(ProfileFromRaw(100), 17.6f);
    EXPECT_EQ(ErrorFromRaw(128), 11.3f) << "11.25 rounds half away from zero";
    // Stored values are exactly what the table shows.
    EXPECT_EQ(SampleText(ErrorFromRaw(100), QLocale::c()), "8.8");
    EXPECT_EQ(SampleText(CurrentFromRaw(1), QLocale::c()), "0.1");
    EXPECT_EQ(SampleText(1234.567f, QLocale(QLocale::English)), "1234.567") << "no grouping";
    EXPECT_EQ(SampleText(12.5f, QLocale(QLocale::German)), "12,5");
}

TEST(SignatureText, ExportLayout) {
    CpfdData d;
    d.PGainInt = 12;
    d.PGainFrac = 5;
    d.IGain = 1500;
    d.DGain = 25;
    const QLocale en(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(ExportText(d, en),
              "P\t12.05\r\nI\t1,500\r\nD\t25\r\nPos\tCurr\tErr\tProfile\tDesired\r\n");
    d.Samples = 2;
    d.Pos = {0.0f, 360.0f};
    d.Curr = {1.2f, 25.0f};
    d.Err = {-0.5f, 8.8f};
    d.Profile = {0.0f, 17.6f};
    d.Desired = {0.0f, 17.5f};
    d.Pos[2] = 99.0f; // beyond the count: never exported
    EXPECT_EQ(ExportText(d, QLocale::c(), QStringLiteral("\n")),
              "P\t12.05\nI\t1500\nD\t25\nPos\tCurr\tErr\tProfile\tDesired\n"
              "0\t1.2\t-0.5\t0\t0\n360\t25\t8.8\t17.6\t17.5\n");
}

TEST(SignatureText, AskSaveChangesOnlyForSamplesAndGains) {
    talvern::testing::ScriptedAnswers answers;
    CpfdData saved;
    saved.Samples = 3;
    CpfdData now = saved;
    EXPECT_FALSE(AskSaveChanges(now, saved, answers));
    now.Samples = 2; // the count alone is not a change
    now.Curr[2] = 5; // nor a sample beyond it
    EXPECT_FALSE(AskSaveChanges(now, saved, answers));
    EXPECT_TRUE(answers.asked.empty());

    for (int change = 0; change < 3; ++change) {
        now = saved;
        if (change == 0) now.Desired[2] = 0.1f;
        if (change == 1) now.PGainFrac = 1;
        if (change == 2) now.Err[0] = -0.0f; // a different bit pattern
        answers.answers = {link::Answer::No};
        EXPECT_EQ(AskSaveChanges(now, saved, answers), link::Answer::No) << change;
    }
    EXPECT_EQ(answers.asked, talvern::testing::Questions(
                                 3, {"Save Changes to File?", "Servo Cupfeed Data",
                                     link::Buttons::YesNoCancel, link::Icon::Exclamation}));
}

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

TEST_F(Files, SaveThenOpenAsksOnlyAboutRealChanges) {
    // After an acquisition the new samples differ from the saved copy: opening asks first.
    answers.answers = {link::Answer::Cancel};
    EXPECT_FALSE(commands.OpenData());
    EXPECT_EQ(answers.asked.size(), 1u);
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

} // namespace
