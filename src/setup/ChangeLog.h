#pragma once
// The change log: every value written to a board, whatever wrote it, one line each in a text
// file in the user's data folder. It hears the link through the wire recorder, so nothing that
// writes needs to know of it; the callers only say where the writes come from (a ChangeSource
// scope, else the source provider: the window in front). A program dump is one line of its own,
// not one per byte.
//
// Each line is appended whole and flushed before the write's result goes back to the caller,
// and ends in a check of its text: a line a crash cut short is never read back as an entry. The
// file is renamed to "<name>.1" (the previous file is kept, the one before it dropped) when the
// next line would take it past its size limit. A log that cannot be written is said once; the
// writes to the board go on.

#include "WireLog.h"

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

namespace talvern::setup {

struct ChangeEntry {
    QDateTime at;
    QString board;   // "K2510", "R7520", "-" when not known
    QString address; // the address, the PLS command, or "program" for a program dump
    QString name;    // the parameter's name; the program file set for a dump
    QString before;  // empty: not known
    QString written; // the value; the program ident for a dump
    QString source;  // "Cupfeed Tuning", "Data Download", "talvern-cli write", ...
    bool confirmed = false;
};

// "2026-12-07T15:04:05+01:00": local time with its offset from UTC.
QString IsoLocalTime(const QDateTime& at);
// The file's line of an entry (without its line end), and back: nothing for a line that is
// not a whole, unaltered entry.
QString ChangeLine(const ChangeEntry& entry);
std::optional<ChangeEntry> ParseChangeLine(const QString& line);
// The entry as a person reads it, one line:
// "2026-12-07T15:04:05+01:00  K2510  W1020 BDC Stop ... (degrees): 12 -> 15  Tuning  confirmed".
QString ChangeText(const ChangeEntry& entry);

// The entries of a log and of the file it rotated into, oldest first.
std::vector<ChangeEntry> ReadChangeLog(const QString& path);

struct ChangeFilter {
    QString board;   // empty: every board
    QString address; // part of the address, any case; empty: every address
    QDate since;     // invalid: from the start
    QDate until;     // invalid: to the end
    bool matches(const ChangeEntry& entry) const;
};

// The log of the user's data folder; writes to the simulated boards go to a file of their own,
// so that a demonstration never mixes with a real machine's history.
QString ChangeLogPath(bool simulated);

// The name of the set-up parameter at an address on a board (1 K2510, 3 R7520, 0 not known):
// empty when the table has none, or when an address both boards use is on an unknown board.
QString ParameterNameAt(const QString& address, int board);

class ChangeLog {
public:
    static constexpr qint64 kRotateBytes = 1 << 20;

    explicit ChangeLog(QString path, std::function<QDateTime()> now = {},
                       qint64 rotateBytes = kRotateBytes);

    const QString& path() const { return path_; }
    // Where a write comes from when no ChangeSource is open (the window in front).
    void setSourceProvider(std::function<QString()> provider) { provider_ = std::move(provider); }
    // Told once, the first time the log cannot be written.
    void setTroubleHandler(std::function<void(const QString&)> handler) {
        trouble_ = std::move(handler);
    }
    bool troubleSaid() const { return troubleSaid_; }

    // Every transaction the wire recorder decoded: writes are logged, good reads remembered as
    // the value an address holds (the "before" of its next write).
    void heard(const link::WireTransaction& t);
    // A program dump, as one line; the writes the dump itself made are not logged one by one.
    void recordProgramDump(int board, const QString& fileSet, const QString& ident, bool succeeded);
    // Appends one entry; false when the log could not be written.
    bool append(const ChangeEntry& entry);
    QString currentSource() const;
    // Writes heard so far, logged or grouped (a dump that wrote nothing logs no line).
    int writesHeard() const { return writesHeard_; }

private:
    friend class ChangeSource;

    QString path_;
    std::function<QDateTime()> now_;
    qint64 rotateBytes_;
    std::function<QString()> provider_;
    std::function<void(const QString&)> trouble_;
    bool troubleSaid_ = false;
    int writesHeard_ = 0;
    int board_ = 0;                                 // the board last heard on the cable
    std::vector<std::pair<QString, bool>> sources_; // label, grouped
    QHash<QString, QString> known_;                 // board and address -> last value read
};

// Names where the writes made while it is open come from. A grouped source (a program dump)
// keeps its writes out of the log: its caller logs the whole as one line.
class ChangeSource {
public:
    ChangeSource(ChangeLog* log, const QString& label, bool grouped = false);
    ~ChangeSource();
    ChangeSource(const ChangeSource&) = delete;
    ChangeSource& operator=(const ChangeSource&) = delete;

private:
    ChangeLog* log_;
};

} // namespace talvern::setup
