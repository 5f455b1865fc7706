#pragma once
// "Machine Timing": the eight PLS channels of the K2510 with their ON and OFF points, the PLS
// configuration, the resolver offset, the channel commands, the live status bar and the
// crank-angle dial. The window only shows and hands on: what it says to the PLS and asks the
// user is setup::MachineTiming.

#include "MachineTiming.h"
#include "ParameterEditor.h"

#include <QWidget>
#include <array>
#include <memory>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;

namespace talvern::screens {

class TimingDial;
class UpDown;

class frmBMTmg : public QWidget, public setup::TimingView {
    Q_OBJECT
public:
    explicit frmBMTmg(QWidget* parent = nullptr);
    ~frmBMTmg() override;

    setup::MachineTiming& timing() { return *timing_; }
    setup::RefreshCycle& cycle() { return *cycle_; }
    ParameterEditor& editor() { return *editor_; }
    TimingDial* dial() const { return dial_; }
    // Editor fields 16 and 17 are txtTmg(0) and txtTmg(1).
    static constexpr int kTmgField = 16;

    void activate();
    void unload();

    // --- Controls, named as the screen names them ---
    std::array<QGroupBox*, 4> fraTmg{};
    std::array<QLabel*, 10> lblChannel{};
    std::array<QLineEdit*, 16> txtChannel{};
    std::array<UpDown*, 16> updChannel{};
    std::array<QLabel*, 10> lblPLSCfg{};
    std::array<QLabel*, 11> lblCfgDescription{};
    std::array<QLineEdit*, 2> txtTmg{};
    std::array<UpDown*, 2> updTmg{};
    QPushButton* cmdResetPLSConfig = nullptr;
    QPushButton* cmdSetOffset = nullptr;
    QPushButton* cmdRecallChan = nullptr;
    QPushButton* cmdClearChan = nullptr;
    QPushButton* cmdDefault = nullptr;
    QStatusBar* sbrMachineTiming = nullptr;
    std::array<QLabel*, 4> panels{}; // panels 1..4 of sbrMachineTiming

    // --- setup::TimingView ---
    std::optional<std::int32_t> setpointNumber(int box) const override;
    void setSetpointText(int box, const QString& text) override;
    void setConfigText(int i, const QString& text) override;
    void setPanelText(int panel, const QString& text) override;
    std::int32_t settleWholeNumber(int i) override;
    void setTmgText(int i, const QString& text) override;
    void setOffsetGroupEnabled(bool enabled) override;
    void showOnlineLayout() override;
    void setChannelEnabled(int channel, bool enabled) override;
    void showOfflineLayout(bool offlineEditing) override;
    void focusDefault() override;
    void showMachinePosition(std::optional<int> position) override;
    void showScale(int scale) override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QGroupBox* buildChannels();
    QGroupBox* buildConfiguration();
    QGroupBox* buildOffset();
    QGroupBox* buildChannelCommands();
    void buildStatusBar();
    void followChannel(int channel);

    bool leaveFieldFor(QPushButton* button);
    void cmdSetOffset_Click();
    void cmdRecallChan_Click();
    void cmdClearChan_Click();
    void cmdResetPLSConfig_Click();

    ParameterEditor* editor_ = nullptr;
    TimingDial* dial_ = nullptr;
    std::unique_ptr<setup::MachineTiming> timing_;
    std::unique_ptr<setup::RefreshCycle> cycle_;
    bool activated_ = false;
};

} // namespace talvern::screens
