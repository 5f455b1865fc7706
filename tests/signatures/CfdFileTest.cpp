// The .cfd layout against byte offsets, the round trip bit for bit, the refusals, and the
// atomic write.
#include "CpfdData.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>

using namespace talvern::signatures;

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

} // namespace

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

TEST(CfdFile, ReadsTheFirstRecordOfALongerFileAndRefusesShortFilesAndBadCounts) {
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

TEST(CfdFile, CountNeverIndexesPastTheArrays) {
    CpfdData d;
    for (const auto& [samples, count] : {std::pair{-5, 0}, {17, 17}, {256, 256}, {300, 256}}) {
        d.Samples = static_cast<std::int16_t>(samples);
        EXPECT_EQ(d.Count(), count) << samples;
    }
}
