// A board program file set (.bxl, .rev, .hex, .lcf) as the program takes one: selected and
// validated for a dump, the dump run until it would first talk to the board (so the whole image
// is read and checked and its records laid against the board's memory), and the set read for
// the target-board page.
//
// The input holds the four files in that order, separated by "~~~"; a file the input does not
// reach does not exist. The readers find a set's files by name, so the files are written into a
// private folder (in memory where /dev/shm is); a file is rewritten only when it changed.
#include "FuzzSupport.h"
#include "ProgramDump.h"
#include "ProgramFiles.h"
#include "RSComm.h"
#include "TargetBoardPage.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <array>
#include <optional>

using namespace talvern;
using namespace talvern::targetboard;

namespace {

const QDir& Folder() {
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                 ? QStringLiteral("/dev/shm/talvern-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/talvern-fuzz-XXXXXX"));
    static const QDir folder(dir.path());
    return folder;
}

void Put(const QString& path, const std::optional<QByteArray>& contents,
         std::optional<QByteArray>& onDisk) {
    if (contents == onDisk) return;
    onDisk = contents;
    if (!contents) {
        QFile::remove(path);
        return;
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(*contents) != contents->size())
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QList<QByteArray> parts = fuzz::Parts(fuzz::Bytes(data, size), "~~~", 4);
    static std::array<std::optional<QByteArray>, 4> onDisk;
    const QString base = Folder().filePath(QStringLiteral("PROG1."));
    const char* extensions[4] = {"bxl", "rev", "hex", "lcf"};
    for (int i = 0; i < 4; ++i)
        Put(base + QLatin1String(extensions[i]),
            i < parts.size() ? std::optional<QByteArray>(parts[i]) : std::nullopt, onDisk[i]);
    const QString chosen = base + QStringLiteral("bxl");

    fuzz::AnswerYes answers;
    fuzz::JumpingClock clock;
    fuzz::NoEvents events;
    ProgramSet set;
    set.DownloadFile(chosen, answers);
    if (set.ValidProgram) {
        FUZZ_REQUIRE(ProgramClassOf(set.BoardCode) == ProgramClass::Revision ||
                     ProgramClassOf(set.BoardCode) == ProgramClass::RevisionAndConfiguration);
        // Online but with no line: the first transaction fails at once, so nothing past the
        // checks of the files ever waits for a board.
        link::RSComm link(clock, answers, events, Folder().path());
        link.OnlineMode = true;
        ProgramDump dump(link, set, answers, clock);
        dump.runToEnd();
        FUZZ_REQUIRE(dump.bytesSent() == 0);
    }
    ReadDiskProgram(chosen);
    return 0;
}
