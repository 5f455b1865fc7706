// The machine-timing screen's online set-up cut short or still recalling, the configuration
// reset refusing a scale the PLS cannot take, and each point landing in its own slot.
#include "TimingFixture.h"

using namespace talvern;
using namespace talvern::testing;

namespace {

using Points = std::array<std::int16_t, 2>;

TEST_F(Timing, WhateverEndsTheOnlineSetUpTheNextPassShowsTheOfflineLayout) {
    struct Case {
        const char* name;
        BoardId cable;
        std::function<void()> cut; // after two steps of the set-up
    };
    const Case cases[] = {
        {"Cancel at the K2510 prompt", BoardId::R7520, [] {}},
        {"going offline", BoardId::K2510, [this] { rs.OnlineMode = false; }},
        {"a link failure", BoardId::K2510, [this] { rs.CommError = true; }},
    };
    const Points stored = setup.PLSSetpoint[0];
    openOffline();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim.moveCable(c.cable);
        goOnline();
        runPass();
        runPass();
        c.cut();
        ASSERT_FALSE(timing->OnlineShown);
        runPass();
        runPass();
        EXPECT_FALSE(rs.OnlineMode);
        EXPECT_EQ(view.layout, "offline");
        EXPECT_TRUE(timing->pending().empty());
        timing->typedSetpoint(SetpointBox(0, 0), 77, stored[0]);
        EXPECT_EQ(setup.PLSSetpoint[0], stored) << "offline editing is off";
        rs.CommError = false;
    }
}

TEST_F(Timing, AChannelIsProgrammedOnlyOnceBothItsPointsAreKnown) {
    goOnline();
    timing->load();
    timing->ScreenActive = true;
    for (int k = 0; k < 4; ++k) // board, configuration, focus, channel 0's ON point
        runPass();
    ASSERT_EQ(box(0, 0), QStringLiteral("150"));
    const Points stored = setup.PLSSetpoint[5];
    for (const int box : {SetpointBox(5, 0), SetpointBox(0, 0)}) {
        EXPECT_FALSE(view.channelEnabled[box % 8]) << box;
        type(box, 100);
    }
    EXPECT_EQ(k2510().channel(5).at(0).on, 150);
    EXPECT_EQ(k2510().channel(5).at(0).off, 200);
    EXPECT_EQ(k2510().channel(0).at(0).on, 150);
    EXPECT_EQ(setup.PLSSetpoint[5], stored);

    for (int k = 0; k < 30 && !timing->OnlineShown; ++k)
        runPass();
    EXPECT_TRUE(view.channelEnabled[5]);
    type(SetpointBox(5, 0), 100);
    EXPECT_EQ(k2510().channel(5).at(0).on, 100);
    EXPECT_EQ(k2510().channel(5).at(0).off, 200);
    // Cancel at a failed recall leaves a channel unknown again.
    sim.corruptReplies(1, 2);
    view.tmg[1] = QStringLiteral("5");
    timing->recallChannel();
    EXPECT_FALSE(view.channelEnabled[5]);
}

TEST_F(Timing, ResetPLSConfigRefusesAScaleOfZeroOrLessAndSendsNothing) {
    openOnline();
    setup.PLSCfg1 = 3;
    const auto config = k2510().plsConfig();
    for (const std::int16_t scale : {0, -9999}) {
        setup.PLSScale = scale;
        answers.asked.clear();
        timing->resetPLSConfig();
        EXPECT_EQ(answers.asked,
                  (Questions{{QString("The PLS scale factor of the set-up data is "
                                      "%1.\r\nThe PLS data cannot be downloaded.")
                                  .arg(scale),
                              "PLS Config Download", link::Buttons::Ok, link::Icon::Exclamation}}));
        EXPECT_EQ(k2510().plsScale(), 360);
        EXPECT_EQ(k2510().plsConfig(), config);
    }
}

TEST_F(Timing, EachPointIsStoredInItsOwnSlot) {
    openOnline(); // channel 2: ON 155, OFF 175
    struct Case {
        const char* name;
        int point;
        std::function<void(int box)> enter;
    };
    const Case cases[] = {
        {"typed ON", 0, [this](int box) { type(box, 140); }},
        {"typed OFF", 1, [this](int box) { type(box, 190); }},
        {"stepped OFF", 1, [this](int box) { timing->commitSetpoint(box, 190); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        setup.PLSSetpoint[2] = {1, 2};
        c.enter(SetpointBox(2, c.point));
        Points expected = {1, 2};
        expected[c.point] = c.point == 0 ? 140 : 190;
        EXPECT_EQ(setup.PLSSetpoint[2], expected);
    }
    // A recall that stores puts each point where it belongs.
    setup.PLSSetpoint[1] = {0, 0};
    timing->RecallChannelSetpoints(1, true);
    EXPECT_EQ(setup.PLSSetpoint[1], (Points{200, 220}));
}

} // namespace
