#pragma once
// A child screen that shows board values: the refresh cycle shared by the set-up and monitor
// screens. Each pass starts by turning the program offline after a link failure and redoing the
// display set-up when the mode changed; online it checks that the screen's board is on the
// cable and then reads one address per step, offline it shows the working values one per step.
// Every step first checks that the screen is still open and the mode unchanged; a link failure
// ends the pass at once. A read gives a screen a value or nothing (a failed read): nothing is
// shown as the empty mark "-" until a good read replaces it, and never stored or acted on.

#include "RefreshCycle.h"

#include <QStringList>
#include <QWidget>
#include <memory>
#include <optional>

class QPushButton;

namespace talvern::screens {

class BoardScreen : public QWidget {
    Q_OBJECT
public:
    // boardNumber: 1 = K2510, 3 = R7520.
    BoardScreen(int boardNumber, QWidget* parent = nullptr);
    ~BoardScreen() override;

    int boardNumber() const { return boardNumber_; }
    setup::RefreshCycle& cycle() { return *cycle_; }
    // Activate: starts the refresh cycle (also done when the window is first shown).
    void activate();
    // Unload: ends the cycle at its next step.
    void unload();

    // --- Screen state ---
    QStringList ParamAddr; // address of each index, fixed at load
    bool ScreenActive = false;
    bool OnlineShown = false;
    bool OfflineShown = false;
    bool OfflineEditSeen = false;
    // The last good read (a failed read leaves it as it was).
    QString LastRead;

protected:
    // Load: the display set-up for the current mode. Subclasses call it once their controls exist.
    void load();

    virtual void SetupOnlineDisplay() = 0;
    virtual void SetupOfflineDisplay() = 0;
    // Online: shows what was read from address i, or that the read failed (nothing).
    virtual void showRead(int i, const std::optional<QString>& value) = 0;
    // Offline: screens that show the working values offline return true and show index i.
    virtual bool hasOfflinePass() const { return false; }
    virtual void showOffline(int i) {}
    // Runs when a pass ends, also one that stopped early.
    virtual void passEnded() {}
    // Runs when the screen activates or unloads.
    virtual void onActivate() {}
    virtual void onUnload() {}

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

    // A small button with no action of its own that takes the focus when an edit ends.
    QPushButton* makeDefaultButton();

private:
    setup::RefreshCycle::Pass buildPass();
    bool head();
    bool checkBoard();
    bool showIndex(int i);

    int boardNumber_;
    bool passOnline_ = false;
    bool activated_ = false;
    std::unique_ptr<setup::RefreshCycle> cycle_;
};

} // namespace talvern::screens
