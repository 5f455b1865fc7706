#include "RefreshCycle.h"

#include <QApplication>
#include <QWidget>

namespace talvern::shell {

RefreshCycle::RefreshCycle(QWidget* screen, PassBuilder builder, std::function<bool()> linkBusy,
                           QObject* parent)
    : QObject(parent), screen_(screen), builder_(std::move(builder)),
      linkBusy_(std::move(linkBusy)) {
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
    if (linkBusy_ && linkBusy_()) return true;
    // A modal window or message box above the screen holds the cycle until it closes.
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && screen_ && modal != screen_ && !modal->isAncestorOf(screen_)) return true;
    return false;
}

bool RefreshCycle::runStep() {
    if (isHeld()) return false;
    running_ = true;
    if (!inPass_) {
        Pass pass = builder_();
        pending_.assign(pass.steps.begin(), pass.steps.end());
        atEnd_ = std::move(pass.atEnd);
        inPass_ = true;
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
        endPass();
        if (active_) schedule(passInterval_);
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

} // namespace talvern::shell
