#include "RefreshCycle.h"

#include <algorithm>

namespace talvern::setup {

namespace {
std::function<long()>& ActivityCounter() {
    static std::function<long()> counter;
    return counter;
}
} // namespace

void RefreshCycle::SetActivityCounter(std::function<long()> counter) {
    ActivityCounter() = std::move(counter);
}

RefreshCycle::RefreshCycle(PassBuilder builder, std::function<bool()> held, QObject* parent)
    : QObject(parent), builder_(std::move(builder)), held_(std::move(held)) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, [this] {
        runStep();
        if (active_ && !timer_.isActive()) schedule(isHeld() ? 50 : 0);
    });
}

void RefreshCycle::start() {
    if (active_) return;
    active_ = true;
    schedule(0);
}

void RefreshCycle::stop() {
    active_ = false;
    timer_.stop();
    pending_.clear();
    if (inPass_ && !running_) endPass();
}

bool RefreshCycle::isHeld() const {
    if (!active_ || running_) return true;
    return held_ && held_();
}

bool RefreshCycle::runStep() {
    if (isHeld()) return false;
    running_ = true;
    if (!inPass_) {
        Pass pass = builder_();
        pending_.assign(pass.steps.begin(), pass.steps.end());
        atEnd_ = std::move(pass.atEnd);
        inPass_ = true;
        activityAtPassStart_ = ActivityCounter() ? ActivityCounter()() : 0;
    }
    bool ranStep = false;
    if (!pending_.empty()) {
        Step step = std::move(pending_.front());
        pending_.pop_front();
        ranStep = true;
        if (!step() || !active_) pending_.clear();
    }
    running_ = false;
    if (pending_.empty()) {
        const bool idle = ActivityCounter() && ActivityCounter()() == activityAtPassStart_;
        endPass();
        if (active_) schedule(idle ? std::max(passInterval_, kIdlePassInterval) : passInterval_);
    } else if (active_) {
        schedule(0);
    }
    return ranStep;
}

void RefreshCycle::endPass() {
    if (!inPass_) return;
    inPass_ = false;
    ++passes_;
    auto atEnd = std::move(atEnd_);
    atEnd_ = nullptr;
    if (atEnd) atEnd();
    emit passFinished();
}

void RefreshCycle::schedule(int ms) {
    if (!active_) return;
    timer_.start(ms);
}

} // namespace talvern::setup
