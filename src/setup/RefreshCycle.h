#pragma once
// A screen's refresh cycle, or a modal operation, as a step machine driven by the event loop:
// each step does at most one link transaction; the cycle pauses while its hold says so (a modal
// window above the screen, a question open, the link busy), is never re-entered, and ends at
// once when its owner stops it. Passes follow one another without pause: the wire is the pace.

#include <QObject>
#include <QTimer>
#include <deque>
#include <functional>
#include <vector>

namespace talvern::setup {

class RefreshCycle : public QObject {
    Q_OBJECT
public:
    // Returns false to end the current pass at once.
    using Step = std::function<bool()>;
    struct Pass {
        std::vector<Step> steps;
        std::function<void()> atEnd; // runs when the pass ends, also after a stop
    };
    using PassBuilder = std::function<Pass()>;

    // held: true while something above the cycle (a modal window, a question, a busy link)
    // must keep it from running a step.
    RefreshCycle(PassBuilder builder, std::function<bool()> held, QObject* parent = nullptr);

    void start();
    void stop();
    bool isActive() const { return active_; }
    // Milliseconds between the end of one pass and the start of the next (0: none).
    void setPassInterval(int ms) { passInterval_ = ms; }

    // What tells a pass that used the wire from one that did not (offline, a screen without
    // reads): a count that grows with every byte on the line. A pass that left it unchanged is
    // followed by the next only after kIdlePassInterval, so that an idle screen costs no CPU.
    // Set once by whoever owns the link; without it passes always follow without pause.
    static void SetActivityCounter(std::function<long()> counter);
    static constexpr int kIdlePassInterval = 50;

    // Runs the next step if nothing holds the cycle; true when a step ran. The timer calls it;
    // tests call it directly.
    bool runStep();
    // Why the cycle would not run a step now.
    bool isHeld() const;
    int passesCompleted() const { return passes_; }
    // Milliseconds until the next step, -1 when none is due.
    int nextStepDelay() const { return timer_.isActive() ? timer_.interval() : -1; }

signals:
    void passFinished();

private:
    void endPass();
    void schedule(int ms);

    PassBuilder builder_;
    std::function<bool()> held_;
    QTimer timer_;
    std::deque<Step> pending_;
    std::function<void()> atEnd_;
    bool inPass_ = false;
    bool active_ = false;
    bool running_ = false;
    int passInterval_ = 0;
    long activityAtPassStart_ = 0;
    int passes_ = 0;
};

} // namespace talvern::setup
