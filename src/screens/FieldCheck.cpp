#include "FieldCheck.h"

#include <QRegularExpression>
#include <cmath>
#include <limits>

namespace talvern::screens {

namespace {
const QRegularExpression& NumericPattern() {
    static const QRegularExpression pattern(
        QStringLiteral(R"(^\s*[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?\s*$)"));
    return pattern;
}
const QRegularExpression& LeadingPattern() {
    static const QRegularExpression pattern(
        QStringLiteral(R"(^\s*[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?)"));
    return pattern;
}
} // namespace

bool IsNumericText(const QString& text) {
    return NumericPattern().match(text).hasMatch();
}

std::optional<double> NumericValue(const QString& text) {
    if (!IsNumericText(text)) return std::nullopt;
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

double LeadingNumber(const QString& text) {
    const QRegularExpressionMatch match = LeadingPattern().match(text);
    if (!match.hasMatch()) return 0.0;
    bool ok = false;
    const double value = match.captured(0).trimmed().toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

std::int32_t RoundHalfEven(double value) {
    constexpr double lo = std::numeric_limits<std::int32_t>::min();
    constexpr double hi = std::numeric_limits<std::int32_t>::max();
    if (std::isnan(value)) return 0;
    double whole = std::floor(value);
    const double fraction = value - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) whole += 1.0;
    if (whole < lo) return std::numeric_limits<std::int32_t>::min();
    if (whole > hi) return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(whole);
}

QString RangeMessage(std::int32_t min, std::int32_t max) {
    return QStringLiteral("Only a Number Between ") + QString::number(min) +
           QStringLiteral(" and ") + QString::number(max) + QStringLiteral(" can be Entered");
}

FieldCheckResult CheckField(const QString& text, std::int32_t min, std::int32_t max) {
    FieldCheckResult result;
    const std::optional<double> value = NumericValue(text);
    if (!value || *value < min || *value > max) {
        result.message = RangeMessage(min, max);
        return result;
    }
    result.passed = true;
    result.value = RoundHalfEven(*value);
    return result;
}

} // namespace talvern::screens
