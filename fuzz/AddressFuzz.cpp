// Address and value texts as the command line takes them ("read W1020", "write B153.7 1"):
// the address parser, the value check and the bytes a value becomes on the board and back,
// and the address services for I/O points on every board type. The input is the address
// text, then optionally a zero byte and the value text, both UTF-8 as on a command line.
#include "Address.h"
#include "FuzzSupport.h"
#include "RSComm.h"

using namespace talvern;
using namespace talvern::link;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QList<QByteArray> parts = fuzz::Parts(fuzz::Bytes(data, size), QByteArray(1, '\0'), 2);
    const QString add = QString::fromUtf8(parts.at(0));
    const ParsedAddress p = ParseAddressText(add);
    FUZZ_REQUIRE(p.width == QLatin1Char('B') || p.width == QLatin1Char('W') ||
                 p.width == QLatin1Char('D'));
    FUZZ_REQUIRE(!p.isBit ||
                 (p.width == QLatin1Char('B') && p.mask != 0 && (p.mask & (p.mask - 1)) == 0));

    if (parts.size() > 1) {
        const std::optional<std::int64_t> value = ValueTextNumber(QString::fromUtf8(parts.at(1)));
        if (value) {
            FUZZ_REQUIRE(*value >= 0);
            if (*value <= WidthLimit(p.width)) {
                const std::vector<std::uint8_t> bytes = EncodeValue(p.width, *value);
                FUZZ_REQUIRE(static_cast<int>(bytes.size()) == p.byteCount());
                ParsedAddress whole = p;
                whole.isBit = false;
                FUZZ_REQUIRE(DecodeValue(whole, bytes.data()) == *value);
            } else {
                RangeMessage(p.width);
            }
        }
    }

    for (std::int16_t board = 48; board <= 70; ++board) {
        RSComm::ValidAdd(add, board);
        const QString io = RSComm::EquateAdd(add, board);
        if (io != add) ParseAddressText(io);
    }
    return 0;
}
