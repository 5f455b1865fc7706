#include "ProgramImage.h"

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
} // namespace

ImageCheck CheckImage(const QByteArray& contents, const QString& fileName) {
    ImageCheck result;
    QList<QByteArray> lines = contents.split('\n');
    for (QByteArray& line : lines)
        if (line.endsWith('\r')) line.chop(1);
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();
    const QString name = QFileInfo(fileName).fileName();
    auto refuse = [&](int lineNumber, const QString& why) {
        result.ok = false;
        result.records.clear();
        result.reason = QStringLiteral("%1, line %2: %3").arg(name).arg(lineNumber).arg(why);
        return result;
    };
    if (lines.isEmpty()) return refuse(1, QStringLiteral("the file holds no records"));
    for (int i = 0; i < lines.size(); ++i) {
        const QByteArray& line = lines.at(i);
        const int number = i + 1;
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
        ImageRecord record;
        record.line = number;
        record.address =
            (static_cast<std::uint8_t>(bytes.at(1)) << 8) | static_cast<std::uint8_t>(bytes.at(2));
        record.data = bytes.mid(4, count);
        result.records.push_back(record);
    }
    result.ok = true;
    return result;
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
