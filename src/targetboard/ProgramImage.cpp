#include "ProgramImage.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>

namespace talvern::targetboard {

int ImageRecord::sum() const {
    int total = data.size() + (address >> 8) + (address & 0xFF);
    for (char b : data)
        total += static_cast<std::uint8_t>(b);
    return total & 0xFF;
}

int ImageCheck::dataBytes() const {
    int n = 0;
    for (const ImageRecord& r : records)
        n += r.data.size();
    return n;
}

namespace {
bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// The lines of a device, each ended by CR, LF or CR LF. A line longer than `longest` is read
// only that far: it comes back marked too long.
class LineReader {
public:
    LineReader(QIODevice& device, int longest) : device_(device), longest_(longest) {}
    // The next line; false at the end of the device.
    bool next(QByteArray* line, bool* tooLong) {
        line->clear();
        *tooLong = false;
        char c = 0;
        if (!device_.getChar(&c)) return false;
        for (;;) {
            if (c == '\n') return true;
            if (c == '\r') {
                char n = 0;
                if (device_.peek(&n, 1) == 1 && n == '\n') device_.getChar(&n);
                return true;
            }
            if (line->size() >= longest_) {
                *tooLong = true;
                return true;
            }
            line->append(c);
            if (!device_.getChar(&c)) return true;
        }
    }

private:
    QIODevice& device_;
    int longest_;
};
} // namespace

ImageCheck CheckImage(QIODevice& device, const QString& fileName, int maxDataBytes) {
    ImageCheck result;
    const QString name = QFileInfo(fileName).fileName();
    auto refuse = [&](int lineNumber, const QString& why) {
        result.ok = false;
        result.records.clear();
        result.reason = QStringLiteral("%1, line %2: %3").arg(name).arg(lineNumber).arg(why);
        return result;
    };
    LineReader reader(device, kLongestRecordLine);
    std::vector<bool> used(kAddressSpace);
    int dataBytes = 0;
    int number = 0;
    int firstBlank = 0; // the first of the blank lines since the last record line
    bool anyRecord = false;
    QByteArray line;
    bool tooLong = false;
    while (reader.next(&line, &tooLong)) {
        ++number;
        if (tooLong) return refuse(number, QStringLiteral("the line is longer than any record"));
        if (line.trimmed().isEmpty()) {
            if (firstBlank == 0) firstBlank = number;
            continue;
        }
        // Blank lines are allowed only at the end.
        if (firstBlank != 0)
            return refuse(firstBlank, QStringLiteral("the line does not start with \":\""));
        anyRecord = true;
        if (!line.startsWith(':'))
            return refuse(number, QStringLiteral("the line does not start with \":\""));
        const QByteArray digits = line.mid(1);
        for (char c : digits)
            if (!IsHexDigit(c))
                return refuse(
                    number,
                    QStringLiteral("the line holds a character that is not a hexadecimal digit"));
        if (digits.size() < 8 || digits.size() % 2 != 0)
            return refuse(number, QStringLiteral("the line is too short for a record"));
        const QByteArray bytes = QByteArray::fromHex(digits);
        const int count = static_cast<std::uint8_t>(bytes.at(0));
        const int type = static_cast<std::uint8_t>(bytes.at(3));
        const bool withChecksum = bytes.size() == 4 + count + 1;
        if (bytes.size() != 4 + count && !withChecksum)
            return refuse(
                number,
                QStringLiteral("its length does not match its count of %1 bytes").arg(count));
        if (withChecksum) {
            int total = 0;
            for (char b : bytes)
                total += static_cast<std::uint8_t>(b);
            if ((total & 0xFF) != 0) return refuse(number, QStringLiteral("its checksum is wrong"));
        }
        if (type != 0 && type != 1)
            return refuse(number,
                          QStringLiteral("record type %1 is neither a data nor an end record")
                              .arg(type, 2, 16, QLatin1Char('0')));
        if (count == 0) continue;
        if (count == 0xFF)
            return refuse(number, QStringLiteral("a record of 255 bytes cannot be sent: the board "
                                                 "takes its count FF for the attention byte"));
        ImageRecord record;
        record.line = number;
        record.address =
            (static_cast<std::uint8_t>(bytes.at(1)) << 8) | static_cast<std::uint8_t>(bytes.at(2));
        if (record.address + count > kAddressSpace)
            return refuse(number, QStringLiteral("the record runs past FFFFH"));
        for (int a = record.address; a < record.address + count; ++a) {
            if (!used[static_cast<std::size_t>(a)]) continue;
            int other = 0;
            for (const ImageRecord& r : result.records)
                if (a >= r.address && a < r.address + r.data.size()) other = r.line;
            return refuse(number, QStringLiteral("the record overlaps the record of line %1 at %2")
                                      .arg(other)
                                      .arg(AddressText(a)));
        }
        if (dataBytes + count > maxDataBytes)
            return refuse(number, QStringLiteral("the image holds more than the %1 bytes of the "
                                                 "board's program memory")
                                      .arg(maxDataBytes));
        for (int a = record.address; a < record.address + count; ++a)
            used[static_cast<std::size_t>(a)] = true;
        dataBytes += count;
        record.data = bytes.mid(4, count);
        result.records.push_back(record);
    }
    if (!anyRecord) return refuse(1, QStringLiteral("the file holds no records"));
    result.ok = true;
    return result;
}

ImageCheck CheckImage(const QByteArray& contents, const QString& fileName, int maxDataBytes) {
    QBuffer buffer;
    buffer.setData(contents);
    buffer.open(QIODevice::ReadOnly);
    return CheckImage(buffer, fileName, maxDataBytes);
}

ImageCheck CheckImageFile(const QString& path, int boardCode) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ImageCheck result;
        result.reason = QFileInfo(path).fileName() + QStringLiteral(": ") + file.errorString();
        return result;
    }
    const int memory = ProgramMemoryRange(boardCode).bytes;
    return CheckImage(file, path, memory > 0 ? memory : kAddressSpace);
}

std::vector<ImageRecord> RecordsOutside(const std::vector<ImageRecord>& records, int boardCode) {
    const MemoryRange range = ProgramMemoryRange(boardCode);
    std::vector<ImageRecord> outside;
    for (const ImageRecord& r : records)
        if (!range.contains(r.address, r.data.size())) outside.push_back(r);
    return outside;
}

QByteArray WriteImage(int first, const QByteArray& memory) {
    QByteArray text;
    text.reserve(memory.size() * 2 + memory.size() / 16 * 11 + 16);
    for (int offset = 0; offset < memory.size(); offset += 16) {
        text += ":10" + QByteArray::number(first + offset, 16).rightJustified(4, '0').toUpper() +
                "00" + memory.mid(offset, 16).toHex().toUpper() + "\r\n";
    }
    text += ":00000001FF\r\n";
    return text;
}

QString AddressText(int address) {
    return QStringLiteral("%1H").arg(address & 0xFFFF, 4, 16, QLatin1Char('0')).toUpper();
}

} // namespace talvern::targetboard
