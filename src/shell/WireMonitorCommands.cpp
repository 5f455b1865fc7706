// View → Wire Monitor and the link's health in the status bar, both fed by the recorder that
// listens to the link from the moment it is made.
#include "ChangeLog.h"
#include "LinkHealthPanel.h"
#include "OnlineState.h"
#include "SetupData.h"
#include "WireMonitorPanel.h"
#include "frmMDIMain.h"

#include <QAction>
#include <QMenu>
#include <QStatusBar>
#include <QTableView>

namespace talvern::shell {

void frmMDIMain::installWireMonitor() {
    wireRecorder_ = std::make_unique<link::WireRecorder>(platform_.clock->now());
    wireRecorder_->setBoardAddress(QString::fromLatin1(setup::kBoardTypeAddress));
    link_->SetObserver(wireRecorder_.get());

    WireMonitorSources sources;
    sources.recorder = wireRecorder_.get();
    sources.clock = platform_.clock;
    sources.baud = [this] { return link_->CurrentPortSettings().baud; };
    sources.dialogs = [this]() -> setup::FileDialogs& {
        if (platform_.fileDialogs) return *platform_.fileDialogs;
        if (!qtFileDialogs_) qtFileDialogs_ = std::make_unique<QtFileDialogs>(this);
        return *qtFileDialogs_;
    };
    sources.answers = platform_.answers;
    sources.names = setup::ParameterNameAt;
    sources.saveFolder = userFilesFolder();
    wireMonitor_ = new WireMonitorPanel(std::move(sources), this);
    addDockWidget(Qt::RightDockWidgetArea, wireMonitor_);
    wireMonitor_->hide();

    mnuViewWireMonitor = wireMonitor_->toggleViewAction();
    mnuViewWireMonitor->setObjectName(QStringLiteral("mnuViewWireMonitor"));
    mnuViewWireMonitor->setText(QStringLiteral("&Wire Monitor"));
    mnuView->addSeparator();
    mnuView->addAction(mnuViewWireMonitor);
    // Opened from the keyboard, the panel takes the keyboard.
    connect(mnuViewWireMonitor, &QAction::triggered, this, [this](bool shown) {
        if (shown) wireMonitor_->grdWireMonitor->setFocus();
    });

    AddLinkHealthPanel(statusBar(), *wireRecorder_, *platform_.clock,
                       [this] { return link_ && link_->OnlineMode; });
}

} // namespace talvern::shell
