#include "Address.h"

namespace talvern::link {
namespace {

bool IsDecimal(const QString& text) {
    if (text.isEmpty()) return false;
    for (QChar c : text)
        if (!c.isDigit()) return false;
    return true;
}

// The number after a width letter; text that is not a number gives 0.
std::int32_t NumberOrZero(const QString& text) {
    const QString t = text.trimmed();
    if (!IsDecimal(t) || t.size() > 9) return 0;
    return t.toInt();
}

bool IsHexForm(const QString& add) {
    if (add.size() < 2) return false;
    const QChar last = add.back();
    if (last != QLatin1Char('H') && last != QLatin1Char('h')) return false;
    for (int i = 0; i < add.size() - 1; ++i) {
        const QChar c = add.at(i);
        if (!c.isDigit() && !QStringLiteral("abcdefABCDEF").contains(c)) return false;
    }
    return true;
}

} // namespace

ParsedAddress ParseAddressText(const QString& add) {
    ParsedAddress p;
    if (IsHexForm(add)) {
        // The last two digits are the low byte, everything before them the high part.
        const QString digits = add.left(add.size() - 1).right(8);
        const QString low = digits.right(2);
        const QString high = digits.size() > 2 ? digits.left(digits.size() - 2) : QString();
        p.byteAddress =
            static_cast<std::int32_t>(high.toUInt(nullptr, 16) * 256 + low.toUInt(nullptr, 16));
        return p;
    }
    if (add.contains(QLatin1Char('.'))) {
        // The letter is not looked at: any bit address names one bit of a byte.
        p.byteAddress = add.size() >= 3 ? NumberOrZero(add.mid(1, add.size() - 3)) : 0;
        const QChar bit = add.back();
        const int n = bit.isDigit() ? bit.digitValue() : 0;
        p.mask = static_cast<std::uint16_t>(1u << n);
        p.isBit = true;
        return p;
    }
    const QChar letter = add.isEmpty() ? QChar() : add.at(0).toUpper();
    const QString rest = add.mid(1);
    if (letter == QLatin1Char('B') || letter == QLatin1Char('W') || letter == QLatin1Char('D')) {
        p.byteAddress = NumberOrZero(rest);
        p.width = letter;
    } else if (letter == QLatin1Char('F')) {
        const std::int32_t n = NumberOrZero(rest);
        p.byteAddress = 32 + n / 8;
        p.mask = static_cast<std::uint16_t>(1u << (n % 8));
        p.isBit = true;
    }
    return p;
}

std::optional<std::int64_t> ValueTextNumber(const QString& value) {
    constexpr std::int64_t kSaturated = 999'999'999'999LL;
    std::int64_t number = 0;
    for (QChar c : value) {
        const char16_t u = c.unicode();
        if (u >= u'0' && u <= u'9') {
            number = number >= kSaturated / 10 ? kSaturated : number * 10 + (u - u'0');
        } else if (u == u' ' || u == u'%' || u == u',' || u == u'.' || u == 176) {
            continue;
        } else {
            return std::nullopt;
        }
    }
    return number;
}

std::int64_t WidthLimit(QChar width) {
    if (width == QLatin1Char('W')) return 65535;
    if (width == QLatin1Char('D')) return 655359999;
    return 255;
}

QString RangeMessage(QChar width) {
    if (width == QLatin1Char('W')) return QStringLiteral("Entry out of Range (0-65,535).");
    if (width == QLatin1Char('D')) return QStringLiteral("Entry out of Range (0-655,359,999).");
    return QStringLiteral("Entry out of Range (0-255).");
}

std::vector<std::uint8_t> EncodeValue(QChar width, std::int64_t value) {
    auto word = [](std::int64_t w) {
        return std::vector<std::uint8_t>{static_cast<std::uint8_t>(w & 0xFF),
                                         static_cast<std::uint8_t>((w >> 8) & 0xFF)};
    };
    if (width == QLatin1Char('W')) return word(value);
    if (width == QLatin1Char('D')) {
        auto bytes = word(value % 10000);
        const auto high = word(value / 10000);
        bytes.insert(bytes.end(), high.begin(), high.end());
        return bytes;
    }
    return {static_cast<std::uint8_t>(value & 0xFF)};
}

std::int64_t DecodeValue(const ParsedAddress& address, const std::uint8_t* b) {
    if (address.width == QLatin1Char('W')) return b[1] * 256 + b[0];
    if (address.width == QLatin1Char('D'))
        return static_cast<std::int64_t>(b[3] * 256 + b[2]) * 10000 + (b[1] * 256 + b[0]);
    if (address.isBit) return (b[0] & address.mask) != 0 ? 1 : 0;
    return b[0];
}

} // namespace talvern::link
