// The image check that runs before any byte is sent, and the image an upload writes.
#include "ProgramImage.h"

#include <gtest/gtest.h>

using namespace talvern::targetboard;

TEST(ProgramImage, ReadsRecordsWithOrWithoutChecksumWhateverTheLineEndsAndSkipsCountZero) {
    for (const QByteArray end : {"\r\n", "\n", "\r"}) {
        SCOPED_TRACE(end.toHex().toStdString());
        const ImageCheck check =
            CheckImage(":0300300002337A1E" + end + ":1020000000112233445566778899AABBCCDDEEFF" +
                           end + ":00000001FF" + end + end,
                       QStringLiteral("/p/PROG1.hex"));
        ASSERT_TRUE(check.ok) << check.reason.toStdString();
        ASSERT_EQ(check.records.size(), 2u);
        EXPECT_EQ(check.records[0].address, 0x30);
        EXPECT_EQ(check.records[0].data, QByteArray::fromHex("02337A"));
        EXPECT_EQ(check.records[0].sum(), 0xE2);
        EXPECT_EQ(check.records[1].line, 2);
        EXPECT_EQ(check.dataBytes(), 19);
    }
}

TEST(ProgramImage, RefusesABadLineNamingFileAndLine) {
    const QByteArray record255 = ":FF2000" + QByteArray("00") + QByteArray(2 * 255, '1');
    const struct {
        QByteArray line;
        const char* why;
        int memory = kAddressSpace;
    } cases[] = {
        {"0300300002337A1E", "does not start with"},
        {":03003000G2337A1E", "not a hexadecimal digit"},
        {":0300300002337A1E00", "does not match its count"},
        {":0300300002337A1F", "checksum is wrong"},
        {":020000021000EC", "record type 02"},
        {":030030", "too short"},
        {record255, "a record of 255 bytes cannot be sent"},
        {":02000F00AABB", "overlaps the record of line 2 at 0010H"},
        {":02FFFF00AABB", "runs past FFFFH"},
        {":" + QByteArray(600, '0'), "longer than any record"},
        {":02002000AABB", "more than the 2 bytes of the board's program memory", 2},
        {"\r\n:00000001FF", "does not start with"},
    };
    for (const auto& c : cases) {
        const ImageCheck check =
            CheckImage(":00000000\r\n:0100100055\r\n" + c.line + "\r\n:00000001FF\r\n",
                       QStringLiteral("/p/PROG1.hex"), c.memory);
        EXPECT_FALSE(check.ok) << c.line.toStdString();
        EXPECT_TRUE(check.records.empty());
        EXPECT_TRUE(check.reason.startsWith(QStringLiteral("PROG1.hex, line 3: ")))
            << check.reason.toStdString();
        EXPECT_TRUE(check.reason.contains(QLatin1String(c.why))) << check.reason.toStdString();
    }
}

TEST(ProgramImage, UploadWritesSixteenByteRecordsWithoutChecksumThenTheEndRecord) {
    QByteArray memory;
    for (int i = 0; i < 32; ++i)
        memory.append(static_cast<char>(i * 9));
    const QByteArray text = WriteImage(0x2000, memory);
    EXPECT_EQ(text, ":102000000009121B242D363F48515A636C757E87\r\n"
                    ":102010009099A2ABB4BDC6CFD8E1EAF3FC050E17\r\n"
                    ":00000001FF\r\n");
    const ImageCheck back = CheckImage(text, QStringLiteral("x.hex"));
    ASSERT_TRUE(back.ok);
    EXPECT_EQ(back.records[1].data, memory.mid(16));
    EXPECT_EQ(WriteImage(0, {}), QByteArray(":00000001FF\r\n"));
    EXPECT_EQ(RecordsOutside(back.records, 52).size(), 0u);
    EXPECT_EQ(RecordsOutside(back.records, 50).size(), 2u) << "code 50 starts at 5000H";
}
