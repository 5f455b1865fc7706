// The spinner on its own: limits, one notification per step, the buddy kept in step.

#include "UpDownSpinner.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace talvern::screens {
namespace {

class Spinner : public ::testing::Test {
protected:
    Spinner() {
        spinner.setBuddy(&box);
        spinner.setRange(0, 359);
    }
    QLineEdit box;
    UpDown spinner;
};

// The clicks themselves are the screens' tests'; here each step's outcome.
TEST_F(Spinner, EachStepIsOneFromTheNumberShownWithinTheLimitsAndNeverFromNoNumber) {
    struct Row {
        const char* shown;
        int direction;
        const char* after; // nullptr: no step, no notification
    };
    const Row rows[] = {{"10", +1, "11"},   {"10", -1, "9"},    {"359", +1, nullptr},
                        {"0", -1, nullptr}, {"500", +1, "359"}, {"12.5", +1, "13"},
                        {"-", +1, nullptr}, {"-", -1, nullptr}, {"abc", +1, nullptr},
                        {"", +1, nullptr}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.shown);
        box.setText(QStringLiteral("200")); // an earlier number must not be stepped from
        box.setText(QString::fromLatin1(row.shown));
        QSignalSpy changes(&spinner, &UpDown::Change);
        EXPECT_EQ(spinner.step(row.direction), row.after != nullptr);
        EXPECT_EQ(box.text(), QString::fromLatin1(row.after ? row.after : row.shown));
        EXPECT_EQ(changes.count(), row.after ? 1 : 0);
    }
    box.setText(QStringLiteral("5"));
    spinner.setEnabled(false);
    EXPECT_FALSE(spinner.step(+1));
    EXPECT_EQ(box.text(), QStringLiteral("5"));
}

} // namespace
} // namespace talvern::screens
