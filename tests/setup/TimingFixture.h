#pragma once
// The machine-timing screen's logic against the simulated K2510, with a view that only records.
#include "MachineTiming.h"
#include "OnlineState.h"
#include "SimulatedRig.h"

#include <gtest/gtest.h>

namespace talvern::testing {

using namespace talvern::setup;
using boards::BoardId;
using link::Answer;

constexpr int kSpeedLow = 1026; // W1026, the machine's running speed

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

} // namespace talvern::testing
