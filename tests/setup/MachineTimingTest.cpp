// The machine-timing screen's logic against the simulated K2510, with a view that only records.
#include "TimingFixture.h"

using namespace talvern;
using namespace talvern::testing;

namespace {

// --- Display set-ups and passes ---

TEST_F(Timing, OnlineSetUpShowsTheBoardsSetpointsAndConfiguration) {
    openOnline();
    EXPECT_EQ(view.layout, "online");
    const int on[8] = {150, 200, 155, 110, 150, 150, 120, 180};
    const int off[8] = {170, 220, 175, 130, 350, 200, 190, 0};
    for (int c = 0; c < 8; ++c) {
        EXPECT_EQ(box(c, 0), QString::number(on[c])) << c;
        EXPECT_EQ(box(c, 1), QString::number(off[c])) << c;
    }
    EXPECT_EQ(view.config[0], QStringLiteral("8"));
    EXPECT_EQ(view.config[9], QStringLiteral("0"));
    EXPECT_TRUE(answers.asked.empty());
    // Later passes read the status without recalling again.
    view.boxes[0] = QStringLiteral("typed");
    runPass();
    EXPECT_EQ(view.boxes[0], QStringLiteral("typed"));
    EXPECT_EQ(view.panels[4], QStringLiteral("Scale: 360"));
    EXPECT_EQ(view.panels[3], QStringLiteral("Offset: 0"));
    // After a PLS download elsewhere the setpoints are recalled once more.
    plsDownloaded = true;
    for (int k = 0; k < 30 && !timing->pending().empty(); ++k)
        runPass();
    runPass();
    for (int k = 0; k < 30 && !timing->pending().empty(); ++k)
        runPass();
    EXPECT_FALSE(plsDownloaded);
    EXPECT_EQ(view.boxes[0], QStringLiteral("150"));
}

TEST_F(Timing, PositionShownOnlyAtFiftyRpmOrLess) {
    openOnline();
    for (const int rpm : {50, 51, 0}) {
        sim.pokeWord(BoardId::K2510, kSpeedLow, static_cast<std::uint16_t>(rpm));
        settle();
        runPass();
        EXPECT_EQ(view.panels[1], QStringLiteral("RPM: %1").arg(rpm));
        if (rpm > 50) {
            EXPECT_EQ(view.panels[2], QStringLiteral("Position: 888"));
            EXPECT_FALSE(view.position.has_value());
        } else {
            ASSERT_TRUE(view.position.has_value()) << rpm;
            EXPECT_EQ(view.panels[2], QStringLiteral("Position: %1").arg(*view.position));
        }
    }
}

TEST_F(Timing, OffsetGroupFollowsTheRunStopEdges) {
    openOnline();
    runPass(); // running: no edge, the group stays as the set-up left it
    EXPECT_TRUE(view.offsetEnabled);
    view.offsetEnabled = false;
    runPass();
    EXPECT_FALSE(view.offsetEnabled);
    sim.stopMachine();
    settle();
    runPass();
    EXPECT_TRUE(timing->runStop.StopEdge);
    EXPECT_TRUE(view.offsetEnabled);
    runPass();
    EXPECT_FALSE(timing->runStop.StopEdge);
    sim.startMachine();
    settle();
    runPass();
    EXPECT_TRUE(timing->runStop.StartEdge);
    EXPECT_FALSE(view.offsetEnabled);

    RunStop r; // a failed read counts as running
    r.observe(0);
    r.observe(std::nullopt);
    EXPECT_TRUE(r.StartEdge);
}

TEST_F(Timing, OfflineDisplayFollowsNewAndOfflineEditing) {
    setup.PLSSetpoint[2] = {11, 22};
    setup.PLSOfs = 45;
    openOffline();
    EXPECT_EQ(view.layout, "offline");
    EXPECT_EQ(box(2, 0), QStringLiteral("11"));
    EXPECT_EQ(view.panels[3], QStringLiteral("Offset: 45"));
    EXPECT_EQ(view.panels[1], QStringLiteral("RPM: -"));
    // The boxes are filled once: what the user types stays.
    view.boxes[2] = QStringLiteral("12");
    runPass();
    EXPECT_EQ(box(2, 0), QStringLiteral("12"));
    offlineEditing = true;
    runPass();
    runPass();
    EXPECT_EQ(view.layout, "offline editing");
    EXPECT_EQ(box(2, 0), QStringLiteral("11"));
    setup.PLSSetpoint[2] = {150, 170};
    setupReset = true;
    runPass();
    EXPECT_FALSE(setupReset);
    EXPECT_EQ(box(2, 0), QStringLiteral("150"));
}

TEST_F(Timing, SetpointRefusal) {
    openOnline(); // channel 0: ON 150, OFF 170
    const QString equal = QStringLiteral("ON Setpoint cannot Equal OFF Setpoint");
    EXPECT_EQ(timing->setpointRefusal(0, 170, 150), equal);
    EXPECT_EQ(timing->setpointRefusal(8, 150, 170), equal);
    EXPECT_TRUE(timing->setpointRefusal(0, 160, 150).isEmpty());
    EXPECT_TRUE(timing->setpointRefusal(0, 150, 150).isEmpty()); // unchanged
    view.boxes[8] = kNoSetpoint; // a marker is no number: nothing to be equal to
    EXPECT_TRUE(timing->setpointRefusal(0, 0, 150).isEmpty());
}

// --- Buttons ---

TEST_F(Timing, SetOffsetAsksAndNoSendsNothing) {
    sim.stopMachine();
    settle();
    openOnline();
    view.tmg[0] = QStringLiteral("90");
    answers.answers = {Answer::No};
    timing->setOffset();
    EXPECT_EQ(answers.asked,
              (Questions{{"You are about to Change the Resolver Offset.\r\n\r\nDo you "
                          "wish to continue?",
                          "Set Offset", link::Buttons::YesNoCancel, link::Icon::Question}}));
    EXPECT_EQ(view.tmg[0], QStringLiteral("0"));
    EXPECT_EQ(k2510().plsOffset(), 0);

    view.tmg[0] = QStringLiteral("90");
    answers.answers = {Answer::Yes};
    timing->setOffset();
    EXPECT_EQ(k2510().plsPosition(), 90);
    // The working data keeps the PLS's new offset, not the wanted position.
    EXPECT_EQ(setup.PLSOfs, k2510().plsOffset());
    runPass();
    EXPECT_EQ(view.panels[2], QStringLiteral("Position: 90"));
}

TEST_F(Timing, ClearThenRecallShowsNoSetpointAndStoresZeros) {
    openOnline();
    view.tmg[1] = QStringLiteral("4");
    answers.answers = {Answer::Yes};
    timing->clearChannel();
    ASSERT_EQ(answers.asked.size(), 1u);
    EXPECT_EQ(
        answers.asked[0].text,
        QStringLiteral("You are about to Clear Channel CH04.\r\n\r\nDo you wish to continue?"));
    EXPECT_TRUE(k2510().channel(4).empty());
    EXPECT_EQ(box(4, 0), kNoSetpoint);
    EXPECT_EQ(box(4, 1), kNoSetpoint);
    EXPECT_EQ(setup.PLSSetpoint[4], (std::array<std::int16_t, 2>{0, 0}));
    timing->recallChannel();
    EXPECT_EQ(box(4, 0), kNoSetpoint);

    // No leaves the channel alone.
    view.tmg[1] = QStringLiteral("5");
    answers.answers = {Answer::No};
    timing->clearChannel();
    EXPECT_EQ(k2510().channel(5).size(), 1u);
}

TEST_F(Timing, RecallFailureOffersRetryAndCancelMarksTheChannel) {
    openOnline();
    view.tmg[1] = QStringLiteral("1");
    // The PLS's answer to the channel byte arrives garbled: the recall fails, the link stays up.
    sim.corruptReplies(1, 2);
    answers.answers = {Answer::Retry};
    timing->recallChannel();
    // The retry worked: nothing more asked.
    EXPECT_EQ(answers.asked, (Questions{{"Unable to Recall Channel", "Channel Recall",
                                         link::Buttons::RetryCancel, link::Icon::Question}}));
    EXPECT_EQ(box(1, 0), QStringLiteral("200"));
    EXPECT_EQ(box(1, 1), QStringLiteral("220"));
    EXPECT_FALSE(rs.CommError);

    answers.asked.clear();
    sim.corruptReplies(1, 2);
    timing->recallChannel(); // Cancel
    ASSERT_EQ(answers.asked.size(), 1u);
    EXPECT_EQ(box(1, 0), kNotObtained);
    EXPECT_EQ(box(1, 1), kNotObtained);
}

TEST_F(Timing, ResetPLSConfigSendsTheWorkingConfiguration) {
    openOnline();
    setup.PLSCfg0 = 6;
    setup.PLSCfg1 = 2;
    setup.PLSCfgRest = {11, 12, 13, 14, 15, 16, 17, 18};
    timing->resetPLSConfig();
    const char* expected[10] = {"6", "2", "11", "12", "13", "14", "15", "16", "17", "18"};
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(view.config[i], QString::fromLatin1(expected[i])) << i;
    EXPECT_TRUE(answers.asked.empty());

    // The last byte of a block not acknowledged: Retry sends it all again, Cancel marks the
    // labels.
    sim.corruptReplies(1, 7);
    answers.answers = {Answer::Retry};
    timing->resetPLSConfig();
    EXPECT_EQ(answers.asked,
              (Questions{{"Unable to Reset PLS Configuration Parameters", "PLS Config Download",
                          link::Buttons::RetryCancel, link::Icon::Question}}));
    EXPECT_EQ(view.config[9], QStringLiteral("18"));
    sim.corruptReplies(1, 7);
    timing->resetPLSConfig();
    EXPECT_EQ(view.config[0], kNotObtained);
    EXPECT_EQ(view.config[9], kNotObtained);
}

} // namespace
