#pragma once
// The development system's own hexadecimal digits ("marked hex"): "0".."9" followed by ":" to "?"
// for ten to fifteen, so that a digit is always character code 48 + its value.

#include <QString>
#include <cstdint>

namespace talvern::targetboard {

// Replaces ":" ";" "<" "=" ">" "?" by "A".."F"; the argument itself is changed too.
QString MarkHex2HEX(QString& MarkHEX);
// Replaces capital "A".."F" by ":".."?"; lower-case letters are left alone. The argument itself
// is changed too.
QString HEX2MarkHEX(QString& HexCode);
// A hexadecimal text as a number; 0 for a text that holds no hexadecimal digits. Reading stops
// at the first character that is not one.
std::int32_t Hex2Dec(const QString& text);
// Two marked-hex digits as decimal text (";:" -> "186").
QString MarkHex2Dec(const QString& text);
// A byte as two marked-hex digits (0x0B -> "0;").
QString ByteToMarkHex(int value);

} // namespace talvern::targetboard
