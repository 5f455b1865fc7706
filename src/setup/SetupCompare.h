#pragma once
// What differs between two set-ups: one row per set-up value (the parameters a download writes,
// the PLS configuration, the eight channels' ON/OFF points), the open set-up against another
// source (a second file or a board) and the factory value. A value the other source could not
// give is unknown: it is neither equal nor different, and it is never shown as a number.

#include "SetupData.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace talvern::setup {

struct SetupValue {
    QString address; // the board address, or the PLS item ("PLS CH03 ON")
    QString name;
    Board board;
    bool downloaded; // a data download writes it
};

// Every set-up value in the order the report prints them.
const std::vector<SetupValue>& SetupValues();
std::int32_t ValueOf(const SetupData& setup, int item);

struct CompareRow {
    int item; // into SetupValues()
    std::int32_t open;
    std::optional<std::int32_t> other; // nothing: could not be read
    std::int32_t factory;
    bool differs() const { return other && *other != open; }
    bool unknown() const { return !other; }
};

struct SetupComparison {
    std::vector<CompareRow> rows;
    // Why some values are unknown (the first failure), empty when all were read.
    QString failure;

    int differing() const;
    int unknown() const;
    // "7 of 83 values differ", with the unknown ones named when there are any.
    QString countText() const;
    // One line per differing or unknown value:
    // "W1020 BDC Stop Position at Low Speed (degrees): 12 -> 15".
    QStringList differenceLines() const;
    // The whole table as text, a row a line, for the export.
    QString tableText(const QString& openTitle, const QString& otherTitle) const;
};

// The line of one row; "unknown" stands for a value that could not be read.
QString DifferenceLine(const CompareRow& row);

// Two set-ups, every value.
SetupComparison CompareSetups(const SetupData& open, const SetupData& other,
                              const SetupData& factory);

// What was read from one board: a value per item of SetupValues() (nothing for a value of the
// other board or one that could not be read), and the first failure.
struct BoardReading {
    Board board = Board::K2510;
    std::vector<std::optional<std::int32_t>> values;
    QString failure;
};

// The open set-up against the values of the board that was read (only that board's values).
SetupComparison CompareWithBoard(const SetupData& open, const BoardReading& reading,
                                 const SetupData& factory);

// How many values a download of `open` would change on the board read (only the values a
// download writes), and how many of those could not be read.
struct DownloadChanges {
    int changing = 0;
    int unknown = 0;
};
DownloadChanges ChangesOfDownload(const SetupData& open, const BoardReading& reading);
// What the download's confirmation says of them: "3 values will change on the board.", or
// that nothing changes.
QString DownloadChangesText(const DownloadChanges& changes);

} // namespace talvern::setup
