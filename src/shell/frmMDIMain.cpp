#include "frmMDIMain.h"

#include "HelpWindow.h"
#include "Passcode.h"
#include "RefreshCycle.h"
#include "ReportCommands.h"
#include "ReportOutput.h"
#include "TestModeNotice.h"
#include "frmAbout.h"
#include "frmSetupComm.h"
#include "modUtility.h"

#include <QAction>
#include <QCloseEvent>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QSettings>
#include <QStatusBar>
#include <QTime>

namespace talvern::shell {

namespace {
QAction* addItem(QMenu* menu, const char* name, const char* caption,
                 const QKeySequence& shortcut = {}) {
    QAction* item = menu->addAction(QString::fromUtf8(caption));
    item->setObjectName(QString::fromLatin1(name));
    if (!shortcut.isEmpty()) item->setShortcut(shortcut);
    // Commands that are not built yet stay disabled; setCommand enables them.
    item->setEnabled(false);
    return item;
}

QMenu* addMenu(QMenuBar* bar, const char* name, const char* caption) {
    QMenu* menu = bar->addMenu(QString::fromUtf8(caption));
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    return menu;
}

QMenu* addSubMenu(QMenu* parent, const char* name, const char* caption) {
    QMenu* menu = parent->addMenu(QString::fromUtf8(caption));
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    return menu;
}
} // namespace

frmMDIMain::frmMDIMain(MainWindowPlatform platform, QWidget* parent)
    : QMainWindow(parent), platform_(std::move(platform)),
      background_(setup::AlarmAddresses(), setup::AlarmTexts()) {
    setObjectName(QStringLiteral("frmMDIMain"));
    designCaption_ = QStringLiteral("TALVERN - ");
    setWindowTitle(designCaption_);
    mdiArea_ = new QMdiArea(this);
    mdiArea_->setObjectName(QStringLiteral("mdiArea"));
    mdiArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdiArea_);
    buildMenus();
    buildStatusBar();
    tmrBackgroungUpdate.setObjectName(QStringLiteral("tmrBackgroungUpdate"));
    tmrBackgroungUpdate.setInterval(kTimerInterval);
    connect(&tmrBackgroungUpdate, &QTimer::timeout, this, &frmMDIMain::tmrBackgroungUpdate_Timer);
    installFileCommands();
    installPrintCommands();
    buildRecentFiles();
    auto* help = new QAction(this);
    help->setObjectName(QStringLiteral("ScreenHelp"));
    help->setShortcut(QKeySequence(Qt::Key_F1));
    connect(help, &QAction::triggered, this, &frmMDIMain::ShowScreenHelp);
    addAction(help);
    installProgramCommands();
    installCompareCommands();
    resize(900, 640);
}

frmMDIMain::~frmMDIMain() {
    tmrBackgroungUpdate.stop();
    for (int i = 0; i < kChildCount; ++i)
        delete children_[i].data();
    if (gLink == link_.get()) {
        setup::RefreshCycle::SetActivityCounter(nullptr);
        gLink = nullptr;
        gCommPort = nullptr;
        gAnswers = nullptr;
        gEvents = nullptr;
    }
    if (gOnlineView == this) gOnlineView = nullptr;
    if (gReportOutput == reportOutput_.get()) gReportOutput = nullptr;
}

void frmMDIMain::buildMenus() {
    QMenuBar* bar = menuBar();
    mnuFile = addMenu(bar, "mnuFile", "&File");
    mnuFileNew = addItem(mnuFile, "mnuFileNew", "&New...", QKeySequence(Qt::CTRL | Qt::Key_N));
    mnuFileOpen = addItem(mnuFile, "mnuFileOpen", "&Open...", QKeySequence(Qt::CTRL | Qt::Key_O));
    mnuFileSave = addItem(mnuFile, "mnuFileSave", "&Save", QKeySequence(Qt::CTRL | Qt::Key_S));
    mnuFileSaveAs = addItem(mnuFile, "mnuFileSaveAs", "Save &As...");
    mnuFile->addSeparator();
    mnuFileExport = addItem(mnuFile, "mnuFileExport", "Export Shift Data...",
                            QKeySequence(Qt::CTRL | Qt::Key_X));
    mnuFile->addSeparator();
    mnuFileUpload = addSubMenu(mnuFile, "mnuFileUpload", "&Upload (save) Data");
    mnuFileUploadK2510 = addItem(mnuFileUpload, "mnuFileUploadK2510", "K2510 PLC");
    mnuFileUploadR7520 = addItem(mnuFileUpload, "mnuFileUploadR7520", "R7520 Motion Control");
    mnuFileDownloadProgram = addSubMenu(mnuFile, "mnuFileDownloadProgram", "Download &Program");
    mnuFileDownloadProgramK2510 =
        addItem(mnuFileDownloadProgram, "mnuFileDownloadProgramK2510", "K2510 PLC");
    mnuFileDownloadProgramR7520 =
        addItem(mnuFileDownloadProgram, "mnuFileDownloadProgramR7520", "R7520 Motion Control");
    mnuFileDownload = addSubMenu(mnuFile, "mnuFileDownload", "&Download Data");
    mnuFileDownloadK2510 = addItem(mnuFileDownload, "mnuFileDownloadK2510", "K2510 PLC");
    mnuFileDownloadR7520 = addItem(mnuFileDownload, "mnuFileDownloadR7520", "R7520 Motion Control");
    mnuFile->addSeparator();
    mnuFilePrint =
        addItem(mnuFile, "mnuFilePrint", "&Print Report...", QKeySequence(Qt::CTRL | Qt::Key_P));
    mnuFilePrintPreview = addItem(mnuFile, "mnuFilePrintPreview", "Print Pre&view...");
    mnuFileExportPdf = addItem(mnuFile, "mnuFileExportPdf", "Export PD&F...");
    mnuFilePrintSetup = addItem(mnuFile, "mnuFilePrintSetup", "Print Set&up...");
    mnuFile->addSeparator();
    mnuFileExit = addItem(mnuFile, "mnuFileExit", "E&xit");

    mnuEdit = addMenu(bar, "mnuEdit", "&Edit");
    mnuEditOfflineEditing = addItem(mnuEdit, "mnuEditOfflineEditing", "Enable &Offline Editing",
                                    QKeySequence(Qt::Key_F2));
    mnuEditOfflineEditing->setCheckable(true);
    mnuEdit->addSeparator();
    mnuEditCommPort =
        addItem(mnuEdit, "mnuEditCommPort", "Co&mm Port", QKeySequence(Qt::CTRL | Qt::Key_M));
    mnuEdit->addSeparator();
    mnuEditPasscode = addItem(mnuEdit, "mnuEditPasscode", "Set-up Passcode");

    mnuView = addMenu(bar, "mnuView", "&View");
    mnuViewTargetBoardStatus =
        addItem(mnuView, "mnuViewTargetBoardStatus", "&Target Board Interface");
    mnuView->addSeparator();
    mnuViewOnline = addItem(mnuView, "mnuViewOnline", "O&nline Data", QKeySequence(Qt::Key_F3));
    mnuViewOffline = addItem(mnuView, "mnuViewOffline", "O&ffline Data", QKeySequence(Qt::Key_F4));
    mnuViewOnline->setCheckable(true);
    mnuViewOffline->setCheckable(true);
    mnuViewOffline->setChecked(true);

    mnuBM = addMenu(bar, "mnuBM", "&Bodymaker");
    const char* bmCaptions[5] = {"&1 Main Display", "&2 Set-up Parameters", "&3 Machine Timing",
                                 "&4 Shift Data", "&5 I/O States"};
    for (int i = 0; i < 5; ++i) {
        mnuBMForm[i] = addItem(mnuBM, "mnuBMForm", bmCaptions[i]);
        mnuBMForm[i]->setObjectName(QStringLiteral("mnuBMForm%1").arg(i));
        mnuBMForm[i]->setCheckable(true);
    }
    mnuServo = addMenu(bar, "mnuServo", "&Serov Cupfeed");
    const char* servoCaptions[4] = {"&1 Set-up Parameters", "&2 Tuning", "&3 Diagnostics",
                                    "&4 Acquire Data Signatures"};
    for (int i = 0; i < 4; ++i) {
        mnuServoForm[i] = addItem(mnuServo, "mnuServoForm", servoCaptions[i]);
        mnuServoForm[i]->setObjectName(QStringLiteral("mnuServoForm%1").arg(i));
        mnuServoForm[i]->setCheckable(true);
    }
    mnuServoForm[1]->setShortcut(QKeySequence(Qt::Key_F5));
    mnuServoForm[3]->setShortcut(QKeySequence(Qt::Key_F6));

    mnuHelp = addMenu(bar, "mnuHelp", "&Help");
    mnuHelpHelpTopics =
        addItem(mnuHelp, "mnuHelpHelpTopics", "&Help Topics", QKeySequence(Qt::CTRL | Qt::Key_H));
    mnuHelp->addSeparator();
    mnuHelpAbout = addItem(mnuHelp, "mnuHelpAbout", "&About TALVERN");

    setCommand(mnuFileNew, [this] { mnuFileNew_Click(); });
    setCommand(mnuFileExit, [this] { mnuFileExit_Click(); });
    setCommand(mnuEditOfflineEditing, [this] { mnuEditOfflineEditing_Click(); });
    setCommand(mnuEditCommPort, [this] { mnuEditCommPort_Click(); });
    setCommand(mnuEditPasscode, [this] { mnuEditPasscode_Click(); });
    mnuEditPasscode->setEnabled(false); // only while online
    setCommand(mnuViewOnline, [this] { mnuViewOnline_Click(); });
    setCommand(mnuViewOffline, [this] { mnuViewOffline_Click(); });
    setCommand(mnuHelpHelpTopics, [this] { mnuHelpHelpTopics_Click(); });
    setCommand(mnuHelpAbout, [this] { mnuHelpAbout_Click(); });
    mnuBMForm[0]->setChecked(true);
}

void frmMDIMain::buildStatusBar() {
    QStatusBar* sbrMain = statusBar();
    sbrMain->setObjectName(QStringLiteral("sbrMain"));
    sbrMain->setSizeGripEnabled(true);
    const char* texts[4] = {"System Message:", "OFFLINE", "", ""};
    const char* keys[4] = {"STATUS", "MODE", "DATE", "TIME"};
    const char* tips[4] = {"System Status Display Messages", "Communications Mode", "Current Date",
                           "Current Time"};
    // Beside the mode panel, so that it is the first thing seen on the right.
    AddTestModePanel(sbrMain);
    for (int i = 0; i < 4; ++i) {
        auto* panel = new QLabel(QString::fromLatin1(texts[i]), sbrMain);
        panel->setObjectName(QStringLiteral("sbrMain_") + QString::fromLatin1(keys[i]));
        panel->setToolTip(QString::fromLatin1(tips[i]));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setContentsMargins(4, 0, 4, 0);
        panel->installEventFilter(this);
        panels_[i] = panel;
        if (i == 0)
            sbrMain->addWidget(panel, 1);
        else
            sbrMain->addPermanentWidget(panel);
    }
    panels_[1]->setMinimumWidth(80);
    panels_[1]->setAlignment(Qt::AlignCenter);
    updateDateTime();
    clockTimer_.setInterval(1000);
    connect(&clockTimer_, &QTimer::timeout, this, &frmMDIMain::updateDateTime);
    clockTimer_.start();
}

void frmMDIMain::updateDateTime() {
    const QLocale locale;
    panels_[2]->setText(locale.toString(QDate::currentDate(), QLocale::ShortFormat));
    panels_[3]->setText(locale.toString(QTime::currentTime(), QLocale::ShortFormat));
}

QLabel* frmMDIMain::statusPanel(int panel) const {
    return panel >= 1 && panel <= 4 ? panels_[panel - 1] : nullptr;
}

bool frmMDIMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick) {
        for (int i = 0; i < 4; ++i)
            if (watched == panels_[i]) {
                sbrMain_PanelDblClick(i + 1);
                return true;
            }
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMDIMain::setCommand(QAction* item, std::function<void()> handler) {
    if (!item) return;
    disconnect(item, &QAction::triggered, nullptr, nullptr);
    connect(item, &QAction::triggered, this, [handler = std::move(handler)] {
        if (handler) handler();
    });
    item->setEnabled(true);
}

// --- Start-up and children ---

void frmMDIMain::registerChild(int index, std::function<QWidget*()> factory) {
    if (index < 0 || index >= kChildCount) return;
    factories_[index] = std::move(factory);
    QAction* item = childMenuItem(index);
    if (factories_[index]) {
        setCommand(item, [this, index] { ShowChildWindow(index); });
    } else {
        item->setEnabled(false);
    }
}

bool frmMDIMain::hasChild(int index) const {
    return index >= 0 && index < kChildCount && static_cast<bool>(factories_[index]);
}

QAction* frmMDIMain::childMenuItem(int index) const {
    return index < 5 ? mnuBMForm[index] : mnuServoForm[index - 5];
}

void frmMDIMain::Form_Load() {
    // 1. The help contents.
    helpFile_ = QDir(platform_.programFolder).filePath(QStringLiteral("Help/index.html"));
    // 2. The link, created closed: the program starts offline.
    link_ = std::make_unique<link::RSComm>(*platform_.clock, *platform_.answers, *platform_.events,
                                           platform_.programFolder);
    if (platform_.configureLink) platform_.configureLink(*link_);
    // The device chosen in the comm-port dialog, unless the command line gave one.
    if (settings_ && link_->DeviceOverride().isEmpty())
        link_->SetDeviceOverride(setup::ChosenDevice(*settings_));
    installWireMonitor();
    installChangeLog();
    gLink = link_.get();
    gCommPort = platform_.port;
    gAnswers = platform_.answers;
    gEvents = platform_.events;
    gOnlineView = this;
    // Screens' passes that send nothing (offline) wait a little instead of spinning a core.
    setup::RefreshCycle::SetActivityCounter([] { return gLink ? gLink->BytesSent() : 0L; });
    // 3. The child table was filled by registerChild.
    // 4. The alarm table and the poll that uses it.
    BuildAlarmTable();
    background_ = setup::BackgroundUpdate(gAlarmAdd, gAlarmText);
    // 5. Caption parts.
    unnamedCaption_ = QStringLiteral("[unnamed]");
    // 6. The bodymaker main display.
    ShowChildWindow(0);
    // 7. Parameter tables and factory defaults.
    InitSetupTables();
    // 8. The Open dialog's first proposal.
    gFileNamePath = QDir(userFilesFolder()).filePath(QStringLiteral("*.sdt"));
    // 9. New: nothing has changed yet, so nothing is asked.
    mnuFileNew_Click();
    showOnlineState(gLink->OnlineMode);
    tmrBackgroungUpdate.start();
    // 10.
    startupComplete_ = true;
    restorePlacement();
}

void frmMDIMain::ShowChildWindow(int Index) {
    if (Index < 0 || Index >= kChildCount) return;
    if (Index == visibleIndex_ && startupComplete_ && children_[Index]) {
        // The click has toggled the item's check; the visible screen stays checked.
        childMenuItem(Index)->setChecked(true);
        return;
    }
    childMenuItem(visibleIndex_)->setChecked(false);
    childMenuItem(Index)->setChecked(true);
    unloadChild(visibleIndex_);
    visibleIndex_ = Index;
    if (!factories_[Index]) return;
    QWidget* child = factories_[Index]();
    if (!child) return;
    QMdiSubWindow* sub = mdiArea_->addSubWindow(child);
    sub->setAttribute(Qt::WA_DeleteOnClose, false);
    // The screens are switched from the menus only; their frames carry no close button.
    sub->setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                        Qt::WindowMinMaxButtonsHint);
    children_[Index] = sub;
    child->show();
    sub->show();
    mdiArea_->setActiveSubWindow(sub);
}

void frmMDIMain::unloadChild(int index) {
    QPointer<QMdiSubWindow> sub = children_[index];
    children_[index] = nullptr;
    if (!sub) return;
    // Closing the screen ends its refresh at once; the window itself goes when control is back
    // in the event loop, as the unload may come from inside one of the screen's own steps.
    if (QWidget* child = sub->widget()) child->close();
    mdiArea_->removeSubWindow(sub);
    sub->hide();
    sub->deleteLater();
}

QWidget* frmMDIMain::childWindow(int index) const {
    if (index < 0 || index >= kChildCount || !children_[index]) return nullptr;
    return children_[index]->widget();
}

int frmMDIMain::loadedChildCount() const {
    int count = 0;
    for (const auto& c : children_)
        if (c) ++count;
    return count;
}

QString frmMDIMain::userFilesFolder() const {
    return platform_.userFilesFolder.isEmpty() ? platform_.programFolder
                                               : platform_.userFilesFolder;
}

void frmMDIMain::setCaption() {
    setWindowTitle(designCaption_ + gFileNameCaption);
}

// --- File commands ---

int frmMDIMain::CheckSaveChanges() {
    return fileCommands().CheckSaveChanges();
}

void frmMDIMain::mnuFileNew_Click() {
    fileCommands().New();
}

void frmMDIMain::mnuFileExit_Click() {
    close();
}

void frmMDIMain::closeEvent(QCloseEvent* event) {
    if (closed_) {
        event->accept();
        return;
    }
    // Cancel, or a save that did not happen, keeps the program running.
    if (!fileCommands().SaveChangesFirst()) {
        event->ignore();
        return;
    }
    tmrBackgroungUpdate.stop();
    if (link_) link_->CloseRSComm();
    for (int i = 0; i < kChildCount; ++i)
        unloadChild(i);
    if (commPortDialog_) commPortDialog_->close();
    if (helpWindow_) helpWindow_->close();
    savePlacement();
    closed_ = true;
    event->accept();
}

// --- Edit ---

void frmMDIMain::mnuEditOfflineEditing_Click() {
    // The item's check has already flipped with the click; the flag follows it.
    gOfflineEditing = mnuEditOfflineEditing->isChecked();
}

void frmMDIMain::mnuEditCommPort_Click() {
    if (commPortDialog_) return;
    auto* dialog = new frmSetupComm(*gLink, *gCommPort, *gAnswers, platform_.programFolder,
                                    settings_.get(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::ApplicationModal);
    // The dialog may have closed or reopened the link: show the outcome.
    connect(dialog, &QDialog::finished, this, [this] {
        if (gLink) showOnlineState(gLink->OnlineMode);
    });
    commPortDialog_ = dialog;
    dialog->show();
}

void frmMDIMain::mnuEditPasscode_Click() {
    if (platform_.input)
        setup::ChangeSetupPasscode(*gLink, *platform_.input,
                                   [] { return CheckTargetBoard(setup::kBoardK2510); });
}

// --- View ---

void frmMDIMain::mnuViewOnline_Click() {
    gLink->OnlineMode = true;
    UpdateOnlineState();
}

void frmMDIMain::mnuViewOffline_Click() {
    gLink->OnlineMode = false;
    UpdateOnlineState();
}

void frmMDIMain::sbrMain_PanelDblClick(int panel) {
    if (panel != 2 || !gLink) return;
    gLink->OnlineMode = !gLink->OnlineMode;
    UpdateOnlineState();
}

void frmMDIMain::showOnlineState(bool online) {
    panels_[1]->setText(online ? QStringLiteral("ONLINE") : QStringLiteral("OFFLINE"));
    // Online, the tool tip names the device the program talks through.
    const QString device = platform_.port ? platform_.port->deviceName() : QString();
    panels_[1]->setToolTip(online && !device.isEmpty() && link_
                               ? QStringLiteral("Communications Mode: ONLINE on %1 at %2 baud")
                                     .arg(device)
                                     .arg(link_->CurrentPortSettings().baud)
                               : QStringLiteral("Communications Mode"));
    mnuViewOnline->setChecked(online);
    mnuViewOffline->setChecked(!online);
    mnuEditPasscode->setEnabled(online);
}

// --- Help ---

HelpWindow* frmMDIMain::openHelpWindow() {
    if (!helpWindow_) {
        helpWindow_ = new HelpWindow(helpFile_, this);
        helpWindow_->setAttribute(Qt::WA_DeleteOnClose);
    }
    helpWindow_->show();
    helpWindow_->raise();
    helpWindow_->activateWindow();
    return helpWindow_;
}

void frmMDIMain::mnuHelpHelpTopics_Click() {
    openHelpWindow()->showContents();
}

void frmMDIMain::ShowScreenHelp() {
    const QWidget* screen = childWindow(visibleIndex_);
    const QString page = screen ? screen->property("helpPage").toString() : QString();
    HelpWindow* help = openHelpWindow();
    if (page.isEmpty())
        help->showContents();
    else
        help->showPage(QFileInfo(helpFile_).dir().filePath(page));
}

frmAbout* frmMDIMain::aboutBox() const {
    return about_;
}

void frmMDIMain::mnuHelpAbout_Click() {
    // One About box: choosing the item again brings it back to the front. It takes the keyboard
    // at once, so that Enter or Escape closes it also where no window manager hands it over.
    if (!about_)
        about_ = new frmAbout(*gAnswers, gLink ? gLink->CommSettingsFile() : QString(), this);
    about_->show();
    about_->raise();
    about_->activateWindow();
}

// --- Background update ---

void frmMDIMain::tmrBackgroungUpdate_Timer() {
    if (!gLink) return;
    const auto texts = background_.tick(*gLink);
    if (!texts) return;
    panels_[0]->setText(texts->panel);
    gSystemMessage = texts->message;
}

} // namespace talvern::shell
