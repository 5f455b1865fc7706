#pragma once
// How the monitor screens show what they read: counts with digit grouping, angles with the
// degree sign, input states and 16-bit maps as "ON"/"off", and the octal bit captions.

#include <QColor>
#include <QLocale>
#include <QString>
#include <array>
#include <cstdint>

namespace talvern::screens {

inline const QString kOn = QStringLiteral("ON");
inline const QString kOff = QStringLiteral("off");
inline const QString kNotRead = QStringLiteral("-");

// "ON" is drawn in blue, "off" in dark red.
inline QColor OnColour() {
    return QColor(0, 0, 255);
}
inline QColor OffColour() {
    return QColor(192, 0, 0);
}
inline QColor StateColour(bool on) {
    return on ? OnColour() : OffColour();
}
inline QString StateText(bool on) {
    return on ? kOn : kOff;
}

// A whole number with the locale's digit grouping and no decimals ("1,234,567" in English).
QString GroupedCount(const QString& valueText, const QLocale& locale = QLocale());
// The value text followed by the degree sign.
QString WithDegreeSign(const QString& valueText);
// An input is ON only when its value is exactly 1.
bool InputIsOn(const QString& valueText);
// Bit j of the value as a 32-bit whole number, j = 0..15 (bit j has the value 2^j).
std::array<bool, 16> BitMap(const QString& valueText);

// The sixteen bits are numbered in octal: 0..7, 10..17.
QString OctalBitNumber(int bit);
// "CH00:" .. "CH07:", "CH10:" .. "CH17:".
QString TimingChannelCaption(int bit);
// "(B100.0)    0:" .. "(B100.7)    7:", "(B101.0)  10:" .. "(B101.7)  17:" for byte 100.
QString SlotBitCaption(int firstByte, int bit);

} // namespace talvern::screens
