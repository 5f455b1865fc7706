#include "TargetBoardMonitor.h"

#include "ProgramFiles.h"
#include "SideFiles.h"
#include "TargetBoardPage.h"
#include "VerifiedTransfer.h"

namespace talvern::targetboard {

TargetBoardMonitor::TargetBoardMonitor(link::RSComm& link, TargetBoardView& view,
                                       QString programFolder, std::function<QDateTime()> now,
                                       std::function<bool()> held)
    : link_(link), view_(view), programFolder_(std::move(programFolder)), now_(std::move(now)) {
    cycle_ = std::make_unique<setup::RefreshCycle>([this] { return buildPass(); }, std::move(held));
}

TargetBoardMonitor::~TargetBoardMonitor() = default;

void TargetBoardMonitor::start() {
    if (cycle_->isActive()) return;
    statusRead_ = false;
    offlineShown_ = false;
    lastSecond_ = -1;
    cycle_->start();
}

void TargetBoardMonitor::stop() {
    cycle_->stop();
}

QString TargetBoardMonitor::sideFile(const char* name) const {
    return link::FindSideFile(programFolder_, QStringLiteral("support/") + QLatin1String(name));
}

void TargetBoardMonitor::tickClock() {
    const QDateTime now = now_();
    const int second = now.time().second();
    if (second == lastSecond_) return;
    lastSecond_ = second;
    view_.showComputerClock(ClockTimeText(now.time()), ClockDateText(now.date()));
}

setup::RefreshCycle::Pass TargetBoardMonitor::buildPass() {
    using Step = setup::RefreshCycle::Step;
    setup::RefreshCycle::Pass pass;
    if (link_.OnlineMode && link_.CommError) {
        link_.OnlineMode = false;
        statusRead_ = false;
        view_.wentOffline();
    }
    std::vector<Step> steps;
    if (!link_.OnlineMode) {
        if (!offlineShown_) {
            view_.showOfflineState();
            offlineShown_ = true;
        }
        statusRead_ = false;
        // Nothing to read: the pass only keeps the clock labels going, a few times a second.
        cycle_->setPassInterval(200);
    } else {
        cycle_->setPassInterval(0);
        offlineShown_ = false;
        if (!statusRead_) addStatusSteps(steps);
        addSettingsSteps(steps);
    }
    if (steps.empty()) steps.push_back([] { return true; });
    // The clock labels follow the computer's second between reads.
    for (Step& step : steps)
        step = [this, inner = std::move(step)] {
            const bool more = inner();
            tickClock();
            return more;
        };
    pass.steps = std::move(steps);
    return pass;
}

void TargetBoardMonitor::addStatusSteps(std::vector<setup::RefreshCycle::Step>& steps) {
    steps.push_back([this] {
        view_.showOnlineLook();
        return true;
    });
    for (int k = 0; k < 6; ++k)
        steps.push_back([this, k] {
            failed_[k] = link_.CommError;
            int value = 0x42;
            std::optional<QString> read;
            if (!link_.CommError) {
                read = link::ReadOnce(link_, QString::fromLatin1(kStatusAddresses[k]));
                failed_[k] = link_.CommError;
                if (failed_[k]) value = 0x42;
            }
            if (!failed_[k] && !read) {
                // A failed read: no code, no description, no advice.
                codes_[k] = QStringLiteral("-");
                if (k != 3 && (k != 2 || view_.coCpuSlotVisible()))
                    view_.showStatusLabel(k, StatusLabel(k, codes_[k]));
                return true;
            }
            if (read) value = read->toInt();
            codes_[k] = StatusCodeText(value);
            if (k != 2 && !failed_[k] && value != 0) view_.setResetFaultsEnabled(true);
            if (k != 3 && (k != 2 || view_.coCpuSlotVisible()))
                view_.showStatusLabel(k, StatusLabel(k, codes_[k]));
            return true;
        });
    steps.push_back([this] {
        const QString faults = sideFile("FaultErrCodes.txt");
        const QString comms = sideFile("CommErrCodes.txt");
        for (int k : {0, 1})
            view_.showDescription(k, CodeDescription(faults, codes_[k]));
        for (int k : {4, 5})
            view_.showDescription(k, CodeDescription(comms, codes_[k]));
        if (view_.coCpuSlotVisible() && !link_.CommError)
            view_.showStatusLabel(
                2,
                QStringLiteral("CO-CPU Slot: ") +
                    link::ReadOnce(link_, QStringLiteral("B8175")).value_or(QStringLiteral("-")));
        bool known = false;
        const int lastFault = codes_[3].toInt(&known, 16);
        view_.showDescription(3, known ? CorrectiveAction(lastFault) : QString());
        identName_.clear();
        return true;
    });
    for (int j = 0; j < 10; ++j)
        steps.push_back([this, j] {
            if (link_.CommError) return true;
            const std::optional<QString> value =
                link::ReadOnce(link_, QStringLiteral("B%1").arg(61424 + j));
            if (j == 0) {
                identName_.clear();
                // A board left half-loaded by a dump: whatever else the block holds names nothing.
                noProgram_ = value && !IdentNamesProgram(value->toInt());
            }
            if (noProgram_) {
                view_.showBoardIdent(j < 8    ? 0
                                     : j == 8 ? 2
                                              : 1,
                                     j < 8 ? kNoValidProgram : QStringLiteral("-"));
            } else if (j < 8) {
                // A character not read shows as "-".
                const int code = value ? value->toInt() : '-';
                if (code != 0) identName_ += QChar(code);
                view_.showBoardIdent(0, identName_);
            } else {
                // lblRevIdentInPLC: 0 name, 1 revision, 2 checksum.
                view_.showBoardIdent(j == 8 ? 2 : 1, value.value_or(QStringLiteral("-")));
            }
            return true;
        });
    steps.push_back([this] {
        if (!link_.CommError) view_.setGoOnlineVisible(false);
        statusRead_ = true;
        return true;
    });
}

void TargetBoardMonitor::addSettingsSteps(std::vector<setup::RefreshCycle::Step>& steps) {
    for (int i = 0; i < static_cast<int>(kSetupFields.size()); ++i)
        steps.push_back([this, i] {
            if (!link_.OnlineMode) return false;
            const std::optional<QString> value =
                link::ReadOnce(link_, QString::fromLatin1(kSetupFields[i].address));
            if (link_.CommError) return false;
            fields_[i].read(value ? std::optional<std::int64_t>(value->toLongLong())
                                  : std::nullopt);
            view_.showField(i,
                            value ? (QStringLiteral("00") + *value).right(2) : QStringLiteral("-"));
            return true;
        });
}

void TargetBoardMonitor::fieldWritten(int i, const QString& text, bool took) {
    if (took)
        fields_.at(i).wrote(text.toLongLong());
    else
        fields_.at(i).forget();
}

} // namespace talvern::targetboard
