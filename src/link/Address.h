#pragma once
// Address texts ("W1020", "B1018.0", "D1100", "F34", "1FA0H") and value texts as the boards
// understand them: byte address, width, bit mask, and the bytes a value becomes on the board.

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace talvern::link {

struct ParsedAddress {
    std::int32_t byteAddress = 32;
    QChar width = QLatin1Char('B'); // 'B', 'W' or 'D'; bit and flag forms give 'B'
    std::uint16_t mask = 0;
    bool isBit = false;

    int byteCount() const {
        return width == QLatin1Char('D') ? 4 : width == QLatin1Char('W') ? 2 : 1;
    }
};

ParsedAddress ParseAddressText(const QString& add);

// The number a value text stands for: digits kept; blanks, "%", ",", "." and the degree sign
// dropped (so 12.5 becomes 125). Empty when another character occurs. Very long digit runs
// saturate instead of overflowing, so the range check refuses them.
std::optional<std::int64_t> ValueTextNumber(const QString& value);

// The largest value each width can hold on the board.
std::int64_t WidthLimit(QChar width);
// "Entry out of Range (0-255)." and its siblings.
QString RangeMessage(QChar width);

// Board bytes of a value, low byte at the lower address; a double is two base-10000 words.
std::vector<std::uint8_t> EncodeValue(QChar width, std::int64_t value);
// The value of bytes read from the board (bit addresses test the mask).
std::int64_t DecodeValue(const ParsedAddress& address, const std::uint8_t* bytes);

} // namespace talvern::link
