#pragma once
// The servo amplifier's test mode and test output on the R7520, without a window: the scaling
// between the output percent the engineer types and the value the board takes, the state of the
// output row, the question before test mode is entered and the writes that enter or leave it.

#include "Platform.h"
#include "RSComm.h"

#include <QString>

namespace talvern::setup {

inline const QString kTestModeAddress = QStringLiteral("B153.7");
inline const QString kTestOutputAddress = QStringLiteral("W1140");
inline const QString kTestOutputZero = QStringLiteral("2048"); // 0 %
inline const QString kTestModeQuestion = QStringLiteral("Enable Servo Amplifier Test Mode?");
inline const QString kTestModeNotice = QStringLiteral("Servo amplifier test mode is ON");

// "50" → "3072": the percent rounded to a whole number p, then p × 4096 / 200 + 2048 rounded
// to a whole number, ties to the even number (−100 → 0, 0 → 2048, 100 → 4096).
QString PercentToCounts(const QString& percent);
// "4095" → "100": the value rounded to a whole number c, then c × 200 / 4096 − 100 rounded,
// ties to the even number.
QString CountsToPercent(const QString& counts);

// The output row for a state of the test-mode box: enabled while checked; unchecked it is
// disabled and shows "0".
struct TestOutputRow {
    bool enabled = false;
    bool showZero = true;
};
TestOutputRow TestModeFields(bool checked);

// "Enable Servo Amplifier Test Mode?" (Yes/No, question icon, "TALVERN"); true on Yes.
bool ConfirmTestMode(link::UserAnswers& answers);

// Enters (on) or leaves test mode, the output back at 0 % either way: "1" or "0" to B153.7,
// then "2048" to W1140 unless the first write left a link failure; nothing when a failure is
// already flagged. True when the board took both writes.
bool WriteTestMode(link::RSComm& link, bool on);

} // namespace talvern::setup
