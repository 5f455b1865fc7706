// The worked values of the scaling, the table and export texts, and the question about
// unsaved changes.
#include "AcquireSignatures.h"
#include "CpfdText.h"
#include "FakePlatform.h"

#include <gtest/gtest.h>

using namespace talvern;
using namespace talvern::signatures;

TEST(SignatureValues, WorkedScaling) {
    EXPECT_EQ(SamplePosition(0, 2), 0.0f);
    EXPECT_EQ(SamplePosition(1, 2), 360.0f);
    EXPECT_EQ(SamplePosition(1, 180), 2.0f);
    EXPECT_EQ(SamplePosition(90, 180), 181.0f); // 181.005...
    EXPECT_EQ(SamplePosition(179, 180), 360.0f);
    EXPECT_EQ(SamplePosition(0, 1), 0.0f) << "a single sample must not divide by zero";
    EXPECT_EQ(CurrentFromRaw(255), 25.0f);
    EXPECT_EQ(CurrentFromRaw(51), 5.0f);
    EXPECT_EQ(CurrentFromRaw(1), 0.1f);
    EXPECT_EQ(ErrorFromRaw(100), 8.8f);
    EXPECT_EQ(ProfileFromRaw(100), 17.6f);
    EXPECT_EQ(ErrorFromRaw(128), 11.3f) << "11.25 rounds half away from zero";
    // Stored values are exactly what the table shows.
    EXPECT_EQ(SampleText(ErrorFromRaw(100), QLocale::c()), "8.8");
    EXPECT_EQ(SampleText(CurrentFromRaw(1), QLocale::c()), "0.1");
    EXPECT_EQ(SampleText(1234.567f, QLocale(QLocale::English)), "1234.567") << "no grouping";
    EXPECT_EQ(SampleText(12.5f, QLocale(QLocale::German)), "12,5");
}

TEST(SignatureText, ExportLayout) {
    CpfdData d;
    d.PGainInt = 12;
    d.PGainFrac = 5;
    d.IGain = 1500;
    d.DGain = 25;
    const QLocale en(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(ExportText(d, en),
              "P\t12.05\r\nI\t1,500\r\nD\t25\r\nPos\tCurr\tErr\tProfile\tDesired\r\n");
    d.Samples = 2;
    d.Pos = {0.0f, 360.0f};
    d.Curr = {1.2f, 25.0f};
    d.Err = {-0.5f, 8.8f};
    d.Profile = {0.0f, 17.6f};
    d.Desired = {0.0f, 17.5f};
    d.Pos[2] = 99.0f; // beyond the count: never exported
    EXPECT_EQ(ExportText(d, QLocale::c(), QStringLiteral("\n")),
              "P\t12.05\nI\t1500\nD\t25\nPos\tCurr\tErr\tProfile\tDesired\n"
              "0\t1.2\t-0.5\t0\t0\n360\t25\t8.8\t17.6\t17.5\n");
}

TEST(SignatureText, AskSaveChangesOnlyForSamplesAndGains) {
    talvern::testing::ScriptedAnswers answers;
    CpfdData saved;
    saved.Samples = 3;
    CpfdData now = saved;
    EXPECT_FALSE(AskSaveChanges(now, saved, answers));
    now.Samples = 2; // the count alone is not a change
    now.Curr[2] = 5; // nor a sample beyond it
    EXPECT_FALSE(AskSaveChanges(now, saved, answers));
    EXPECT_TRUE(answers.asked.empty());

    for (int change = 0; change < 3; ++change) {
        now = saved;
        if (change == 0) now.Desired[2] = 0.1f;
        if (change == 1) now.PGainFrac = 1;
        if (change == 2) now.Err[0] = -0.0f; // a different bit pattern
        answers.answers = {link::Answer::No};
        EXPECT_EQ(AskSaveChanges(now, saved, answers), link::Answer::No) << change;
    }
    EXPECT_EQ(answers.asked, talvern::testing::Questions(
                                 3, {"Save Changes to File?", "Servo Cupfeed Data",
                                     link::Buttons::YesNoCancel, link::Icon::Exclamation}));
}
