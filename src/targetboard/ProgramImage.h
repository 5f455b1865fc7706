#pragma once
// The program image (hex file): text lines of records in the Intel layout — ":" + count (2 hex
// digits) + load address (4) + type (2) + data (2 per byte) + checksum (2). Images written by
// an upload carry no checksum field. The whole image is read and checked before the first byte
// goes to a board, so that a bad line can never leave a board with half a program.

#include "ProgramFiles.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace talvern::targetboard {

struct ImageRecord {
    int line = 0; // 1-based line number in the file
    int address = 0;
    QByteArray data;
    // The bytes as the board sums them: count, address high, address low, data.
    int sum() const;
};

struct ImageCheck {
    bool ok = false;
    QString reason;                   // "PROG1.hex, line 12: ..." when not ok
    std::vector<ImageRecord> records; // records that carry data, in file order
    int dataBytes() const;
};

// Reads and checks a whole image: every line starts with ":", holds only hexadecimal digits,
// its length matches its count (with or without the checksum field), a checksum field present
// is right, and the record is a data (00) or end (01) record. Blank lines at the end are
// ignored. fileName names the file in the reason.
ImageCheck CheckImage(const QByteArray& contents, const QString& fileName);

// The records that lie outside the program memory of a board code.
std::vector<ImageRecord> RecordsOutside(const std::vector<ImageRecord>& records, int boardCode);

// The image an upload writes: records of 16 bytes from `first`, ":10" + four upper-case address
// digits + "00" + 32 upper-case data digits, no checksum field, each line ended by CR LF; then
// the end record ":00000001FF" and CR LF.
QByteArray WriteImage(int first, const QByteArray& memory);

// Four upper-case hexadecimal digits and "H" ("4A30H").
QString AddressText(int address);

} // namespace talvern::targetboard
