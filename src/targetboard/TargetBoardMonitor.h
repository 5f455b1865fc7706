#pragma once
// The target-board page's polling, on the refresh-cycle engine: one board read per step. Online,
// the first pass after going online reads the status codes (with their descriptions and the
// advice) and the program ident in the board, and every pass reads the eight set-up fields;
// offline the page shows that it cannot reach the board. The computer's clock labels follow each
// second. The page itself (a window, or a test) is the view. A failed read shows as "-" and is
// never acted on: it enables no Reset Faults and gives no advice, and a field's arrows step only
// from a value two passes in a row read alike, or that the user wrote.

#include "RSComm.h"
#include "RefreshCycle.h"
#include "SeenValue.h"

#include <QDateTime>
#include <functional>
#include <memory>

namespace talvern::targetboard {

class TargetBoardView {
public:
    virtual ~TargetBoardView() = default;
    // The online look before the status is read: Reset Faults off, the in-board ident labels
    // on, the visible fields enabled (clock fields by board type).
    virtual void showOnlineLook() = 0;
    virtual void showOfflineState() = 0;
    // lblTargetBoard(k).
    virtual void showStatusLabel(int k, const QString& text) = 0;
    // txtTargetBoard(k), k = 0, 1, 3, 4, 5.
    virtual void showDescription(int k, const QString& text) = 0;
    virtual void setResetFaultsEnabled(bool enabled) = 0;
    virtual bool coCpuSlotVisible() const = 0;
    // lblRevIdentInPLC(part): 0 name, 1 revision, 2 checksum.
    virtual void showBoardIdent(int part, const QString& text) = 0;
    virtual void setGoOnlineVisible(bool visible) = 0;
    // Field i's value, unless the field is hidden, disabled or being edited.
    virtual void showField(int i, const QString& text) = 0;
    virtual void showComputerClock(const QString& time, const QString& date) = 0;
    // The program went offline after a link failure (UpdateOnlineState).
    virtual void wentOffline() = 0;
};

class TargetBoardMonitor {
public:
    // supportFolder: where FaultErrCodes.txt and CommErrCodes.txt are looked up.
    TargetBoardMonitor(link::RSComm& link, TargetBoardView& view, QString programFolder,
                       std::function<QDateTime()> now, std::function<bool()> held = {});
    ~TargetBoardMonitor();

    setup::RefreshCycle& cycle() { return *cycle_; }
    void start();
    void stop();
    // The status is read again on the next pass (after Reset Faults).
    void refreshStatus() { statusRead_ = false; }
    bool statusRead() const { return statusRead_; }
    // Field i shows a value the board is known to hold.
    bool fieldKnown(int i) const { return fields_.at(i).known(); }
    // The user's value was written to field i (took: the board took it).
    void fieldWritten(int i, const QString& text, bool took);

private:
    setup::RefreshCycle::Pass buildPass();
    void addStatusSteps(std::vector<setup::RefreshCycle::Step>& steps);
    void addSettingsSteps(std::vector<setup::RefreshCycle::Step>& steps);
    void tickClock();
    QString sideFile(const char* name) const;

    link::RSComm& link_;
    TargetBoardView& view_;
    QString programFolder_;
    std::function<QDateTime()> now_;
    std::unique_ptr<setup::RefreshCycle> cycle_;
    bool statusRead_ = false;
    bool offlineShown_ = false;
    int lastSecond_ = -1;
    std::array<QString, 6> codes_;
    std::array<bool, 6> failed_{};
    std::array<setup::SeenValue, 8> fields_;
    QString identName_;
    bool noProgram_ = false; // the ident block names no program
};

} // namespace talvern::targetboard
