#include "ValueFormats.h"

#include "FieldCheck.h"

#include <cmath>

namespace talvern::screens {

namespace {
std::int64_t WholeValue(const QString& valueText) {
    const std::optional<double> value = NumericValue(valueText);
    if (!value) return 0;
    const double rounded = std::nearbyint(*value);
    if (rounded > 9.0e15 || rounded < -9.0e15) return 0;
    return static_cast<std::int64_t>(rounded);
}
} // namespace

QString GroupedCount(const QString& valueText, const QLocale& locale) {
    QLocale grouping = locale;
    grouping.setNumberOptions(grouping.numberOptions() & ~QLocale::OmitGroupSeparator);
    return grouping.toString(static_cast<qlonglong>(WholeValue(valueText)));
}

QString WithDegreeSign(const QString& valueText) {
    return valueText + QChar(176);
}

bool InputIsOn(const QString& valueText) {
    const std::optional<double> value = NumericValue(valueText);
    return value && *value == 1.0;
}

std::array<bool, 16> BitMap(const QString& valueText) {
    const auto v = static_cast<std::uint32_t>(static_cast<std::int32_t>(WholeValue(valueText)));
    std::array<bool, 16> bits{};
    for (int j = 0; j < 16; ++j)
        bits[j] = (v & (1u << j)) != 0;
    return bits;
}

QString OctalBitNumber(int bit) {
    return QString::number(bit / 8 * 10 + bit % 8);
}

QString TimingChannelCaption(int bit) {
    return QStringLiteral("CH") + OctalBitNumber(bit).rightJustified(2, QLatin1Char('0')) +
           QLatin1Char(':');
}

QString SlotBitCaption(int firstByte, int bit) {
    const QString address = QStringLiteral("(B%1.%2)").arg(firstByte + bit / 8).arg(bit % 8);
    return address + (bit < 8 ? QStringLiteral("    ") : QStringLiteral("  ")) +
           OctalBitNumber(bit) + QLatin1Char(':');
}

} // namespace talvern::screens
