// A program image (.hex) through the whole-image check a dump and a verify make before the
// first byte goes to a board, and its records laid against each board's program memory. Every
// image an upload writes is taken back whole by the same check.
#include "FuzzSupport.h"
#include "ProgramImage.h"

#include <algorithm>

using namespace talvern;
using namespace talvern::targetboard;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = fuzz::Bytes(data, size);
    const ImageCheck check = CheckImage(bytes, QStringLiteral("PROG1.hex"));
    FUZZ_REQUIRE(check.ok == check.reason.isEmpty());
    FUZZ_REQUIRE(check.ok || check.records.empty());
    for (const ImageRecord& record : check.records) {
        FUZZ_REQUIRE(!record.data.isEmpty() && record.line >= 1);
        FUZZ_REQUIRE(record.address >= 0 && record.address <= 0xFFFF);
        record.sum();
    }
    // An image that was taken is refused by a board whose program memory is one byte short.
    if (check.ok && check.dataBytes() > 0) {
        const ImageCheck tooBig =
            CheckImage(bytes, QStringLiteral("PROG1.hex"), check.dataBytes() - 1);
        FUZZ_REQUIRE(!tooBig.ok && tooBig.reason.contains(QLatin1String("program memory")));
    }
    for (int code : {50, 51, 52, 56, 68})
        FUZZ_REQUIRE(RecordsOutside(check.records, code).size() <= check.records.size());

    // The input as a board's memory, uploaded from an address it gives. A board's program
    // memory is always whole records of 16 bytes; sixteen records show all there is to show.
    if (size >= 2) {
        const int first = (data[0] << 8 | data[1]) % 0x8000;
        const QByteArray memory = bytes.mid(2, std::min<qsizetype>((size - 2) / 16, 16) * 16);
        const ImageCheck back = CheckImage(WriteImage(first, memory), QStringLiteral("UP.hex"));
        FUZZ_REQUIRE(back.ok);
        QByteArray joined;
        for (const ImageRecord& record : back.records) {
            FUZZ_REQUIRE(record.address == first + joined.size());
            joined += record.data;
        }
        FUZZ_REQUIRE(joined == memory);
    }
    return 0;
}
