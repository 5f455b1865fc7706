#pragma once
// The check a numeric field gets when it is left, and the number readings the editor uses.
// Plain logic: no window, no link.

#include <QString>
#include <cstdint>
#include <optional>

namespace talvern::screens {

// Title of the range message of every set-up field.
inline const QString kSetupTitle = QStringLiteral("Set-up");

// True for a numeric text: optional surrounding blanks, an optional sign, digits with an
// optional decimal point, an optional exponent ("12", " -3 ", "12.5", ".5", "1e2").
bool IsNumericText(const QString& text);
// The value of a numeric text; nothing when the text is not numeric.
std::optional<double> NumericValue(const QString& text);
// The leading number of a text ("12.5abc" -> 12.5, "-" -> 0, "" -> 0), as a field's number on
// entry is read.
double LeadingNumber(const QString& text);
// Rounds to a whole number, ties to the even number (12.5 -> 12, 13.5 -> 14, -2.5 -> -2),
// saturating at the 32-bit limits.
std::int32_t RoundHalfEven(double value);
// The leading number of a text rounded to a whole number.
inline std::int32_t WholeNumberOf(const QString& text) {
    return RoundHalfEven(LeadingNumber(text));
}

// "Only a Number Between 0 and 359 can be Entered".
QString RangeMessage(std::int32_t min, std::int32_t max);

struct FieldCheckResult {
    bool passed = false;
    std::int32_t value = 0; // the accepted number rounded to a whole number
    QString message;        // the range message when refused
};

// A field's text against its limits (inclusive).
FieldCheckResult CheckField(const QString& text, std::int32_t min, std::int32_t max);

} // namespace talvern::screens
