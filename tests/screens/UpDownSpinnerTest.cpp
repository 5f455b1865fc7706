// The spinner on its own: limits, one notification per step, the buddy kept in step.

#include "UpDownSpinner.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
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

TEST_F(Spinner, EachClickStepsOnceAndUpdatesTheBuddy) {
    box.setText(QStringLiteral("10"));
    QSignalSpy changes(&spinner, &UpDown::Change);
    QTest::mouseClick(spinner.upButton(), Qt::LeftButton);
    EXPECT_EQ(box.text(), QStringLiteral("11"));
    QTest::mouseClick(spinner.downButton(), Qt::LeftButton);
    QTest::mouseClick(spinner.downButton(), Qt::LeftButton);
    EXPECT_EQ(box.text(), QStringLiteral("9"));
    EXPECT_EQ(spinner.Value(), 9);
    EXPECT_EQ(changes.count(), 3);
}

TEST_F(Spinner, StopsAtItsLimitsWithoutNotifying) {
    box.setText(QStringLiteral("359"));
    QSignalSpy changes(&spinner, &UpDown::Change);
    EXPECT_FALSE(spinner.step(+1));
    box.setText(QStringLiteral("0"));
    EXPECT_FALSE(spinner.step(-1));
    EXPECT_EQ(box.text(), QStringLiteral("0"));
    EXPECT_EQ(changes.count(), 0);
}

TEST_F(Spinner, PlaceholderStaysUntilStepped) {
    box.setText(QStringLiteral("-"));
    spinner.setRange(0, 999);
    EXPECT_EQ(box.text(), QStringLiteral("-"));
    EXPECT_TRUE(spinner.step(+1));
    EXPECT_EQ(box.text(), QStringLiteral("1"));
}

TEST_F(Spinner, OutOfRangeTextIsBroughtBackWithinTheLimits) {
    box.setText(QStringLiteral("500"));
    EXPECT_TRUE(spinner.step(+1));
    EXPECT_EQ(box.text(), QStringLiteral("359"));
}

TEST_F(Spinner, DisabledSpinnerDoesNotStep) {
    box.setText(QStringLiteral("5"));
    spinner.setEnabled(false);
    EXPECT_FALSE(spinner.step(+1));
    EXPECT_EQ(box.text(), QStringLiteral("5"));
}

} // namespace
} // namespace talvern::screens
