#include "MachineTiming.h"

#include "DataTransfer.h"
#include "VerifiedTransfer.h"

#include <memory>

namespace talvern::setup {

namespace {
const QString kCRLF = QStringLiteral("\r\n");
const QString kContinue = kCRLF + kCRLF + QStringLiteral("Do you wish to continue?");
constexpr int kK2510 = kBoardK2510;
const QString kNotRead = QStringLiteral("-");

QString ValueText(const std::optional<std::int16_t>& value) {
    return value ? QString::number(*value) : kNotRead;
}
} // namespace

QString ChannelName(int channel) {
    return QStringLiteral("CH0") + QString::number(channel);
}

void RunStop::observe(std::optional<std::int16_t> rpm) {
    MachineStopped = rpm && *rpm == 0;
    StopEdge = MachineStopped && !WasStopped;
    StartEdge = WasStopped && !MachineStopped;
    WasStopped = MachineStopped;
}

bool OperationQueue::runOne() {
    if (ops_.empty()) return false;
    Operation op = std::move(ops_.front());
    ops_.pop_front();
    op();
    return true;
}

MachineTiming::MachineTiming(link::RSComm& link, SetupData& setup, link::UserAnswers& answers,
                             TimingView& view, TimingShared shared)
    : link_(link), setup_(setup), answers_(answers), view_(view), shared_(std::move(shared)) {}

void MachineTiming::load() {
    OfflineEditSeen = *shared_.offlineEditing;
    if (link_.OnlineMode)
        SetupOnlineDisplay();
    else
        SetupOfflineDisplay();
}

// --- The refresh cycle ---------------------------------------------------------------------

RefreshCycle::Pass MachineTiming::buildPass() {
    RefreshCycle::Pass pass;
    if (!pending_.empty()) {
        pass.steps.push_back([this] { return pendingStep(); });
        return pass;
    }
    pass.steps = {
        [this] { return head(); },
        [this] { return checkBoard(); },
        [this] { return readStep([this] { readRpm(); }); },
        [this] { return readStep([this] { readRpmForPosition(); }); },
        [this] { return readStep([this] { readPosition(); }); },
        [this] { return readStep([this] { readOffset(); }); },
        [this] { return readStep([this] { readScale(); }); },
    };
    return pass;
}

bool MachineTiming::head() {
    if (!ScreenActive) return false;
    if (link_.CommError) {
        link_.OnlineMode = false;
        OnlineShown = false;
        if (shared_.updateOnlineState) shared_.updateOnlineState();
    }
    if (!link_.OnlineMode) {
        // After a New the offline display is rebuilt from the new working data.
        if (*shared_.setupReset) {
            *shared_.setupReset = false;
            OfflineShown = false;
        }
        if (!OfflineShown) {
            SetupOfflineDisplay();
            view_.focusDefault();
        }
        OnlineShown = false;
        if (*shared_.offlineEditing != OfflineEditSeen) {
            OfflineEditSeen = *shared_.offlineEditing;
            OfflineShown = false;
        }
        return false;
    }
    if (!OnlineShown) {
        // The set-up runs as the next passes.
        SetupOnlineDisplay();
        view_.focusDefault();
        return false;
    }
    OfflineShown = false;
    return true;
}

bool MachineTiming::checkBoard() {
    if (!ScreenActive || !link_.OnlineMode || link_.CommError) return false;
    return shared_.checkTargetBoard(kK2510);
}

bool MachineTiming::readStep(const std::function<void()>& read) {
    if (!ScreenActive || !link_.OnlineMode) return false;
    // After a PLS download elsewhere the boxes show the board's setpoints again.
    if (*shared_.plsDownloaded) {
        *shared_.plsDownloaded = false;
        queueRecallAll(pending_);
        return false;
    }
    if (link_.CommError) return false;
    read();
    return true;
}

bool MachineTiming::pendingStep() {
    if (!ScreenActive) return false;
    if (!link_.OnlineMode || link_.CommError) {
        pending_.clear();
        return false;
    }
    pending_.runOne();
    return true;
}

void MachineTiming::readRpm() {
    const std::optional<std::int16_t> rpm = link::ReadOnce(link_, &link::RSComm::PLSRpm);
    view_.setPanelText(1, QStringLiteral("RPM: ") + ValueText(rpm));
    runStop.observe(rpm);
    // The offset can be changed only while the machine stands.
    if (runStop.StopEdge) view_.setOffsetGroupEnabled(true);
    if (runStop.StartEdge) view_.setOffsetGroupEnabled(false);
}

void MachineTiming::readRpmForPosition() {
    const std::optional<std::int16_t> rpm = link::ReadOnce(link_, &link::RSComm::PLSRpm);
    positionDue_ = rpm && PositionShownAt(*rpm);
    if (positionDue_) return;
    // Not read: nothing is known of the speed, so neither the position nor "888".
    view_.setPanelText(2, QStringLiteral("Position: ") + (rpm ? QStringLiteral("888") : kNotRead));
    view_.showMachinePosition(std::nullopt);
}

void MachineTiming::readPosition() {
    if (!positionDue_) return;
    const std::optional<std::int16_t> position = link::ReadOnce(link_, &link::RSComm::PLSPos);
    view_.setPanelText(2, QStringLiteral("Position: ") + ValueText(position));
    view_.showMachinePosition(position ? std::optional<int>(*position) : std::nullopt);
}

void MachineTiming::readOffset() {
    view_.setPanelText(3, QStringLiteral("Offset: ") +
                              ValueText(link::ReadOnce(link_, &link::RSComm::PLSOffset)));
}

void MachineTiming::readScale() {
    const std::optional<std::int16_t> scale = link::ReadOnce(link_, &link::RSComm::PLSScaleFactor);
    view_.setPanelText(4, QStringLiteral("Scale: ") + ValueText(scale));
    if (scale && *scale > 0) view_.showScale(*scale);
}

// --- Display set-ups -----------------------------------------------------------------------

void MachineTiming::SetupOnlineDisplay() {
    runStop.clear();
    pending_.clear();
    // The offline layout is gone: whatever ends this set-up, the next offline pass rebuilds it.
    OfflineShown = false;
    view_.showOnlineLayout();
    view_.showMachinePosition(std::nullopt);
    // The board is checked before the PLS is asked anything: PLS commands sent to the motion
    // board would only end in link failures.
    pending_.pushBack([this] {
        if (!shared_.checkTargetBoard(kK2510)) pending_.clear();
    });
    pending_.pushBack([this] {
        ShowPLSConfig();
        // Without the configuration the set-up is tried again by the next pass.
        if (link_.CommError) pending_.clear();
    });
    queueRecallAll(pending_);
    pending_.pushBack([this] { OnlineShown = true; });
}

void MachineTiming::SetupOfflineDisplay() {
    runStop.clear();
    pending_.clear();
    view_.showOfflineLayout(*shared_.offlineEditing);
    view_.setPanelText(1, QStringLiteral("RPM: -"));
    view_.setPanelText(2, QStringLiteral("Position: -"));
    view_.setPanelText(3, QStringLiteral("Offset: ") + QString::number(setup_.PLSOfs));
    view_.setPanelText(4, QStringLiteral("Scale: ") + QString::number(setup_.PLSScale));
    for (int c = 0; c < kPLSChannels; ++c)
        for (int point = 0; point < 2; ++point) {
            view_.setSetpointText(SetpointBox(c, point),
                                  QString::number(setup_.PLSSetpoint[c][point]));
            known_[c][point] = true;
        }
    view_.setConfigText(0, QString::number(setup_.PLSCfg0));
    view_.setConfigText(1, QString::number(setup_.PLSCfg1));
    for (int i = 0; i < 8; ++i)
        view_.setConfigText(2 + i, QString::number(setup_.PLSCfgRest[i]));
    view_.showMachinePosition(std::nullopt);
    if (setup_.PLSScale > 0) view_.showScale(setup_.PLSScale);
    // Filled once per offline set-up: the user may be typing in the boxes between passes.
    OfflineShown = true;
}

void MachineTiming::ShowPLSConfig() {
    if (!link_.OnlineMode) return;
    const std::array<std::int16_t, 19> words = link_.PLSConfigUpload();
    if (link_.CommError) return;
    const bool read = !link_.LastTransactionFailed();
    for (int i = 0; i < 10; ++i)
        view_.setConfigText(i, read ? QString::number(words[i]) : kNotRead);
}

// --- Recalls -------------------------------------------------------------------------------

void MachineTiming::queueRecallAll(OperationQueue& queue) {
    // Until its recall, a channel's boxes show what the PLS no longer (or not yet) holds.
    for (int c = 0; c < kPLSChannels; ++c) {
        setKnown(c, 0, false);
        setKnown(c, 1, false);
    }
    queue.pushBack([this] { view_.focusDefault(); });
    for (int c = 0; c < kPLSChannels; ++c)
        queueRecall(queue, c, false);
}

void MachineTiming::queueRecall(OperationQueue& queue, int channel, bool store, bool inFront) {
    // A recall yields one switching point; two recalls yield both. A channel without setpoints
    // ends its recall after the first.
    auto ended = std::make_shared<bool>(false);
    auto step = [this, &queue, channel, store, ended] { recallOnce(queue, channel, store, ended); };
    if (inFront) {
        queue.pushFront(step);
        queue.pushFront(step);
    } else {
        queue.pushBack(step);
        queue.pushBack(step);
    }
}

void MachineTiming::RecallChannelSetpoints(int channel, bool store) {
    OperationQueue queue;
    queueRecall(queue, channel, store);
    queue.runAll();
}

void MachineTiming::recallOnce(OperationQueue& queue, int channel, bool store,
                               const std::shared_ptr<bool>& ended) {
    if (*ended) return;
    const bool ok = link_.OnlineMode && link_.RecallChannel(static_cast<std::int16_t>(channel)) &&
                    !link_.LastTransactionFailed();
    if (!ok) {
        *ended = true;
        if (link_.CommError) {
            // The link has reported it; nothing more is asked of the PLS.
            queue.clear();
            return;
        }
        const link::Answer answer = answers_.ask(QStringLiteral("Unable to Recall Channel"),
                                                 QStringLiteral("Channel Recall"),
                                                 link::Buttons::RetryCancel, link::Icon::Question);
        if (answer == link::Answer::Retry)
            queueRecall(queue, channel, store, true);
        else
            markChannel(channel, kNotObtained);
        return;
    }
    const std::int16_t state = link_.ChannelRecallState();
    const std::int16_t position = link_.ChannelRecallPos();
    if (state == 1 || state == 0) {
        // State 1: the ON point; state 0: the OFF point.
        const int point = state == 1 ? 0 : 1;
        view_.setSetpointText(SetpointBox(channel, point), QString::number(position));
        setKnown(channel, point, true);
        if (store) storePoint(channel, point, position);
        return;
    }
    markChannel(channel, kNoSetpoint);
    // No setpoint: both points are 0 to the PLS.
    setKnown(channel, 0, true);
    setKnown(channel, 1, true);
    if (store) {
        storePoint(channel, 0, 0);
        storePoint(channel, 1, 0);
    }
    *ended = true;
}

void MachineTiming::storePoint(int channel, int point, std::int16_t value) {
    setup_.PLSSetpoint[channel][point] = value;
}

void MachineTiming::markChannel(int channel, const QString& text) {
    view_.setSetpointText(SetpointBox(channel, 0), text);
    view_.setSetpointText(SetpointBox(channel, 1), text);
    if (text == kNotObtained) {
        setKnown(channel, 0, false);
        setKnown(channel, 1, false);
    }
}

void MachineTiming::setKnown(int channel, int point, bool known) {
    known_[channel][point] = known;
    if (link_.OnlineMode)
        view_.setChannelEnabled(channel, known_[channel][0] && known_[channel][1]);
}

// --- Setpoints -----------------------------------------------------------------------------

QString MachineTiming::setpointRefusal(int box, std::int32_t value, std::int32_t entryValue) const {
    if (value == entryValue) return {};
    const int other = box < kPLSChannels ? box + kPLSChannels : box - kPLSChannels;
    const std::optional<std::int32_t> otherValue = view_.setpointNumber(other);
    if (otherValue && *otherValue == value)
        return QStringLiteral("ON Setpoint cannot Equal OFF Setpoint");
    return {};
}

std::int16_t MachineTiming::setpointOrZero(int box) const {
    return static_cast<std::int16_t>(view_.setpointNumber(box).value_or(0));
}

void MachineTiming::typedSetpoint(int box, std::int32_t value, std::int32_t entryValue) {
    if (value != entryValue) commitSetpoint(box, value);
}

void MachineTiming::commitSetpoint(int box, std::int32_t value) {
    const int channel = box % kPLSChannels;
    const int point = box / kPLSChannels;
    if (!link_.OnlineMode && !*shared_.offlineEditing) return;
    // Programming takes both points: with the other one still unknown the PLS would get 0.
    if (link_.OnlineMode && !known_[channel][1 - point]) return;
    storePoint(channel, point, static_cast<std::int16_t>(value));
    setKnown(channel, point, true);
    if (!link_.OnlineMode) return;
    // The whole channel is reprogrammed: cleared, then set to the two boxes' points.
    const bool ok =
        link_.SingleSetpoint(static_cast<std::int16_t>(channel), setpointOrZero(channel),
                             setpointOrZero(channel + kPLSChannels), true);
    if (!ok && !link_.CommError)
        answers_.ask(QStringLiteral("Unable to Successfully Program Setpoint for Channel ") +
                         ChannelName(channel) + QStringLiteral("."),
                     QStringLiteral("Channel Setpoint"), link::Buttons::Ok, link::Icon::Critical);
}

// --- Buttons -------------------------------------------------------------------------------

void MachineTiming::setOffset() {
    const std::int32_t position = view_.settleWholeNumber(0);
    if (!link_.OnlineMode) return;
    const link::Answer answer = answers_.ask(
        QStringLiteral("You are about to Change the Resolver Offset.") + kContinue,
        QStringLiteral("Set Offset"), link::Buttons::YesNoCancel, link::Icon::Question);
    if (answer != link::Answer::Yes) {
        view_.setTmgText(0, QStringLiteral("0"));
        return;
    }
    const bool ok = link_.SetPLSOffset(static_cast<std::int16_t>(position));
    if (link_.CommError) return;
    if (!ok) {
        answers_.ask(QStringLiteral("Unable to Successfully Set the Resolver Offset"),
                     QStringLiteral("Resolver Offset"), link::Buttons::Ok, link::Icon::Critical);
        view_.setTmgText(0, QStringLiteral("0"));
        return;
    }
    // The working data keeps the PLS's offset, as an upload reads it (the wanted position is
    // not an offset), confirmed.
    const std::optional<std::int16_t> offset = link::ReadAgreed<std::int16_t>(
        link_, [this] { return link::ReadOnce(link_, &link::RSComm::PLSOffset); });
    if (offset) setup_.PLSOfs = *offset;
}

void MachineTiming::recallChannel() {
    const std::int32_t channel = view_.settleWholeNumber(1);
    if (channel < 0 || channel >= kPLSChannels) return;
    RecallChannelSetpoints(channel, false);
}

void MachineTiming::clearChannel() {
    for (;;) {
        const std::int32_t channel = view_.settleWholeNumber(1);
        if (channel < 0 || channel >= kPLSChannels) return;
        const link::Answer answer = answers_.ask(
            QStringLiteral("You are about to Clear Channel ") + ChannelName(channel) +
                QStringLiteral(".") + kContinue,
            QStringLiteral("Clear Channel"), link::Buttons::YesNoCancel, link::Icon::Question);
        if (answer != link::Answer::Yes) return;
        if (!link_.OnlineMode) {
            if (!*shared_.offlineEditing) return;
            markChannel(channel, kNoSetpoint);
            storePoint(channel, 0, 0);
            storePoint(channel, 1, 0);
            return;
        }
        const bool ok = link_.ClearPLSChan(static_cast<std::int16_t>(channel));
        if (link_.CommError) return;
        if (ok) {
            // The boxes and the working data show what the PLS now holds.
            RecallChannelSetpoints(channel, true);
            return;
        }
        const link::Answer retry =
            answers_.ask(QStringLiteral("Unable to Clear Channel"), QStringLiteral("Clear Channel"),
                         link::Buttons::RetryCancel, link::Icon::Question);
        if (retry != link::Answer::Retry) {
            markChannel(channel, kNotObtained);
            return;
        }
    }
}

void MachineTiming::resetPLSConfig() {
    if (!link_.OnlineMode) return;
    // Refused as the data download refuses it: nothing is sent.
    if (const QString refusal = PLSScaleRefusal(setup_); !refusal.isEmpty()) {
        answers_.ask(refusal, QStringLiteral("PLS Config Download"), link::Buttons::Ok,
                     link::Icon::Exclamation);
        return;
    }
    for (;;) {
        // The configuration held in the working data goes back to the PLS.
        const bool ok = link_.PLSConfigDownload(PLSDownloadArray(setup_), setup_.PLSScale);
        if (link_.CommError) return;
        if (ok) {
            ShowPLSConfig();
            return;
        }
        const link::Answer retry =
            answers_.ask(QStringLiteral("Unable to Reset PLS Configuration Parameters"),
                         QStringLiteral("PLS Config Download"), link::Buttons::RetryCancel,
                         link::Icon::Question);
        if (retry != link::Answer::Retry) {
            for (int i = 0; i < 10; ++i)
                view_.setConfigText(i, kNotObtained);
            return;
        }
    }
}

} // namespace talvern::setup
