// File → Compare Set-up, View → Change Log, the change log that hears the link, and the data
// download's confirmation that names how many values the download will change.
#include "ReportCommands.h"
#include "SetupFiles.h"
#include "frmChangeLog.h"
#include "frmCompareSetup.h"
#include "frmDownloadProg.h"
#include "frmMDIMain.h"
#include "frmProcessing.h"
#include "modUtility.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QStatusBar>

namespace talvern::shell {

void frmMDIMain::installCompareCommands() {
    mnuFileCompare = new QAction(QStringLiteral("&Compare Set-up..."), this);
    mnuFileCompare->setObjectName(QStringLiteral("mnuFileCompare"));
    mnuFileCompare->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    mnuFile->insertAction(mnuFileUpload->menuAction(), mnuFileCompare);
    mnuFile->insertSeparator(mnuFileUpload->menuAction());
    setCommand(mnuFileCompare, [this] { mnuFileCompare_Click(); });

    mnuViewChangeLog = new QAction(QStringLiteral("&Change Log"), this);
    mnuViewChangeLog->setObjectName(QStringLiteral("mnuViewChangeLog"));
    mnuView->addSeparator();
    mnuView->addAction(mnuViewChangeLog);
    setCommand(mnuViewChangeLog, [this] { mnuViewChangeLog_Click(); });
}

void frmMDIMain::installChangeLog() {
    changeLog_ = std::make_unique<setup::ChangeLog>(setup::ChangeLogPath(platform_.simulated));
    // Where a write comes from: the transfer or program window running, else the screen in
    // front.
    changeLog_->setSourceProvider([this]() -> QString {
        if (processing_) return QStringLiteral("Data Download");
        if (programWindow_) return QStringLiteral("Program dump");
        if (QWidget* modal = QApplication::activeModalWidget()) return modal->windowTitle();
        if (QMdiSubWindow* child = mdiArea_->activeSubWindow())
            if (child->widget()) return child->widget()->windowTitle();
        if (visibleIndex_ > 0 && childWindow(visibleIndex_))
            return childWindow(visibleIndex_)->windowTitle();
        return QStringLiteral("TALVERN");
    });
    changeLog_->setTroubleHandler(
        [this](const QString& text) { statusBar()->showMessage(text, 15000); });
    wireRecorder_->onTransaction = [log = changeLog_.get()](const link::WireTransaction& t) {
        log->heard(t);
    };
}

frmCompareSetup* frmMDIMain::compareWindow() const {
    return qobject_cast<frmCompareSetup*>(compareWindow_.data());
}

frmChangeLog* frmMDIMain::changeLogWindow() const {
    return qobject_cast<frmChangeLog*>(changeLogWindow_.data());
}

frmCompareSetup* frmMDIMain::openCompareWindow(const setup::SetupData& open, const QString& title) {
    if (compareWindow_) compareWindow_->close();
    CompareSources sources;
    sources.open = setup::FittedToTable(open);
    sources.openTitle = title;
    sources.factory = setup::FittedToTable(gSetupDefault);
    sources.link = link_.get();
    sources.answers = platform_.answers;
    sources.dialogs = [this]() -> setup::FileDialogs& {
        if (platform_.fileDialogs) return *platform_.fileDialogs;
        if (!qtFileDialogs_) qtFileDialogs_ = std::make_unique<QtFileDialogs>(this);
        return *qtFileDialogs_;
    };
    sources.checkTargetBoard = [](int board) { return CheckTargetBoard(board); };
    sources.output = reportOutput_.get();
    sources.folder = userFilesFolder();
    auto* window = new frmCompareSetup(std::move(sources), this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    // The background poll stays off the line while the board is read.
    window->readingChanged = [this](bool reading) {
        if (closed_) return;
        if (reading)
            tmrBackgroungUpdate.stop();
        else if (gLink && gLink->OnlineMode)
            tmrBackgroungUpdate.start();
    };
    compareWindow_ = window;
    window->show();
    return window;
}

// The set-up as kept (opened or last saved) is what the machine is compared with; the
// download compares what it is about to write.
void frmMDIMain::mnuFileCompare_Click() {
    openCompareWindow(gSetupSaved,
                      gFileNameTitle.isEmpty() ? QStringLiteral("Open set-up") : gFileNameTitle);
}

void frmMDIMain::ConfirmDataDownload(int Mode) {
    if (processing_ || !gLink) return;
    if (!askGoOnline()) return;
    const bool k2510 = Mode == setup::kDownloadK2510;
    frmCompareSetup* window = openCompareWindow(gSetup, QStringLiteral("To download"));
    window->onBoardRead = [this, Mode, k2510, window](const setup::BoardReading& reading,
                                                      bool linkFailed) {
        // A board that could not be read has said so in the window; the download is not begun.
        if (linkFailed) return;
        const QString text = QStringLiteral("You are about to Download Data to the ") +
                             (k2510 ? QStringLiteral("K2510") : QStringLiteral("R7520")) +
                             QStringLiteral("\r\n\r\n") +
                             setup::DownloadChangesText(setup::ChangesOfDownload(gSetup, reading));
        if (askTransfer(text, QStringLiteral("Data Download"))) {
            window->close();
            RunDataTransfer(Mode);
            return;
        }
        // Not now: the window stays, showing what would have changed.
        window->chkOnlyDiffering->setChecked(true);
        window->chkOnlyDiffering_Click();
    };
    window->compareWithBoard(k2510 ? setup::Board::K2510 : setup::Board::R7520);
}

void frmMDIMain::mnuViewChangeLog_Click() {
    if (changeLogWindow_) {
        changeLogWindow()->cmdChangeRefresh_Click();
        changeLogWindow_->raise();
        changeLogWindow_->activateWindow();
        return;
    }
    auto* window = new frmChangeLog(
        changeLog_ ? changeLog_->path() : setup::ChangeLogPath(platform_.simulated),
        platform_.simulated, *platform_.answers,
        [this]() -> setup::FileDialogs& {
            if (platform_.fileDialogs) return *platform_.fileDialogs;
            if (!qtFileDialogs_) qtFileDialogs_ = std::make_unique<QtFileDialogs>(this);
            return *qtFileDialogs_;
        },
        userFilesFolder(), this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    changeLogWindow_ = window;
    window->show();
}

} // namespace talvern::shell
