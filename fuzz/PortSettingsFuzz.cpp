// The port settings file (RSPort.cfg): one line "port,speed", read by the link when it opens the
// port and by the comm-port dialog when it shows the settings. Whatever the file holds, the
// settings lie within the dialog's limits, and a reader that takes the whole file sees the same
// port and speed as one that takes only the bytes that count.
#include "FuzzSupport.h"
#include "SideFiles.h"

using namespace talvern;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = fuzz::Bytes(data, size);
    const link::PortFileLine whole = link::ParsePortFileLine(bytes);
    const link::PortFileLine front = link::ParsePortFileLine(bytes.left(link::kPortFileBytes));
    FUZZ_REQUIRE(whole.port >= 1 && whole.port <= 99);
    FUZZ_REQUIRE(whole.speed == QLatin1String("9600") || whole.speed == QLatin1String("19200"));
    FUZZ_REQUIRE(whole.port == front.port && whole.speed == front.speed);
    return 0;
}
