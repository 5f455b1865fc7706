// The machine-timing screen's logic against the simulated K2510, with a view that only records.
#include "MachineTiming.h"
#include "DataTransfer.h"
#include "OnlineState.h"
#include "SimulatedRig.h"

#include <gtest/gtest.h>
#include <tuple>

namespace talvern::testing {
namespace {

using namespace talvern::setup;
using boards::BoardId;
using link::Answer;

class RecordingView : public TimingView {
public:
    std::optional<std::int32_t> setpointNumber(int box) const override {
        bool ok = false;
        const int n = boxes[box].toInt(&ok);
        return ok ? std::optional<std::int32_t>(n) : std::nullopt;
    }
    void setSetpointText(int box, const QString& text) override { boxes[box] = text; }
    void setConfigText(int i, const QString& text) override { config[i] = text; }
    void setPanelText(int panel, const QString& text) override { panels[panel] = text; }
    std::int32_t settleWholeNumber(int i) override { return tmg[i].toInt(); }
    void setTmgText(int i, const QString& text) override { tmg[i] = text; }
    void setOffsetGroupEnabled(bool enabled) override { offsetEnabled = enabled; }
    void showOnlineLayout() override {
        layout = "online";
        offsetEnabled = true;
        boxes.fill(QStringLiteral("-"));
    }
    void setChannelEnabled(int channel, bool enabled) override {
        channelEnabled[channel] = enabled;
    }
    void showOfflineLayout(bool editing) override {
        layout = editing ? "offline editing" : "offline";
        offsetEnabled = false;
    }
    void focusDefault() override {}
    void showMachinePosition(std::optional<int> p) override { position = p; }

    std::array<QString, 16> boxes;
    std::array<QString, 10> config;
    std::array<QString, 5> panels;
    std::array<QString, 2> tmg{QStringLiteral("0"), QStringLiteral("0")};
    bool offsetEnabled = false;
    std::array<bool, 8> channelEnabled{};
    std::string layout;
    std::optional<int> position;
};

class Timing : public ::testing::Test, protected SimulatedLink {
protected:
    Timing() {
        setup = FactoryDefaults(QStringLiteral("TALVERN_R2.1.4"));
        TimingShared shared;
        shared.offlineEditing = &offlineEditing;
        shared.setupReset = &setupReset;
        shared.plsDownloaded = &plsDownloaded;
        shared.checkTargetBoard = [this](int board) {
            return CheckTargetBoard(rs, answers, events, board, [this] { rs.OnlineMode = false; });
        };
        shared.updateOnlineState = [this] { rs.OnlineMode = false; };
        timing = std::make_unique<MachineTiming>(rs, setup, answers, view, shared);
    }
    void openOnline() {
        goOnline();
        ASSERT_TRUE(rs.OnlineMode);
        timing->load();
        timing->ScreenActive = true;
        for (int k = 0; k < 40 && !timing->OnlineShown; ++k)
            runPass();
        ASSERT_TRUE(timing->OnlineShown);
        answers.asked.clear();
    }
    void openOffline() {
        timing->load();
        timing->ScreenActive = true;
        runPass();
    }
    void runPass() {
        RefreshCycle::Pass pass = timing->buildPass();
        for (auto& step : pass.steps)
            if (!step()) break;
        if (pass.atEnd) pass.atEnd();
    }
    // A number typed over what the box showed, as the window's editor passes it on.
    void type(int box, std::int32_t value) {
        const std::int32_t entry = view.boxes[box].toInt();
        view.boxes[box] = QString::number(value);
        timing->typedSetpoint(box, value, entry);
    }
    // Lets the simulated machine reach its speed.
    void settle() { clock.advance(20); }
    QString box(int channel, int point) const { return view.boxes[SetpointBox(channel, point)]; }
    boards::K2510Board& k2510() { return sim.k2510(); }

    SetupData setup;
    RecordingView view;
    bool offlineEditing = false;
    bool setupReset = false;
    bool plsDownloaded = false;
    std::unique_ptr<MachineTiming> timing;
};

TEST_F(Timing, OnlineSetUpShowsTheBoardsSetpointsAndConfiguration) {
    openOnline();
    EXPECT_EQ(view.layout, "online");
    QStringList onOff;
    for (int c = 0; c < 8; ++c)
        onOff << box(c, 0) + '-' + box(c, 1);
    EXPECT_EQ(onOff.join(' '), "150-170 200-220 155-175 110-130 150-350 150-200 120-190 180-0");
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
        sim.pokeWord(BoardId::K2510, 1026, static_cast<std::uint16_t>(rpm)); // the running speed
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
    EXPECT_EQ(std::pair(box(4, 0), box(4, 1)), std::pair(kNoSetpoint, kNoSetpoint));
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
    EXPECT_EQ(std::pair(box(1, 0), box(1, 1)), std::pair(QString("200"), QString("220")));
    EXPECT_FALSE(rs.CommError);

    answers.asked.clear();
    sim.corruptReplies(1, 2);
    timing->recallChannel(); // Cancel
    ASSERT_EQ(answers.asked.size(), 1u);
    EXPECT_EQ(std::pair(box(1, 0), box(1, 1)), std::pair(kNotObtained, kNotObtained));
}

TEST_F(Timing, ResetPLSConfigSendsTheWorkingConfiguration) {
    openOnline();
    setup.PLSCfg0 = 6;
    setup.PLSCfg1 = 2;
    setup.PLSCfgRest = {11, 12, 13, 14, 15, 16, 17, 18};
    timing->resetPLSConfig();
    EXPECT_EQ(QStringList(view.config.begin(), view.config.end()).join(' '),
              "6 2 11 12 13 14 15 16 17 18");
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

using Points = std::array<std::int16_t, 2>;

TEST_F(Timing, WhateverEndsTheOnlineSetUpTheNextPassShowsTheOfflineLayout) {
    // What cuts the set-up short after two steps, with the cable on which board.
    const std::tuple<const char*, BoardId, std::function<void()>> cases[] = {
        {"Cancel at the K2510 prompt", BoardId::R7520, [] {}},
        {"going offline", BoardId::K2510, [this] { rs.OnlineMode = false; }},
        {"a link failure", BoardId::K2510, [this] { rs.CommError = true; }},
    };
    const Points stored = setup.PLSSetpoint[0];
    openOffline();
    for (const auto& [name, cable, cut] : cases) {
        SCOPED_TRACE(name);
        sim.moveCable(cable);
        goOnline();
        runPass();
        runPass();
        cut();
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

// The refusal is the transfer's own (its text is pinned there).
TEST_F(Timing, ResetPLSConfigRefusesAScaleOfZeroAndSendsNothing) {
    openOnline();
    setup.PLSCfg1 = 3;
    setup.PLSScale = 0;
    const auto config = k2510().plsConfig();
    timing->resetPLSConfig();
    EXPECT_EQ(answers.asked, (Questions{{PLSScaleRefusal(setup), "PLS Config Download",
                                         link::Buttons::Ok, link::Icon::Exclamation}}));
    EXPECT_EQ(k2510().plsScale(), 360);
    EXPECT_EQ(k2510().plsConfig(), config);
}

TEST_F(Timing, EachPointIsStoredInItsOwnSlot) {
    openOnline(); // channel 2: ON 155, OFF 175
    const std::tuple<const char*, int, std::function<void(int box)>> cases[] = {
        {"typed ON", 0, [this](int box) { type(box, 140); }},
        {"typed OFF", 1, [this](int box) { type(box, 190); }},
        {"stepped OFF", 1, [this](int box) { timing->commitSetpoint(box, 190); }},
    };
    for (const auto& [name, point, enter] : cases) {
        SCOPED_TRACE(name);
        setup.PLSSetpoint[2] = {1, 2};
        enter(SetpointBox(2, point));
        Points expected = {1, 2};
        expected[point] = point == 0 ? 140 : 190;
        EXPECT_EQ(setup.PLSSetpoint[2], expected);
    }
    // A recall that stores puts each point where it belongs.
    setup.PLSSetpoint[1] = {0, 0};
    timing->RecallChannelSetpoints(1, true);
    EXPECT_EQ(setup.PLSSetpoint[1], (Points{200, 220}));
}

} // namespace
} // namespace talvern::testing
