#include "BoardScreen.h"

#include "ScreenHold.h"
#include "VerifiedTransfer.h"
#include "modUtility.h"

#include <QCloseEvent>
#include <QPushButton>

namespace talvern::screens {

using namespace talvern::shell;

BoardScreen::BoardScreen(int boardNumber, QWidget* parent)
    : QWidget(parent), boardNumber_(boardNumber) {
    cycle_ =
        std::make_unique<setup::RefreshCycle>([this] { return buildPass(); }, ScreenHold(this));
}

BoardScreen::~BoardScreen() {
    unload();
}

void BoardScreen::load() {
    OfflineEditSeen = gOfflineEditing;
    if (gLink && gLink->OnlineMode)
        SetupOnlineDisplay();
    else
        SetupOfflineDisplay();
}

void BoardScreen::activate() {
    if (ScreenActive) return;
    activated_ = true;
    ScreenActive = true;
    onActivate();
    cycle_->start();
}

void BoardScreen::unload() {
    if (!ScreenActive && !cycle_->isActive()) return;
    ScreenActive = false;
    onUnload();
    cycle_->stop();
}

void BoardScreen::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!activated_) activate();
}

void BoardScreen::closeEvent(QCloseEvent* event) {
    unload();
    QWidget::closeEvent(event);
}

QPushButton* BoardScreen::makeDefaultButton() {
    auto* button = new QPushButton(this);
    button->setObjectName(QStringLiteral("cmdDefault"));
    button->setFlat(true);
    button->setFixedSize(4, 4);
    button->setFocusPolicy(Qt::ClickFocus);
    button->setAccessibleName(tr("End of edit"));
    return button;
}

setup::RefreshCycle::Pass BoardScreen::buildPass() {
    setup::RefreshCycle::Pass pass;
    pass.steps.push_back([this] { return head(); });
    pass.steps.push_back([this] { return checkBoard(); });
    for (int i = 0; i < ParamAddr.size(); ++i)
        pass.steps.push_back([this, i] { return showIndex(i); });
    pass.atEnd = [this] { passEnded(); };
    return pass;
}

bool BoardScreen::head() {
    if (!ScreenActive) return false;
    if (gLink->CommError) {
        gLink->OnlineMode = false;
        OnlineShown = false;
        UpdateOnlineState();
    }
    passOnline_ = gLink->OnlineMode;
    if (passOnline_) {
        if (!OnlineShown) SetupOnlineDisplay();
        OfflineShown = false;
        return true;
    }
    if (!OfflineShown) SetupOfflineDisplay();
    OnlineShown = false;
    if (!hasOfflinePass()) return false;
    // Offline editing switched on or off: the next pass redoes the offline set-up.
    if (OfflineEditSeen != gOfflineEditing) {
        OfflineShown = false;
        OfflineEditSeen = gOfflineEditing;
    }
    return true;
}

bool BoardScreen::checkBoard() {
    if (!ScreenActive) return false;
    if (!passOnline_) return !gLink->OnlineMode;
    if (!gLink->OnlineMode) return false;
    return CheckTargetBoard(boardNumber_);
}

bool BoardScreen::showIndex(int i) {
    if (!ScreenActive) return false;
    if (!passOnline_) {
        if (gLink->OnlineMode) return false;
        showOffline(i);
        return true;
    }
    if (!gLink->OnlineMode) return false;
    const std::optional<QString> value = link::ReadOnce(*gLink, ParamAddr.at(i));
    if (gLink->CommError) return false;
    if (value) LastRead = *value;
    showRead(i, value);
    return true;
}

} // namespace talvern::screens
