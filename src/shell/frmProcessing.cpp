#include "frmProcessing.h"

#include "modUtility.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace talvern::shell {

frmProcessing::frmProcessing(int mode, link::RSComm& link, setup::SetupData& setup,
                             link::UserAnswers& answers, link::EventPump& events,
                             std::function<bool(int)> checkTargetBoard, QWidget* parent)
    : QDialog(parent), link_(link),
      transfer_(std::make_unique<setup::DataTransfer>(mode, link, setup, answers, events,
                                                      std::move(checkTargetBoard))) {
    setObjectName(QStringLiteral("frmProcessing"));
    setWindowTitle(QStringLiteral("TALVERN"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    fraProcessing = new QFrame(this);
    fraProcessing->setObjectName(QStringLiteral("fraProcessing"));
    fraProcessing->setFrameStyle(QFrame::Box | QFrame::Sunken);
    lblProcessing = new QLabel(fraProcessing);
    lblProcessing->setObjectName(QStringLiteral("lblProcessing"));
    lblProcessing->setAlignment(Qt::AlignCenter);
    prgProcessing = new QProgressBar(fraProcessing);
    prgProcessing->setObjectName(QStringLiteral("prgProcessing"));
    prgProcessing->setTextVisible(false);
    // Enter, Escape and Alt+C all reach it: it is the window's only button.
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setDefault(true);
    auto* inner = new QVBoxLayout(fraProcessing);
    inner->addWidget(lblProcessing);
    inner->addWidget(prgProcessing);
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(fraProcessing);
    outer->addWidget(cmdCancel, 0, Qt::AlignHCenter);
    connect(cmdCancel, &QPushButton::clicked, this, &frmProcessing::cmdCancel_Click);

    // Window load: progress from 0, label and maximum by mode.
    prgProcessing->setMinimum(0);
    prgProcessing->setMaximum(transfer_->maximum());
    prgProcessing->setValue(0);
    lblProcessing->setText(transfer_->label());
    resize(420, 140);
    CenterWindow(this);

    tmrProcessing.setObjectName(QStringLiteral("tmrProcessing"));
    tmrProcessing.setInterval(0);
    connect(&tmrProcessing, &QTimer::timeout, this, &frmProcessing::tmrProcessing_Timer);
}

frmProcessing::~frmProcessing() {
    tmrProcessing.stop();
}

void frmProcessing::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Start once the window has been painted, from the event loop.
    if (!started_) QTimer::singleShot(0, this, &frmProcessing::RunTransfer);
}

void frmProcessing::RunTransfer() {
    if (started_) return;
    started_ = true;
    tmrProcessing.start();
}

void frmProcessing::tmrProcessing_Timer() {
    // A tick that comes while the link is in a transaction or one of its questions, or while a
    // step's own message box is open, waits: a step never runs inside another.
    if (done_ || stepping_ || link_.IsBusy()) return;
    started_ = true;
    stepping_ = true;
    const bool more = transfer_->step();
    stepping_ = false;
    lblProcessing->setText(transfer_->label());
    prgProcessing->setValue(std::min(transfer_->progress(), prgProcessing->maximum()));
    if (more) return;
    done_ = true;
    tmrProcessing.stop();
    if (onFinished) onFinished(*transfer_);
    close();
}

void frmProcessing::cmdCancel_Click() {
    transfer_->cancel();
}

// Escape and the title bar's close button act as Cancel while the transfer runs.
void frmProcessing::reject() {
    if (done_)
        QDialog::reject();
    else
        cmdCancel_Click();
}

void frmProcessing::closeEvent(QCloseEvent* event) {
    if (done_) {
        QDialog::closeEvent(event);
        return;
    }
    event->ignore();
    cmdCancel_Click();
}

} // namespace talvern::shell
