// A set-up file (.sdt) opened and shown as the program does it: the reader, the version
// question, the record taken as the current data (fitted to the parameter table), its listing
// and the shift export. A record that was read is written back as the same bytes.
#include "FuzzSupport.h"
#include "SdtFile.h"
#include "SetupFiles.h"

using namespace talvern;

namespace {
class NoDialogs : public setup::FileDialogs {
public:
    QString openFile(const QString&, const QString&) override { return {}; }
    QString saveFile(const QString&, const QString&) override { return {}; }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = fuzz::Bytes(data, size);
    const setup::SdtReadResult read = setup::ReadSdt(bytes);
    FUZZ_REQUIRE(read.data.has_value() == read.reason.isEmpty());
    if (!read.data) return 0;
    // The reader takes the record and ignores what follows it.
    FUZZ_REQUIRE(bytes.startsWith(setup::WriteSdt(*read.data)));

    static const setup::SetupData defaults =
        setup::FactoryDefaults(QStringLiteral("TALVERN_R1.0.0"));
    setup::SetupData current = defaults, saved = defaults, file = *read.data;
    const QString version = defaults.Version;
    bool newFile = true, reset = false;
    QString caption, path = QStringLiteral("/tmp/a.sdt"), title = QStringLiteral("a.sdt"),
                     exportPath, uploadNow = QStringLiteral("1/2/26 10:00:00");
    fuzz::AnswerYes answers;
    NoDialogs dialogs;
    setup::SetupFileCommands commands({current, saved, defaults, file, version, newFile, reset,
                                       caption, path, title, exportPath, uploadNow},
                                      answers, dialogs, QStringLiteral("/tmp"));
    if (file.Version != version) commands.AskVersion(file.Version);
    commands.AcceptFileData();
    FUZZ_REQUIRE(current.ParamAdd.size() == setup::gSetupMax + 1);
    FUZZ_REQUIRE(current.ParamValue.size() == setup::gSetupMax + 1);
    FUZZ_REQUIRE(setup::SetupChanged(current, saved, version) == (current.Version != version));

    // The listing goes to a terminal: nothing from the file may act on it.
    const QStringList listing = setup::SetupListing(current);
    FUZZ_REQUIRE(listing.size() == 1 + setup::gSetupMax + 1 + 2 + 8);
    for (const QString& line : listing)
        for (const QChar c : line)
            FUZZ_REQUIRE(c.unicode() >= 0x20 && (c.unicode() < 0x7F || c.unicode() >= 0xA0));
    const QByteArray shift = setup::ShiftExportText(title, uploadNow, current);
    FUZZ_REQUIRE(shift.count("\r\n") == 17);
    return 0;
}
