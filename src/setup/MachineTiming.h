#pragma once
// The machine-timing screen without its window: the PLS channels, resolver offset and
// configuration of the K2510 and the live status the screen shows. The window shows what this
// tells it through TimingView and hands it the user's commands; everything said to the PLS and
// every question asked is here.
//
// Its refresh cycle runs on RefreshCycle: one PLS transaction per step. A pass checks the board
// and reads RPM, RPM again, position, offset and scale; a read that failed shows "-" in its
// panel and is acted on as nothing (a failed RPM counts as running). The display set-up online
// (configuration upload and the recall of all eight channels) and the recall after a PLS download
// elsewhere run as passes of one step each, so that they too say one thing to the PLS per step.

#include "Platform.h"
#include "RSComm.h"
#include "RefreshCycle.h"
#include "SetupData.h"

#include <QString>
#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>

namespace talvern::setup {

inline constexpr int kPLSChannels = 8;
// A channel that holds no setpoint.
inline const QString kNoSetpoint = QStringLiteral("*****");
// A value not obtained because the user cancelled a retry.
inline const QString kNotObtained = QStringLiteral("---");

// "CH0" followed by the channel number.
QString ChannelName(int channel);
// Setpoint box of a channel's ON (point 0) or OFF (point 1) point; boxes 0..15.
inline int SetpointBox(int channel, int point) {
    return channel + point * kPLSChannels;
}
// The position panel shows the PLS position only below this speed.
inline bool PositionShownAt(std::int16_t rpm) {
    return rpm < 51;
}
// Running and standing, as seen by the RPM reads of successive passes.
struct RunStop {
    bool MachineStopped = false;
    bool WasStopped = false;
    bool StopEdge = false;
    bool StartEdge = false;
    void clear() { *this = RunStop{}; }
    // A failed read (nothing) counts as running.
    void observe(std::optional<std::int16_t> rpm);
};

// What the screen shows; the window implements it.
class TimingView {
public:
    virtual ~TimingView() = default;
    // Setpoint box 0..15: its whole number when it shows one, nothing for "*****", "-", "---".
    virtual std::optional<std::int32_t> setpointNumber(int box) const = 0;
    virtual void setSetpointText(int box, const QString& text) = 0;
    // lblPLSCfg(0..9).
    virtual void setConfigText(int i, const QString& text) = 0;
    // Status bar panels 1..4.
    virtual void setPanelText(int panel, const QString& text) = 0;
    // txtTmg(0) (offset) or txtTmg(1) (channel): rewritten as its whole number, which is returned.
    virtual std::int32_t settleWholeNumber(int i) = 0;
    virtual void setTmgText(int i, const QString& text) = 0;
    // The "Resolver Offset" group with its box, spinner and button.
    virtual void setOffsetGroupEnabled(bool enabled) = 0;
    // Everything enabled, every setpoint box "-".
    virtual void showOnlineLayout() = 0;
    // Online, a channel's two boxes and spinners can be edited only once both its points are
    // known (recalled, typed or stepped).
    virtual void setChannelEnabled(int /*channel*/, bool /*enabled*/) {}
    // Groups, boxes and buttons enabled as offline (with or without offline editing) allows.
    virtual void showOfflineLayout(bool offlineEditing) = 0;
    virtual void focusDefault() = 0;
    // The machine position for the pointer of the dial, nothing when it is not shown.
    virtual void showMachinePosition(std::optional<int> /*position*/) {}
    virtual void showScale(int /*scale*/) {}
};

// The program-wide state the screen reads and consumes, and the shell's routines it calls.
struct TimingShared {
    bool* offlineEditing = nullptr;
    bool* setupReset = nullptr;
    bool* plsDownloaded = nullptr;
    std::function<bool(int board)> checkTargetBoard;
    std::function<void()> updateOnlineState;
};

// Link operations run one after another; an operation may put more in front (a retry).
class OperationQueue {
public:
    using Operation = std::function<void()>;
    void pushBack(Operation op) { ops_.push_back(std::move(op)); }
    void pushFront(Operation op) { ops_.push_front(std::move(op)); }
    bool empty() const { return ops_.empty(); }
    void clear() { ops_.clear(); }
    // Runs the first operation; false when there was none.
    bool runOne();
    void runAll() {
        while (runOne()) {}
    }

private:
    std::deque<Operation> ops_;
};

class MachineTiming {
public:
    MachineTiming(link::RSComm& link, SetupData& setup, link::UserAnswers& answers,
                  TimingView& view, TimingShared shared);

    // --- Screen state ---
    bool ScreenActive = false;
    bool OnlineShown = false;
    bool OfflineShown = false;
    bool OfflineEditSeen = false;
    RunStop runStop;

    // Load and Activate: the display set-up for the current mode.
    void load();
    // The refresh cycle's next pass.
    RefreshCycle::Pass buildPass();
    // Offline passes only check the shared flags: they need not follow each other at once.
    int passInterval() const { return link_.OnlineMode ? 0 : kOfflinePassMs; }

    // --- The setpoint boxes ---
    // A typed number the range check passed: the refusal message when ON and OFF would be
    // equal, empty otherwise (also when the number is the one the box had on entry).
    QString setpointRefusal(int box, std::int32_t value, std::int32_t entryValue) const;
    // A number typed and accepted: nothing happens when it is the one the box had on entry.
    void typedSetpoint(int box, std::int32_t value, std::int32_t entryValue);
    // A number accepted (typed and changed, or stepped): stored, and programmed online.
    void commitSetpoint(int box, std::int32_t value);

    // --- The buttons ---
    void setOffset();
    void recallChannel();
    void clearChannel();
    void resetPLSConfig();

    // --- Building blocks, public for the tests ---
    void SetupOnlineDisplay();
    void SetupOfflineDisplay();
    void ShowPLSConfig();
    // Queues the two recalls of a channel (in front: a retry runs before what was queued).
    void queueRecall(OperationQueue& queue, int channel, bool store, bool inFront = false);
    void RecallChannelSetpoints(int channel, bool store);
    // The queued display set-up or recall that the cycle is working through.
    const OperationQueue& pending() const { return pending_; }

private:
    static constexpr int kOfflinePassMs = 100;

    bool head();
    bool checkBoard();
    void readRpm();
    void readRpmForPosition();
    void readPosition();
    void readOffset();
    void readScale();
    bool readStep(const std::function<void()>& read);
    bool pendingStep();
    void queueRecallAll(OperationQueue& queue);
    void recallOnce(OperationQueue& queue, int channel, bool store,
                    const std::shared_ptr<bool>& ended);
    void storePoint(int channel, int point, std::int16_t value);
    void setKnown(int channel, int point, bool known);
    void markChannel(int channel, const QString& text);
    std::int16_t setpointOrZero(int box) const;

    link::RSComm& link_;
    SetupData& setup_;
    link::UserAnswers& answers_;
    TimingView& view_;
    TimingShared shared_;
    OperationQueue pending_;
    bool positionDue_ = false;
    // Which setpoint boxes show what the PLS (online) or the working data (offline) holds: a
    // channel is programmed from both its boxes, so never while one of them is not known.
    std::array<std::array<bool, 2>, kPLSChannels> known_{};
};

} // namespace talvern::setup
