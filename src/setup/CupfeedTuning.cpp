#include "CupfeedTuning.h"

#include <cmath>
#include <cstdint>

namespace talvern::setup {

namespace {
// The number of a value text: a decimal number, or 0 when the text holds none.
double NumberOf(const QString& text) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

std::int64_t WholeNumber(double value) {
    return static_cast<std::int64_t>(std::nearbyint(std::clamp(value, -1e12, 1e12)));
}

// numerator / denominator rounded to a whole number, ties to the even number; exact in
// integers, so that a worked tie such as 6400 counts (312.5) never drifts.
std::int64_t DivideHalfEven(std::int64_t numerator, std::int64_t denominator) {
    if (denominator < 0) numerator = -numerator, denominator = -denominator;
    std::int64_t quotient = numerator / denominator;
    std::int64_t remainder = numerator % denominator;
    if (remainder < 0) remainder += denominator, quotient -= 1;
    const std::int64_t twice = 2 * remainder;
    if (twice > denominator || (twice == denominator && quotient % 2 != 0)) quotient += 1;
    return quotient;
}
} // namespace

QString PercentToCounts(const QString& percent) {
    const std::int64_t p = WholeNumber(NumberOf(percent));
    return QString::number(DivideHalfEven(p * 4096 + 2048 * 200, 200));
}

QString CountsToPercent(const QString& counts) {
    const std::int64_t c = WholeNumber(NumberOf(counts));
    return QString::number(DivideHalfEven(c * 200 - 100 * 4096, 4096));
}

TestOutputRow TestModeFields(bool checked) {
    return checked ? TestOutputRow{true, false} : TestOutputRow{false, true};
}

bool ConfirmTestMode(link::UserAnswers& answers) {
    return answers.ask(kTestModeQuestion, QStringLiteral("TALVERN"), link::Buttons::YesNo,
                       link::Icon::Question) == link::Answer::Yes;
}

bool WriteTestMode(link::RSComm& link, bool on) {
    if (link.CommError) return false;
    link.RSWrite(kTestModeAddress, on ? QStringLiteral("1") : QStringLiteral("0"));
    bool took = !link.CommError && !link.LastTransactionFailed();
    if (link.CommError) return false;
    link.RSWrite(kTestOutputAddress, kTestOutputZero);
    return took && !link.CommError && !link.LastTransactionFailed();
}

} // namespace talvern::setup
