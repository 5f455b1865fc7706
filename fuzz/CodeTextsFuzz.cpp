// The fault and communication-error texts (FaultErrCodes.txt, CommErrCodes.txt): records of a
// code and a description, read as one stream of fields, looked up as the fault display (first
// match) and the target-board page (last match) look them up.
#include "FuzzSupport.h"
#include "SideFiles.h"
#include "TargetBoardPage.h"

using namespace talvern;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = fuzz::Bytes(data, size);
    const QStringList fields = link::ReadFieldStream(bytes);
    // A code as the board reports it (two hexadecimal digits), and the first code of the file.
    const QString reported = targetboard::StatusCodeText(size > 0 ? data[0] : 0x1A);
    for (const QString& code : {reported, fields.value(0)}) {
        const std::optional<QString> first = link::CodeDescriptionIn(bytes, code, false);
        const std::optional<QString> last = link::CodeDescriptionIn(bytes, code, true);
        FUZZ_REQUIRE(first.has_value() == last.has_value());
        if (fields.size() >= 2 && code == fields.at(0)) FUZZ_REQUIRE(first == fields.at(1));
    }
    return 0;
}
