#pragma once
// A screen's refresh cycle as a step machine driven by the event loop: each step does at most
// one link transaction; the cycle pauses while a modal window is open above the screen or the
// link is busy, is never re-entered, and ends at once when the screen stops it.

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <deque>
#include <functional>
#include <vector>

class QWidget;

namespace talvern::shell {

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

    RefreshCycle(QWidget* screen, PassBuilder builder, std::function<bool()> linkBusy,
                 QObject* parent = nullptr);

    void start();
    void stop();
    bool isActive() const { return active_; }
    // Milliseconds between the end of one pass and the start of the next.
    void setPassInterval(int ms) { passInterval_ = ms; }

    // Runs the next step if nothing holds the cycle; true when a step ran. The timer calls it;
    // tests call it directly.
    bool runStep();
    // Why the cycle would not run a step now.
    bool isHeld() const;
    int passesCompleted() const { return passes_; }

signals:
    void passFinished();

private:
    void endPass();
    void schedule(int ms);

    QPointer<QWidget> screen_;
    PassBuilder builder_;
    std::function<bool()> linkBusy_;
    QTimer timer_;
    std::deque<Step> pending_;
    std::function<void()> atEnd_;
    bool inPass_ = false;
    bool active_ = false;
    bool running_ = false;
    int passInterval_ = 20;
    int passes_ = 0;
};

} // namespace talvern::shell
