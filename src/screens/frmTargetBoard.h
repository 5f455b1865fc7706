#pragma once
// "Target Board Interface": the board on the cable — its fault and communication-error codes
// with descriptions and advice, its program ident beside the one on disk, its network
// addresses and its clock. Modal; polls the board (TargetBoardMonitor, one read per step) from
// its activation until OK.

#include "TargetBoardMonitor.h"
#include "TargetBoardPage.h"

#include <QDialog>
#include <array>
#include <memory>

class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabBar;

namespace talvern::screens {

class ParameterEditor;
class UpDown;

class frmTargetBoard : public QDialog, public targetboard::TargetBoardView {
    Q_OBJECT
public:
    // programFolder: where support/ with the description files is (the program's folder).
    explicit frmTargetBoard(QString programFolder, QWidget* parent = nullptr);
    ~frmTargetBoard() override;

    // Prepares the page for the chosen program file and shows it (modal; the page polls from the
    // event loop and closes on OK).
    void InitializeForm(const QString& BrixelFile);
    // Opens a new page on a program file (deleted when it closes).
    static frmTargetBoard* Open(const QString& BrixelFile, QWidget* parent);

    int boardType() const { return disk_.boardType; }
    targetboard::TargetBoardMonitor& monitor() { return *monitor_; }
    ParameterEditor& editor() { return *editor_; }
    QString descriptionText(int k) const;

    void tabTargetBoard_Click(int index);
    void cmdResetFaults_Click();
    void cmdSetTime_Click();
    void cmdSetDate_Click();
    void cmdGoOnline_Click();
    void cmdOk_Click();

    // --- The page's view of the board (called by the monitor) ---
    void showOnlineLook() override;
    void showOfflineState() override;
    void showStatusLabel(int k, const QString& text) override;
    void showDescription(int k, const QString& text) override;
    void setResetFaultsEnabled(bool enabled) override;
    bool coCpuSlotVisible() const override;
    void showBoardIdent(int part, const QString& text) override;
    void setGoOnlineVisible(bool visible) override;
    void showField(int i, const QString& text) override;
    void showComputerClock(const QString& time, const QString& date) override;
    void wentOffline() override;

    QTabBar* tabTargetBoard;
    std::array<QGroupBox*, 4> fraTargetBoard{};
    std::array<QLabel*, 6> lblTargetBoard{};
    std::array<QLineEdit*, 6> txtTargetBoard{}; // 0, 1, 4, 5 (3 is txtAdvice)
    QPlainTextEdit* txtAdvice;
    QPushButton* cmdResetFaults;
    std::array<QLabel*, 5> lblRevIdentOnDisk{};
    std::array<QLabel*, 3> lblRevIdentInPLC{};
    std::array<QLabel*, 8> lblSetupDesc{};
    std::array<QLineEdit*, 8> txtSetup{};
    std::array<UpDown*, 8> updSetup{};
    QLabel* lblNetworkAddComment;
    QLabel* lblTargetTime;
    QLabel* lblTargetDate;
    QLabel* lblCurrentTime;
    QLabel* lblCurrentDate;
    QPushButton* cmdSetTime;
    QPushButton* cmdSetDate;
    QPushButton* cmdGoOnline;
    QPushButton* cmdOk;
    QPushButton* cmdDefault;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildFaultTab();
    void buildIdentTab();
    void buildNetworkTab();
    void buildClockTab();
    void applyLayout();
    void setClockEnabled(bool enabled);
    void commitField(int i, const QString& text);
    void reportWrite(bool done, const QString& failed);

    QString programFolder_;
    targetboard::DiskProgram disk_;
    targetboard::PageLayout layout_;
    std::unique_ptr<ParameterEditor> editor_;
    std::unique_ptr<targetboard::TargetBoardMonitor> monitor_;
    bool activated_ = false;
};

} // namespace talvern::screens
