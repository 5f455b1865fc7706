// The main window's commands for board programs: Download Program (with the target-board page
// they share ProgramTransfer), Upload Program and Verify Program. The work itself is in the
// program set and the transfer step machines; the progress window drives them.
#include "frmDownloadProg.h"
#include "frmMDIMain.h"
#include "modUtility.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>

namespace talvern::shell {

namespace {
const QString kBrixelFilter = QStringLiteral("Brixel Files(*.bxl)");
const QString kCRLF = QStringLiteral("\r\n");

QAction* AddProgramItem(QMenu* menu, const char* name, const char* caption) {
    QAction* item = menu->addAction(QString::fromUtf8(caption));
    item->setObjectName(QString::fromLatin1(name));
    return item;
}

QMenu* InsertProgramMenu(QMenu* parent, QAction* before, const char* name, const char* caption) {
    auto* menu = new QMenu(QString::fromUtf8(caption), parent);
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    parent->insertMenu(before, menu);
    return menu;
}

QString BoardName(int board) {
    return board == 1 ? QStringLiteral("K2510") : QStringLiteral("R7520");
}
} // namespace

void frmMDIMain::installProgramCommands() {
    // Back up first, verify after: the upload and the verify sit beside the download.
    QAction* before = mnuFileDownload->menuAction();
    mnuFileUploadProgram =
        InsertProgramMenu(mnuFile, before, "mnuFileUploadProgram", "Upload Pro&gram");
    mnuFileUploadProgramK2510 =
        AddProgramItem(mnuFileUploadProgram, "mnuFileUploadProgramK2510", "K2510 PLC");
    mnuFileUploadProgramR7520 =
        AddProgramItem(mnuFileUploadProgram, "mnuFileUploadProgramR7520", "R7520 Motion Control");
    mnuFileVerifyProgram =
        InsertProgramMenu(mnuFile, before, "mnuFileVerifyProgram", "&Verify Program");
    mnuFileVerifyProgramK2510 =
        AddProgramItem(mnuFileVerifyProgram, "mnuFileVerifyProgramK2510", "K2510 PLC");
    mnuFileVerifyProgramR7520 =
        AddProgramItem(mnuFileVerifyProgram, "mnuFileVerifyProgramR7520", "R7520 Motion Control");
    setCommand(mnuFileDownloadProgramK2510, [this] { mnuFileDownloadProgramK2510_Click(); });
    setCommand(mnuFileDownloadProgramR7520, [this] { mnuFileDownloadProgramR7520_Click(); });
    setCommand(mnuFileUploadProgramK2510, [this] { UploadProgram(1); });
    setCommand(mnuFileUploadProgramR7520, [this] { UploadProgram(3); });
    setCommand(mnuFileVerifyProgramK2510, [this] { VerifyProgram(1); });
    setCommand(mnuFileVerifyProgramR7520, [this] { VerifyProgram(3); });
}

void frmMDIMain::setTargetBoardPage(std::function<void(const QString&)> open) {
    targetBoardPage_ = std::move(open);
    if (targetBoardPage_)
        setCommand(mnuViewTargetBoardStatus, [this] { mnuViewTargetBoardStatus_Click(); });
    else
        mnuViewTargetBoardStatus->setEnabled(false);
}

void frmMDIMain::mnuFileDownloadProgramK2510_Click() {
    ProgramTransfer(0);
}
void frmMDIMain::mnuFileDownloadProgramR7520_Click() {
    ProgramTransfer(1);
}
void frmMDIMain::mnuViewTargetBoardStatus_Click() {
    ProgramTransfer(2);
}

frmDownloadProg* frmMDIMain::programWindow() const {
    return qobject_cast<frmDownloadProg*>(programWindow_.data());
}

bool frmMDIMain::askGoOnline() {
    if (gLink->OnlineMode) return true;
    const link::Answer answer = gAnswers->ask(
        QStringLiteral("Program is Currently OFFLINE") + kCRLF + kCRLF +
            QStringLiteral("Do You Wish to Switch to ONLINE MODE to Continue?"),
        QStringLiteral("Program Offline"), link::Buttons::YesNo, link::Icon::Question);
    if (answer != link::Answer::Yes) return false;
    mnuViewOnline_Click();
    return true;
}

QString frmMDIMain::chooseProgramFile() {
    setup::FileDialogs* dialogs = platform_.fileDialogs;
    if (!dialogs) {
        if (!qtFileDialogs_) qtFileDialogs_ = std::make_unique<QtFileDialogs>(this);
        dialogs = qtFileDialogs_.get();
    }
    const QString path = dialogs->openFile(gProgramFilePath, kBrixelFilter);
    if (!path.isEmpty()) gProgramFilePath = path;
    return path;
}

void frmMDIMain::ProgramTransfer(int Mode) {
    if (programWindow_ || !gLink) return;
    if ((Mode == 0 || Mode == 1) && !askGoOnline()) return;
    const QString path = chooseProgramFile();
    if (path.isEmpty()) return;
    const QString title = QFileInfo(path).fileName();
    programSet_.DownloadFile(path, *gAnswers);
    // An invalid file has been reported by the program set.
    if (!programSet_.ValidProgram) return;
    if (Mode == 2) {
        if (targetBoardPage_) targetBoardPage_(path);
        return;
    }
    const int board = Mode == 0 ? 1 : 3;
    if (gAnswers->ask(QStringLiteral("You are about to download \"") + title +
                          QStringLiteral("\" to the ") + BoardName(board) + QStringLiteral(".") +
                          kCRLF + kCRLF + QStringLiteral("Do you wish to continue?"),
                      QStringLiteral("Program Download"), link::Buttons::YesNo,
                      link::Icon::Question) != link::Answer::Yes)
        return;
    runProgramWindow(frmDownloadProg::kDump, board);
}

void frmMDIMain::UploadProgram(int board) {
    if (programWindow_ || !gLink || !askGoOnline()) return;
    const QString path = chooseProgramFile();
    if (path.isEmpty()) return;
    programSet_.UploadFile(path, *gAnswers);
    if (gAnswers->ask(QStringLiteral("You are about to save the program of the ") +
                          BoardName(board) + QStringLiteral(" as \"") +
                          QFileInfo(path).completeBaseName() + QStringLiteral("\".") + kCRLF +
                          kCRLF +
                          QStringLiteral("Its revision, image and configuration files will be "
                                         "replaced.") +
                          kCRLF + kCRLF + QStringLiteral("Do you wish to continue?"),
                      QStringLiteral("Program Upload"), link::Buttons::YesNo,
                      link::Icon::Question) != link::Answer::Yes)
        return;
    runProgramWindow(frmDownloadProg::kUpload, board);
}

void frmMDIMain::VerifyProgram(int board) {
    if (programWindow_ || !gLink || !askGoOnline()) return;
    const QString path = chooseProgramFile();
    if (path.isEmpty()) return;
    programSet_.UploadFile(path, *gAnswers);
    runProgramWindow(frmDownloadProg::kVerify, board);
}

void frmMDIMain::runProgramWindow(int mode, int board) {
    // The background poll stays off the line for the transfer, and always comes back after it.
    tmrBackgroungUpdate.stop();
    auto* window = new frmDownloadProg(
        *gLink, programSet_, *gAnswers, *platform_.clock, board,
        [](int b) { return CheckTargetBoard(b); }, this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowModality(Qt::ApplicationModal);
    window->SetTransferMode(mode);
    if (mode == frmDownloadProg::kDump && changeLog_) {
        // The dump's writes make one line in the change log: the file set, ident and result.
        auto group = std::make_shared<setup::ChangeSource>(changeLog_.get(),
                                                           QStringLiteral("Program dump"), true);
        const int writesBefore = changeLog_->writesHeard();
        window->onFinished = [this, group, writesBefore, board](bool succeeded) mutable {
            if (changeLog_->writesHeard() != writesBefore)
                changeLog_->recordProgramDump(board, programSet_.ProgramFileName,
                                              programSet_.ProgramIdent, succeeded);
            group.reset();
        };
    }
    connect(window, &QObject::destroyed, this, [this] {
        if (closed_) return;
        tmrBackgroungUpdate.start();
        UpdateOnlineState();
    });
    programWindow_ = window;
    window->show();
}

} // namespace talvern::shell
