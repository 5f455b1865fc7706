// The .sdt layout against byte images put together here by hand, the reader's refusals, and
// the atomic file writes.
#include "SdtFile.h"
#include "SetupFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstring>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace talvern::setup;

namespace {

// Little-endian pieces for building file images independently of the writer.
struct Image {
    QByteArray b;
    Image& u8(int v) {
        b.append(static_cast<char>(v));
        return *this;
    }
    Image& u16(int v) { return u8(v & 0xFF).u8((v >> 8) & 0xFF); }
    Image& u32(std::uint32_t v) {
        return u8(v & 0xFF).u8((v >> 8) & 0xFF).u8((v >> 16) & 0xFF).u8((v >> 24) & 0xFF);
    }
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

} // namespace

TEST(SdtFormat, WritesTheDefaultsByteForByte) {
    const QByteArray expected = DefaultsImage();
    EXPECT_EQ(WriteSdt(FactoryDefaults("TALVERN_R2.1.4")).toHex(), expected.toHex());
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

TEST(SdtFormat, ReadsAHandBuiltImageAndIgnoresWhatFollows) {
    const SdtReadResult r = ReadSdt(DefaultsImage() + QByteArray("trailing junk"));
    ASSERT_TRUE(r.data) << r.reason.toStdString();
    EXPECT_EQ(*r.data, FactoryDefaults("TALVERN_R2.1.4"));
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
