// The board catalogue, fault descriptions and the address services of the link.
#include "BusyScope.h"
#include "RSComm.h"
#include "SideFiles.h"
#include "WireScope.h"

#include <QFile>
#include <algorithm>
#include <map>
#include <vector>

namespace talvern::link {

namespace {
struct BoardEntry {
    const char* name;
    const char* configurationCode;
};
// Board-type codes 49 ("1") to 69 ("E").
const BoardEntry kBoards[] = {
    {"R6010", "1"},      {"R6012", "1"},     {"R6014", "?"},     {"R6021", "2"},
    {"R6022", "3"},      {"R6016", "D"},     {"R6041", ""},      {"R6024", "F"},
    {"Not Defined", ""}, {"K2010", "@"},     {"K2011", "A"},     {"K2012", "B"},
    {"K2020(PLC)", "C"}, {"K2020(PLS)", ""}, {"K2040", ""},      {"K2041", ""},
    {"T3110", "E"},      {"K2021(PLC)", ""}, {"K2021(PLS)", ""}, {"K2500(PLC)", "G"},
    {"K2500(PLS)", ""},
};
const BoardEntry* FindBoard(std::int16_t code) {
    if (code < 49 || code > 69) return nullptr;
    return &kBoards[code - 49];
}
} // namespace

QString RSComm::TargetboardName(std::int16_t BoardType) {
    if (const BoardEntry* board = FindBoard(BoardType)) return QString::fromLatin1(board->name);
    return QString(QChar(static_cast<char16_t>(BoardType & 0xFF))) +
           QStringLiteral(" Is Not Defined.");
}

QString RSComm::LCFBoardIndex(std::int16_t BoardType) {
    if (const BoardEntry* board = FindBoard(BoardType))
        return QString::fromLatin1(board->configurationCode);
    return {};
}

std::int16_t RSComm::FaultCode() {
    BusyScope busy(*this);
    WireScope wire(*this, WireKind::Read, QStringLiteral("B8176"));
    const QString value = ReadValue(QStringLiteral("B8176"));
    wire.End(value, value.isEmpty());
    return static_cast<std::int16_t>(value.toInt());
}

std::int16_t RSComm::FirmwareRev() {
    if (!OnlineMode || CommError) return -1;
    BusyScope busy(*this);
    WireScope wire(*this, WireKind::Read, QStringLiteral("B8159"));
    const QString value = ReadValue(QStringLiteral("B8159"));
    wire.End(value, value.isEmpty());
    return static_cast<std::int16_t>(value.toInt());
}

QString RSComm::FaultDescription(std::int16_t FltCode) {
    QString code = QString::number(static_cast<std::uint16_t>(FltCode), 16).toUpper();
    if (code.size() < 2) code.prepend(QLatin1Char('0'));
    QString result = QStringLiteral("Fault Code (") + code + QStringLiteral("H): ");
    const QString path = FindSideFile(programFolder_, QStringLiteral("support/FaultErrCodes.txt"));
    QFile file(path);
    if (!file.exists()) return result + QStringLiteral("--- Fault File Not Found ---");
    if (!file.open(QIODevice::ReadOnly)) {
        Ask(QStringLiteral("Error Number = 75\r\n\r\n") + file.errorString(),
            QStringLiteral("RSComm FaultDescription"), Buttons::Ok, Icon::Information);
        return result;
    }
    const QStringList fields = ReadFieldStream(file.readAll());
    for (int i = 0; i + 1 < fields.size(); i += 2) {
        if (fields.at(i).compare(code, Qt::CaseInsensitive) == 0) return result + fields.at(i + 1);
    }
    return result;
}

// ---------------------------------------------------------------------------------------------
// Address services for callers that name I/O points

namespace {
enum class Group { A, B, Other };
Group BoardGroup(int code) {
    static const int groupA[] = {49, 51, 52, 53, 54, 56, 58, 59, 60, 61, 65, 66};
    if (std::find(std::begin(groupA), std::end(groupA), code) != std::end(groupA)) return Group::A;
    if (code == 50 || code == 68) return Group::B;
    return Group::Other;
}

// The leading decimal number of a text, as the platform's Val reads it.
long LeadingNumber(const QString& text) {
    const QString t = text.trimmed();
    int i = 0;
    while (i < t.size() && t.at(i).isDigit() && i < 9)
        ++i;
    return i == 0 ? 0 : t.left(i).toLong();
}
} // namespace

bool RSComm::ValidAdd(const QString& Var, std::int16_t TargetBoardIndex) {
    if (Var.isEmpty()) return false;
    const QChar letter = Var.at(0).toUpper();
    const long number = Var.contains(QLatin1Char('.')) ? LeadingNumber(Var.mid(1, Var.size() - 3))
                                                       : LeadingNumber(Var.mid(1));
    const Group group = BoardGroup(TargetBoardIndex);
    const int code = TargetBoardIndex;
    long lowest = 0;
    long highest = 0;
    bool extra = true;
    switch (letter.toLatin1()) {
        case 'B':
            lowest = 32;
            highest = group == Group::A ? 255 : group == Group::B ? 8275 : 65535;
            break;
        case 'W':
        case 'D':
            lowest = 32;
            highest = group == Group::A ? 254 : group == Group::B ? 8274 : 65534;
            extra = number % 2 == 0;
            break;
        case 'F':
            highest = group == Group::A ? 120 : 991;
            break;
        case 'I':
            if (code == 49 || code == 50)
                highest = 151;
            else if (code == 51 || code == 52 || code == 53 || code == 54 || code == 56)
                highest = 21;
            else
                return false;
            extra = number % 10 <= 1;
            break;
        case 'X':
        case 'Y':
            if (code == 49 || code == 50)
                highest = 151;
            else if (code == 0 || code == 68)
                return false;
            else
                highest = 21;
            extra = number % 10 <= 1;
            break;
        default:
            break;
    }
    return lowest <= number && number <= highest && extra;
}

QString RSComm::EquateAdd(const QString& Var, std::int16_t TargetBoardIndex) {
    if (Var.isEmpty()) return Var;
    const QChar letter = Var.at(0).toUpper();
    QString numberText = Var.mid(1);
    QString bitText;
    if (const int dot = numberText.indexOf(QLatin1Char('.')); dot >= 0) {
        bitText = numberText.mid(dot + 1);
        numberText = numberText.left(dot);
        if (bitText.toInt() > 7) bitText = QStringLiteral("7");
    }
    bool ok = false;
    const int point = numberText.toInt(&ok);
    if (!ok) return Var;

    using Table = std::map<int, int>;
    auto lookup = [&](const Table& table) -> int {
        const auto it = table.find(point);
        return it == table.end() ? -1 : it->second;
    };
    // The 32 points 0, 1, 10, 11 ... 150, 151 of the board with code 50, in order.
    auto pointIndex = [&]() -> int {
        if (point < 0 || point > 151 || point % 10 > 1) return -1;
        return (point / 10) * 2 + point % 10;
    };
    int byte = -1;
    const char l = letter.toLatin1();
    switch (TargetBoardIndex) {
        case 49:
            if (l == 'X')
                byte = lookup({{30, 49},
                               {31, 50},
                               {50, 51},
                               {51, 52},
                               {60, 53},
                               {61, 54},
                               {70, 55},
                               {71, 56},
                               {80, 57}});
            if (l == 'Y')
                byte = lookup({{81, 58},
                               {90, 59},
                               {100, 60},
                               {110, 61},
                               {111, 62},
                               {120, 63},
                               {121, 64},
                               {130, 65},
                               {140, 66},
                               {141, 67}});
            break;
        case 50:
            if (const int index = pointIndex(); index >= 0) {
                if (l == 'X' || l == 'Y') byte = 160 + index;
                if (l == 'I') byte = 192 + index;
            }
            break;
        case 58:
            if (l == 'X') byte = lookup({{10, 51}, {11, 52}});
            if (l == 'Y') byte = lookup({{0, 49}, {1, 50}});
            break;
        case 59:
        case 66:
            if (l == 'X') byte = lookup({{10, 51}, {11, 52}, {20, 53}, {21, 54}});
            if (l == 'Y') byte = lookup({{0, 49}, {1, 50}});
            break;
        case 60:
        case 65:
            if (l == 'X') byte = lookup({{10, 51}, {11, 52}, {20, 53}});
            if (l == 'Y') byte = lookup({{0, 49}, {1, 50}, {21, 54}});
            break;
        case 61:
            if (l == 'X') byte = lookup({{0, 49}, {1, 50}, {10, 51}});
            if (l == 'Y') byte = lookup({{11, 52}});
            break;
        default:
            break;
    }
    if (byte < 0) return Var;
    QString result = QStringLiteral("B") + QString::number(byte);
    if (!bitText.isNull()) result += QLatin1Char('.') + bitText;
    return result;
}

std::int16_t RSComm::Dec2Octal(std::int16_t DecNum) {
    return static_cast<std::int16_t>((DecNum / 8) * 10 + DecNum % 8);
}

std::int16_t RSComm::Octal2Dec(std::int16_t OctNum) {
    return static_cast<std::int16_t>((OctNum / 10) * 8 + OctNum % 10);
}

} // namespace talvern::link
