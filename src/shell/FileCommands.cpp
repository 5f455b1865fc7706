// The main window's File commands for set-up files, the shift export and the data transfers.
// The work itself is in SetupFileCommands and DataTransfer; here the window hands them the
// program's records and its own file values.
#include "frmMDIMain.h"
#include "frmProcessing.h"
#include "modUtility.h"

#include <QAction>
#include <QDateTime>

namespace talvern::shell {

void frmMDIMain::installFileCommands() {
    setCommand(mnuFileOpen, [this] { mnuFileOpen_Click(); });
    setCommand(mnuFileSave, [this] { mnuFileSave_Click(); });
    setCommand(mnuFileSaveAs, [this] { mnuFileSaveAs_Click(); });
    setCommand(mnuFileExport, [this] { mnuFileExport_Click(); });
    setCommand(mnuFileUploadK2510, [this] { mnuFileUploadK2510_Click(); });
    setCommand(mnuFileUploadR7520, [this] { mnuFileUploadR7520_Click(); });
    setCommand(mnuFileDownloadK2510, [this] { mnuFileDownloadK2510_Click(); });
    setCommand(mnuFileDownloadR7520, [this] { mnuFileDownloadR7520_Click(); });
}

setup::SetupFileCommands& frmMDIMain::fileCommands() {
    if (!fileCommands_) {
        setup::FileDialogs* dialogs = platform_.fileDialogs;
        if (!dialogs) {
            if (!qtFileDialogs_) qtFileDialogs_ = std::make_unique<QtFileDialogs>(this);
            dialogs = qtFileDialogs_.get();
        }
        fileCommands_ = std::make_unique<setup::SetupFileCommands>(
            setup::SetupFileState{gSetup, gSetupSaved, gSetupDefault, gSetupFile, gProgramVersion,
                                  gNewFile, gSetupReset, gFileNameCaption, gFileNamePath,
                                  gFileNameTitle, gFileExportPath, gUploadNOW},
            *platform_.answers, *dialogs, userFilesFolder());
        fileCommands_->captionChanged = [this] { setCaption(); };
        fileCommands_->fileUsed = [this](const QString& path) { rememberFile(path); };
    }
    return *fileCommands_;
}

void frmMDIMain::mnuFileOpen_Click() {
    fileCommands().Open();
}
void frmMDIMain::mnuFileSave_Click() {
    fileCommands().Save();
}
void frmMDIMain::mnuFileSaveAs_Click() {
    fileCommands().SaveAs();
}
void frmMDIMain::mnuFileExport_Click() {
    fileCommands().ExportShiftData();
}

bool frmMDIMain::askTransfer(const QString& text, const QString& title) {
    return platform_.answers->ask(text + QStringLiteral("\r\n\r\nDo You Wish to Continue?"), title,
                                  link::Buttons::YesNo, link::Icon::Question) == link::Answer::Yes;
}

void frmMDIMain::mnuFileUploadK2510_Click() {
    if (!askTransfer(QStringLiteral("You are about to Upload Data from the K2510"),
                     QStringLiteral("Data Upload")))
        return;
    gUploadNOW = fileCommands().nowText();
    RunDataTransfer(setup::kUploadK2510);
}

void frmMDIMain::mnuFileUploadR7520_Click() {
    if (askTransfer(QStringLiteral("You are about to Upload Data from the R7520"),
                    QStringLiteral("Data Upload")))
        RunDataTransfer(setup::kUploadR7520);
}

void frmMDIMain::mnuFileDownloadK2510_Click() {
    ConfirmDataDownload(setup::kDownloadK2510);
}

void frmMDIMain::mnuFileDownloadR7520_Click() {
    ConfirmDataDownload(setup::kDownloadR7520);
}

void frmMDIMain::RunDataTransfer(int Mode) {
    if (processing_ || !gLink) return; // one transfer at a time
    if (!gLink->OnlineMode) {
        const link::Answer answer = gAnswers->ask(
            QStringLiteral("Program is Currently OFFLINE\r\n\r\n"
                           "Do You Wish to Switch to ONLINE MODE to Continue?"),
            QStringLiteral("Program Offline"), link::Buttons::YesNo, link::Icon::Question);
        if (answer != link::Answer::Yes) return;
        mnuViewOnline_Click();
    }
    gProcessMode = Mode;
    auto* window = new frmProcessing(
        Mode, *gLink, gSetup, *gAnswers, *gEvents,
        [](int board) { return CheckTargetBoard(board); }, this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowModality(Qt::ApplicationModal);
    window->onFinished = [](const setup::DataTransfer& transfer) {
        if (transfer.plsDownloaded()) gPLSDownloaded = true;
    };
    processing_ = window;
    window->show();
}

frmProcessing* frmMDIMain::processingWindow() const {
    return qobject_cast<frmProcessing*>(processing_.data());
}

} // namespace talvern::shell
