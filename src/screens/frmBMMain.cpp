#include "frmBMMain.h"

#include "BMMainDisplay.h"
#include "ScreenHold.h"
#include "VerifiedTransfer.h"
#include "modUtility.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace talvern::screens {

using shell::gLink;

frmBMMain::frmBMMain(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmBMMain"));
    setWindowTitle(QStringLiteral("BM Main Display"));

    const char* captions[2] = {"Machine Speed SPM", "Machine Position"};
    auto* values = new QHBoxLayout;
    for (int i = 0; i < 2; ++i) {
        fraDisplay[i] = new QGroupBox(QString::fromLatin1(captions[i]), this);
        fraDisplay[i]->setObjectName(QStringLiteral("fraDisplay%1").arg(i));
        lblDisplay[i] = new QLabel(QStringLiteral("-"), fraDisplay[i]);
        lblDisplay[i]->setObjectName(QStringLiteral("lblDisplay%1").arg(i));
        lblDisplay[i]->setAlignment(Qt::AlignCenter);
        lblDisplay[i]->setMinimumWidth(160);
        QFont big = lblDisplay[i]->font();
        big.setPointSize(big.pointSize() * 3);
        big.setBold(true);
        lblDisplay[i]->setFont(big);
        auto* box = new QVBoxLayout(fraDisplay[i]);
        box->addWidget(lblDisplay[i]);
        values->addWidget(fraDisplay[i]);
    }
    fraMessageDisplay = new QGroupBox(QStringLiteral("Messages"), this);
    fraMessageDisplay->setObjectName(QStringLiteral("fraMessageDisplay"));
    txtMessageDisplay = new QPlainTextEdit(fraMessageDisplay);
    txtMessageDisplay->setObjectName(QStringLiteral("txtMessageDisplay"));
    txtMessageDisplay->setReadOnly(true);
    txtMessageDisplay->setMinimumHeight(120);
    auto* messages = new QVBoxLayout(fraMessageDisplay);
    messages->addWidget(txtMessageDisplay);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(values);
    layout->addWidget(fraMessageDisplay, 1);

    cycle_ = new setup::RefreshCycle([this] { return BuildPass(); }, shell::ScreenHold(this), this);

    // Load.
    ParamAddr = {QStringLiteral("W182"), QStringLiteral("W180")};
    if (gLink && gLink->OnlineMode)
        SetupOnlineDisplay();
    else
        SetupOfflineDisplay();
}

frmBMMain::~frmBMMain() {
    Form_Unload();
}

void frmBMMain::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Form_Activate();
}

void frmBMMain::closeEvent(QCloseEvent* event) {
    Form_Unload();
    QWidget::closeEvent(event);
}

void frmBMMain::Form_Activate() {
    ScreenActive = true;
    cycle_->start();
}

void frmBMMain::Form_Unload() {
    ScreenActive = false;
    cycle_->stop();
}

void frmBMMain::SetupOnlineDisplay() {
    for (int i = 0; i < 2; ++i) {
        fraDisplay[i]->setEnabled(true);
        lblDisplay[i]->setEnabled(true);
    }
    OnlineShown = true;
}

void frmBMMain::SetupOfflineDisplay() {
    for (int i = 0; i < 2; ++i) {
        lblDisplay[i]->setText(QStringLiteral("-"));
        fraDisplay[i]->setEnabled(false);
        lblDisplay[i]->setEnabled(false);
    }
    OfflineShown = true;
}

setup::RefreshCycle::Pass frmBMMain::BuildPass() {
    setup::RefreshCycle::Pass pass;
    pass.steps.push_back([this] { return PassStart(); });
    pass.steps.push_back([this] {
        // The board check; a false answer means no reads in this pass.
        return ScreenActive && gLink && gLink->OnlineMode && shell::CheckTargetBoard(1);
    });
    for (int i = 0; i < ParamAddr.size(); ++i)
        pass.steps.push_back([this, i] { return ReadValue(i); });
    return pass;
}

// The start of a pass: a link failure turns the program offline, the message box follows the
// system message, and the display is set up for the mode. True when the pass goes on to read.
bool frmBMMain::PassStart() {
    if (!ScreenActive || !gLink) return false;
    if (gLink->CommError) {
        gLink->OnlineMode = false;
        OnlineShown = false;
        shell::UpdateOnlineState();
    }
    // Compared with the text last put in, not with what the box gives back (its lines end in LF
    // where the message's end in CR LF): rewriting the box would scroll it back to the top
    // every pass, and a long alarm list could never be read to its end.
    if (shownMessage_ != shell::gSystemMessage) {
        shownMessage_ = shell::gSystemMessage;
        txtMessageDisplay->setPlainText(shownMessage_);
    }
    if (!gLink->OnlineMode) {
        if (!OfflineShown) SetupOfflineDisplay();
        OnlineShown = false;
        return false;
    }
    if (!OnlineShown) SetupOnlineDisplay();
    OfflineShown = false;
    return true;
}

bool frmBMMain::ReadValue(int index) {
    if (!ScreenActive || !gLink || !gLink->OnlineMode) return false;
    const std::optional<QString> value = link::ReadOnce(*gLink, ParamAddr[index]);
    if (gLink->CommError) return false;
    if (value) LastRead = *value;
    if (!value)
        lblDisplay[index]->setText(QStringLiteral("-"));
    else if (index == 0)
        lblDisplay[0]->setText(value->trimmed());
    else
        lblDisplay[1]->setText(PositionDisplay(lblDisplay[0]->text(), *value));
    return true;
}

} // namespace talvern::screens
