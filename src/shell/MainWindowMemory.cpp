// What the main window keeps between runs, in the user's settings file: its size, place and
// maximised state, and the set-up files opened or saved last (listed above Exit).
#include "frmMDIMain.h"
#include "modUtility.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>

namespace talvern::shell {

namespace {
const QString kPlacementKey = QStringLiteral("MainWindow/Geometry");
const QString kPanelsKey = QStringLiteral("MainWindow/Panels"); // the wire monitor's dock
} // namespace

void frmMDIMain::buildRecentFiles() {
    if (!platform_.settingsFile.isEmpty()) {
        settings_ = std::make_unique<QSettings>(platform_.settingsFile, QSettings::IniFormat);
        recentFiles_ = setup::RecentFiles::load(*settings_);
    }
    for (int i = 0; i < setup::RecentFiles::kMaxFiles; ++i) {
        auto* item = new QAction(this);
        item->setObjectName(QStringLiteral("mnuFileRecent%1").arg(i));
        mnuFile->insertAction(mnuFileExit, item);
        setCommand(item, [this, i] { mnuFileRecent_Click(i); });
        mnuFileRecent[i] = item;
    }
    recentSeparator_ = mnuFile->insertSeparator(mnuFileExit);
    showRecentFiles();
}

void frmMDIMain::showRecentFiles() {
    const QStringList& paths = recentFiles_.paths();
    for (int i = 0; i < setup::RecentFiles::kMaxFiles; ++i) {
        const bool used = i < paths.size();
        mnuFileRecent[i]->setVisible(used);
        mnuFileRecent[i]->setText(used ? setup::RecentFileCaption(i, paths.at(i)) : QString());
    }
    recentSeparator_->setVisible(!paths.isEmpty());
}

void frmMDIMain::rememberFile(const QString& path) {
    recentFiles_.add(path);
    if (settings_) recentFiles_.save(*settings_);
    showRecentFiles();
}

void frmMDIMain::mnuFileRecent_Click(int index) {
    if (index < 0 || index >= recentFiles_.paths().size()) return;
    const QString path = recentFiles_.paths().at(index);
    if (!QFileInfo::exists(path)) {
        recentFiles_.remove(path);
        if (settings_) recentFiles_.save(*settings_);
        showRecentFiles();
        platform_.answers->ask(path + QStringLiteral("\r\n\r\nThis set-up file no longer exists. "
                                                     "It has been removed from the list of "
                                                     "recent files."),
                               QStringLiteral("TALVERN"), link::Buttons::Ok,
                               link::Icon::Exclamation);
        return;
    }
    fileCommands().Open(path);
}

void frmMDIMain::restorePlacement() {
    if (!settings_) return;
    restoreGeometry(settings_->value(kPlacementKey).toByteArray());
    restoreState(settings_->value(kPanelsKey).toByteArray());
}

void frmMDIMain::savePlacement() {
    if (!settings_) return;
    settings_->setValue(kPlacementKey, saveGeometry());
    settings_->setValue(kPanelsKey, saveState());
    settings_->sync();
}

} // namespace talvern::shell
