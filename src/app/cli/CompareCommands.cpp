// talvern-cli sdt diff, compare and log: what differs between two set-up files or between a
// file and a board (exit 0 nothing, 1 something, 3 the link failed, as diff answers), and the
// log of the values written to the boards.
#include "BoardSetupReader.h"
#include "ChangeLog.h"
#include "CliCommands.h"
#include "OnlineState.h"
#include "ProgramVersion.h"
#include "QtPlatform.h"
#include "SdtFile.h"
#include "SetupCompare.h"
#include "SetupFiles.h"

namespace talvern::app {

namespace {

setup::SetupData Factory() {
    return setup::FactoryDefaults(setup::ProgramVersionTag(
        setup::ProgramMajor(), setup::ProgramMinor(), setup::ProgramRevision()));
}

// A file that cannot be read is trouble, not a difference: exit 2 with its reason.
std::optional<setup::SetupData> LoadOrSay(CliContext& c, const QString& path) {
    QString message;
    std::optional<setup::SetupData> data = setup::LoadSdtFile(path, &message);
    if (!data) {
        c.complain(path + QStringLiteral(": ") + message.simplified());
        c.troubleSaid = true;
        return std::nullopt;
    }
    return setup::FittedToTable(std::move(*data));
}

// One line per differing value; the values not read are named too unless the link gave up
// (then only the failure is said).
int Report(CliContext& c, const setup::SetupComparison& comparison, bool linkFailed = false) {
    for (const setup::CompareRow& row : comparison.rows)
        if (row.differs() || (row.unknown() && !linkFailed)) c.print(setup::DifferenceLine(row));
    return comparison.differing() > 0 ? kFailed : kDone;
}

int Diff(CliContext& c, const QStringList& args) {
    if (args.size() != 2) return kUsage;
    const auto a = LoadOrSay(c, args.at(0));
    if (!a) return kUsage;
    const auto b = LoadOrSay(c, args.at(1));
    if (!b) return kUsage;
    return Report(c, setup::CompareSetups(*a, *b, Factory()));
}

int Compare(CliContext& c, const QStringList& args) {
    if (args.size() != 2) return kUsage;
    const QString word = args.at(0).toLower();
    if (word != QLatin1String("k2510") && word != QLatin1String("r7520")) return kUsage;
    const setup::Board board =
        word == QLatin1String("k2510") ? setup::Board::K2510 : setup::Board::R7520;
    const auto file = LoadOrSay(c, args.at(1));
    if (!file) return kUsage;
    if (!c.ensureOnline()) return kLinkFailure;
    link::NoEventPump events;
    setup::BoardSetupReader reader(board, c.link, [&](int number) {
        return setup::CheckTargetBoard(c.link, c.answers, events, number,
                                       [&c] { c.link.CloseRSComm(); });
    });
    reader.runToEnd();
    const setup::SetupComparison comparison =
        setup::CompareWithBoard(*file, reader.reading(), Factory());
    const int status = Report(c, comparison, reader.linkFailed());
    // A value that could not be read is never taken as equal: the compare has failed.
    if (reader.linkFailed() || comparison.unknown() > 0) {
        c.complain(comparison.failure);
        return kLinkFailure;
    }
    return status;
}

int Log(CliContext& c, const QStringList& args) {
    setup::ChangeFilter filter;
    for (int i = 0; i < args.size(); ++i) {
        if (i + 1 >= args.size()) return kUsage;
        const QString& value = args.at(++i);
        if (args.at(i - 1) == QLatin1String("--since")) {
            filter.since = QDate::fromString(value, Qt::ISODate);
            if (!filter.since.isValid()) return kUsage;
        } else if (args.at(i - 1) == QLatin1String("--board")) {
            filter.board = value.toUpper();
            if (filter.board != QLatin1String("K2510") && filter.board != QLatin1String("R7520"))
                return kUsage;
        } else {
            return kUsage;
        }
    }
    const QString path = c.changes ? c.changes->path() : setup::ChangeLogPath(false);
    for (const setup::ChangeEntry& e : setup::ReadChangeLog(path))
        if (filter.matches(e)) c.print(setup::ChangeText(e));
    return kDone;
}

} // namespace

void AddCompareCommands(CliCommandTable& table) {
    CliCommand sdt = table[QStringLiteral("sdt")];
    table[QStringLiteral("sdt")] = [sdt](CliContext& c, const QStringList& a) {
        if (!a.isEmpty() && a.at(0) == QLatin1String("diff")) return Diff(c, a.mid(1));
        return sdt ? sdt(c, a) : int(kUsage);
    };
    table[QStringLiteral("compare")] = Compare;
    table[QStringLiteral("log")] = Log;
}

} // namespace talvern::app
