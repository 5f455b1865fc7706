#pragma once
// "BM Main Display": the bodymaker's speed and crank position read live from the K2510, and the
// system message of the background alarm poll, online and offline.

#include "RefreshCycle.h"

#include <QStringList>
#include <QWidget>
#include <array>

class QGroupBox;
class QLabel;
class QPlainTextEdit;

namespace talvern::screens {

class frmBMMain : public QWidget {
    Q_OBJECT
public:
    explicit frmBMMain(QWidget* parent = nullptr);
    ~frmBMMain() override;

    std::array<QLabel*, 2> lblDisplay{};
    std::array<QGroupBox*, 2> fraDisplay{};
    QGroupBox* fraMessageDisplay = nullptr;
    QPlainTextEdit* txtMessageDisplay = nullptr;

    setup::RefreshCycle& refreshCycle() { return *cycle_; }
    bool screenActive() const { return ScreenActive; }
    QString lastRead() const { return LastRead; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Activate();
    void Form_Unload();
    void SetupOnlineDisplay();
    void SetupOfflineDisplay();
    setup::RefreshCycle::Pass BuildPass();
    bool PassStart();
    bool ReadValue(int index);

    setup::RefreshCycle* cycle_;
    QStringList ParamAddr;
    bool ScreenActive = false;
    bool OnlineShown = false;
    bool OfflineShown = false;
    QString LastRead;
    QString shownMessage_; // the system message the box shows
};

} // namespace talvern::screens
