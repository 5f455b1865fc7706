#pragma once
// The program image (hex file): text lines of records in the Intel layout — ":" + count (2 hex
// digits) + load address (4) + type (2) + data (2 per byte) + checksum (2). Images written by
// an upload carry no checksum field. The whole image is read and checked before the first byte
// goes to a board, so that a bad line can never leave a board with half a program.

#include "ProgramFiles.h"

#include <QByteArray>
#include <QIODevice>
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

// The most data an image can carry: the 64 KiB a board can address.
constexpr int kAddressSpace = 0x10000;
// The longest record line: ":" and the digits of count, address, type, 255 data bytes, checksum.
constexpr int kLongestRecordLine = 1 + 2 * (1 + 2 + 1 + 255 + 1);

// Reads and checks a whole image, line by line, before any byte of it is sent: every line starts
// with ":", holds only hexadecimal digits, its length matches its count (with or without the
// checksum field), a checksum field present is right, and the record is a data (00) or end (01)
// record. A record the link cannot carry is refused too: a count of FF (the board takes it as
// the attention byte and leaves program mode), a record running past FFFFH, one that overlaps
// an earlier record, or data beyond maxDataBytes (the board's program memory). Lines end with
// CR, LF or CR LF; blank lines at the end are ignored. Reading stops at the first fault, and no
// line longer than a record can be is read whole. fileName names the file in the reason.
ImageCheck CheckImage(QIODevice& device, const QString& fileName, int maxDataBytes = kAddressSpace);
ImageCheck CheckImage(const QByteArray& contents, const QString& fileName,
                      int maxDataBytes = kAddressSpace);
// The image file of a set, checked against the program memory of its board code.
ImageCheck CheckImageFile(const QString& path, int boardCode);

// The records that lie outside the program memory of a board code.
std::vector<ImageRecord> RecordsOutside(const std::vector<ImageRecord>& records, int boardCode);

// The image an upload writes: records of 16 bytes from `first`, ":10" + four upper-case address
// digits + "00" + 32 upper-case data digits, no checksum field, each line ended by CR LF; then
// the end record ":00000001FF" and CR LF.
QByteArray WriteImage(int first, const QByteArray& memory);

// Four upper-case hexadecimal digits and "H" ("4A30H").
QString AddressText(int address);

} // namespace talvern::targetboard
