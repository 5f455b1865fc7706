#pragma once
// What the bodymaker main display shows of the values it reads.

#include <QString>

namespace talvern::screens {

// Above this speed (strokes per minute) the machine position is not shown.
inline constexpr double kPositionShownUpToSpm = 50;

// The machine position label: "888" while the speed shown is above 50 spm, otherwise the value
// read without surrounding blanks.
QString PositionDisplay(const QString& speedShown, const QString& positionRead);

} // namespace talvern::screens
