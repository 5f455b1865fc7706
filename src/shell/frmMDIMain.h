#pragma once
// The program's one top-level window: the menu bar, the four-panel status bar, the background
// alarm poll, the table of the nine child screens (exactly one loaded at a time) and the
// online/offline switch.
//
// Other parts of the program plug in from outside:
//  - child screens: registerChild(index, factory) before Form_Load(); a screen without a factory
//    keeps its menu item disabled;
//  - commands built later: setCommand(mnuFileOpen, handler) enables the item and runs the
//    handler on a click; until then the item stays disabled.

#include "BackgroundUpdate.h"
#include "ChangeLog.h"
#include "HelpWindow.h"
#include "InputBox.h"
#include "OnlineState.h"
#include "Platform.h"
#include "ProgramFiles.h"
#include "QtFileDialogs.h"
#include "RSComm.h"
#include "RecentFiles.h"
#include "SetupFiles.h"
#include "WireRecorder.h"
#include "frmSetupComm.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QSettings;

namespace talvern::shell {

class frmAbout;
class frmChangeLog;
class frmCompareSetup;
class frmDownloadProg;
class frmProcessing;
class ReportOutput;
class WireMonitorPanel;

// What the main window needs from the platform; all of it outlives the window.
struct MainWindowPlatform {
    link::Clock* clock = nullptr;
    link::SerialLine* port = nullptr;
    link::UserAnswers* answers = nullptr;
    link::EventPump* events = nullptr;
    setup::TextInput* input = nullptr;
    setup::FileDialogs* fileDialogs = nullptr; // the platform's own dialogs when not given
    QString programFolder;
    // Where the set-up file and export dialogs start; the program folder when empty (an
    // installed program's folder is read-only, so it starts in the user's home instead).
    QString userFilesFolder;
    // The file (INI) where the window keeps its size and place and the recent set-up files,
    // in the user's configuration folder; empty: nothing is remembered between runs.
    QString settingsFile;
    // The boards are the simulated ones: writes go to a change log of their own.
    bool simulated = false;
    // Adjusts the link right after it is created (device override, configuration folder).
    std::function<void(link::RSComm&)> configureLink;
};

class frmMDIMain : public QMainWindow, public setup::OnlineStateView {
    Q_OBJECT
public:
    static constexpr int kChildCount = 9; // 0..4 bodymaker, 5..8 servo cupfeed
    static constexpr int kTimerInterval = 500;

    explicit frmMDIMain(MainWindowPlatform platform, QWidget* parent = nullptr);
    ~frmMDIMain() override;

    // --- Child screens ---
    void registerChild(int index, std::function<QWidget*()> factory);
    bool hasChild(int index) const;
    // The start-up sequence: link, children, alarm table, main display, tables, New.
    void Form_Load();
    void ShowChildWindow(int Index);
    int visibleChild() const { return visibleIndex_; }
    // The loaded child screen at index, or nullptr.
    QWidget* childWindow(int index) const;
    int loadedChildCount() const;
    QMdiArea* mdiArea() const { return mdiArea_; }

    // --- Commands ---
    // Enables a menu item and makes a click run the handler.
    void setCommand(QAction* item, std::function<void()> handler);
    // 0 when nothing changed, else the answer to the save question (6 Yes, 7 No, 2 Cancel).
    int CheckSaveChanges();

    void mnuFileNew_Click();
    void mnuFileExit_Click();
    // Set-up files, shift export and data transfers (FileCommands.cpp).
    void mnuFileOpen_Click();
    void mnuFileSave_Click();
    void mnuFileSaveAs_Click();
    void mnuFileExport_Click();
    void mnuFileUploadK2510_Click();
    void mnuFileUploadR7520_Click();
    void mnuFileDownloadK2510_Click();
    void mnuFileDownloadR7520_Click();
    // Asks to go online when offline, then runs the transfer in frmProcessing (modal; returns
    // at once, the window's timer does the work).
    void RunDataTransfer(int Mode);
    setup::SetupFileCommands& fileCommands();
    frmProcessing* processingWindow() const;
    // The set-up report on paper, in the preview, as a PDF (PrintCommands.cpp).
    void mnuFilePrint_Click();
    void mnuFilePrintPreview_Click();
    void mnuFileExportPdf_Click();
    ReportOutput& reportOutput();
    // Board programs and the target-board page (ProgramCommands.cpp). Modes: 0 K2510 program,
    // 1 R7520 program, 2 target-board page.
    void ProgramTransfer(int Mode);
    void mnuFileDownloadProgramK2510_Click();
    void mnuFileDownloadProgramR7520_Click();
    void mnuViewTargetBoardStatus_Click();
    // Saves the program of board 1 (K2510) or 3 (R7520) into a chosen file set, or compares it
    // with one.
    void UploadProgram(int board);
    void VerifyProgram(int board);
    // What opens the target-board page on a program file; the View item is enabled once set.
    void setTargetBoardPage(std::function<void(const QString& programFile)> open);
    frmDownloadProg* programWindow() const;
    targetboard::ProgramSet& programSet() { return programSet_; }
    void mnuEditOfflineEditing_Click();
    void mnuEditCommPort_Click();
    void mnuEditPasscode_Click();
    void mnuViewOnline_Click();
    void mnuViewOffline_Click();
    void mnuHelpHelpTopics_Click();
    // F1: the help page of the visible screen (its "helpPage" property), else the contents.
    void ShowScreenHelp();
    // The recent set-up files, newest first (RecentFilesMenu.cpp).
    void mnuFileRecent_Click(int index);
    const setup::RecentFiles& recentFiles() const { return recentFiles_; }
    void mnuHelpAbout_Click();
    // Panels are numbered from 1; only panel 2 reacts.
    void sbrMain_PanelDblClick(int panel);
    void tmrBackgroungUpdate_Timer();

    // --- Status bar and link state ---
    QLabel* statusPanel(int panel) const;
    void showOnlineState(bool online) override;
    setup::BackgroundUpdate& backgroundUpdate() { return background_; }
    link::RSComm& rsLink() { return *link_; }
    frmSetupComm* commPortDialog() const { return commPortDialog_; }
    HelpWindow* helpWindow() const { return helpWindow_; }
    frmAbout* aboutBox() const;
    QString helpFile() const { return helpFile_; }
    // The wire monitor (View → Wire Monitor) and the recorder it and the status bar read.
    WireMonitorPanel* wireMonitor() const { return wireMonitor_; }
    link::WireRecorder& wireRecorder() { return *wireRecorder_; }
    // The log of every value written to a board (View → Change Log), and File → Compare Set-up
    // (SetupCompareCommands.cpp). A data download first reads the board and names how many
    // values it will change.
    setup::ChangeLog* changeLog() const { return changeLog_.get(); }
    void mnuFileCompare_Click();
    void mnuViewChangeLog_Click();
    void ConfirmDataDownload(int Mode);
    frmCompareSetup* compareWindow() const;
    frmChangeLog* changeLogWindow() const;

    // --- Public file values ---
    QString gFileNameCaption;
    QString gFileNamePath;
    QString gFileNameTitle;
    QString gFileExportPath;
    QString gProgramFilePath;
    QString gUploadNOW;

    QTimer tmrBackgroungUpdate;

    // --- Menus ---
    QMenu* mnuFile;
    QAction* mnuFileNew;
    QAction* mnuFileOpen;
    QAction* mnuFileSave;
    QAction* mnuFileSaveAs;
    QAction* mnuFileExport;
    QAction* mnuFileCompare = nullptr;
    QMenu* mnuFileUpload;
    QAction* mnuFileUploadK2510;
    QAction* mnuFileUploadR7520;
    QMenu* mnuFileDownloadProgram;
    QAction* mnuFileDownloadProgramK2510;
    QAction* mnuFileDownloadProgramR7520;
    QMenu* mnuFileUploadProgram;
    QAction* mnuFileUploadProgramK2510;
    QAction* mnuFileUploadProgramR7520;
    QMenu* mnuFileVerifyProgram;
    QAction* mnuFileVerifyProgramK2510;
    QAction* mnuFileVerifyProgramR7520;
    QMenu* mnuFileDownload;
    QAction* mnuFileDownloadK2510;
    QAction* mnuFileDownloadR7520;
    QAction* mnuFilePrint;
    QAction* mnuFilePrintPreview;
    QAction* mnuFileExportPdf;
    QAction* mnuFilePrintSetup;
    std::array<QAction*, setup::RecentFiles::kMaxFiles> mnuFileRecent{};
    QAction* mnuFileExit;
    QMenu* mnuEdit;
    QAction* mnuEditOfflineEditing;
    QAction* mnuEditCommPort;
    QAction* mnuEditPasscode;
    QMenu* mnuView;
    QAction* mnuViewTargetBoardStatus;
    QAction* mnuViewOnline;
    QAction* mnuViewOffline;
    QAction* mnuViewWireMonitor = nullptr;
    QAction* mnuViewChangeLog = nullptr;
    QMenu* mnuBM;
    std::array<QAction*, 5> mnuBMForm;
    QMenu* mnuServo;
    std::array<QAction*, 4> mnuServoForm;
    QMenu* mnuHelp;
    QAction* mnuHelpHelpTopics;
    QAction* mnuHelpAbout;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void buildStatusBar();
    void updateDateTime();
    void unloadChild(int index);
    QAction* childMenuItem(int index) const;
    void setCaption();
    QString userFilesFolder() const;
    void installFileCommands();
    void installPrintCommands();
    bool askTransfer(const QString& text, const QString& title);
    HelpWindow* openHelpWindow();
    void buildRecentFiles();
    void showRecentFiles();
    void rememberFile(const QString& path);
    void restorePlacement();
    void savePlacement();
    void installProgramCommands();
    bool askGoOnline();
    QString chooseProgramFile();
    void runProgramWindow(int mode, int board);
    void installWireMonitor();
    void installCompareCommands();
    void installChangeLog();
    frmCompareSetup* openCompareWindow(const setup::SetupData& open, const QString& title);

    MainWindowPlatform platform_;
    std::unique_ptr<QtFileDialogs> qtFileDialogs_;
    std::unique_ptr<setup::SetupFileCommands> fileCommands_;
    std::unique_ptr<ReportOutput> reportOutput_;
    QPointer<QDialog> processing_;
    targetboard::ProgramSet programSet_;
    QPointer<QDialog> programWindow_;
    std::function<void(const QString&)> targetBoardPage_;
    std::unique_ptr<link::WireRecorder> wireRecorder_; // outlives the link it listens to
    std::unique_ptr<link::RSComm> link_;
    WireMonitorPanel* wireMonitor_ = nullptr;
    std::unique_ptr<setup::ChangeLog> changeLog_;
    QPointer<QDialog> compareWindow_;
    QPointer<QDialog> changeLogWindow_;
    setup::BackgroundUpdate background_;
    QMdiArea* mdiArea_;
    std::array<std::function<QWidget*()>, kChildCount> factories_;
    std::array<QPointer<QMdiSubWindow>, kChildCount> children_;
    int visibleIndex_ = 0;
    bool startupComplete_ = false;
    bool closed_ = false;
    QString designCaption_;
    QString unnamedCaption_;
    QString helpFile_;
    std::array<QLabel*, 4> panels_{};
    QTimer clockTimer_;
    QPointer<frmSetupComm> commPortDialog_;
    QPointer<HelpWindow> helpWindow_;
    QPointer<frmAbout> about_;
    std::unique_ptr<QSettings> settings_;
    setup::RecentFiles recentFiles_;
    QAction* recentSeparator_ = nullptr;
};

} // namespace talvern::shell
