#include "frmAcquireSignatures.h"

#include "ScreenHold.h"
#include "modUtility.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace talvern::screens {

using namespace talvern::shell;

frmAcquireSignatures::frmAcquireSignatures(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAcquireSignatures"));
    setWindowTitle(QStringLiteral("TALVERN"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    fraAcquire = new QGroupBox(QStringLiteral("Aquisition of Data:"), this);
    fraAcquire->setObjectName(QStringLiteral("fraAcquire"));
    prgAcquire = new QProgressBar(fraAcquire);
    prgAcquire->setObjectName(QStringLiteral("prgAcquire"));
    prgAcquire->setTextVisible(false);
    prgAcquire->setRange(0, 0);
    lblAcquire = new QLabel(QStringLiteral("In Progress..."), fraAcquire);
    lblAcquire->setObjectName(QStringLiteral("lblAcquire"));
    lblAcquire->setAlignment(Qt::AlignCenter);
    // Enter, Escape and Alt+C all reach it: it is the window's only button.
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setDefault(true);
    auto* inner = new QVBoxLayout(fraAcquire);
    inner->addWidget(prgAcquire);
    inner->addWidget(lblAcquire);
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(fraAcquire);
    outer->addWidget(cmdCancel, 0, Qt::AlignHCenter);
    connect(cmdCancel, &QPushButton::clicked, this, &frmAcquireSignatures::cmdCancel_Click);
    resize(360, 130);
    CenterWindow(this);

    // The record as it is now is what Cancel returns to.
    acquisition_ =
        std::make_unique<signatures::SignatureAcquisition>(*gLink, gSignature, *gAnswers);
    cycle_ = std::make_unique<setup::RefreshCycle>(
        [this] {
            setup::RefreshCycle::Pass pass;
            pass.steps.push_back([this] { return runStep(); });
            return pass;
        },
        ScreenHold(this));
}

frmAcquireSignatures::~frmAcquireSignatures() {
    cycle_->stop();
}

void frmAcquireSignatures::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    cycle_->start();
}

bool frmAcquireSignatures::runStep() {
    if (done_) return false;
    const bool more = acquisition_->step();
    if (acquisition_->maximum() > 0) {
        prgAcquire->setRange(0, acquisition_->maximum());
        prgAcquire->setValue(acquisition_->progress());
    }
    if (more) return true;
    done_ = true;
    cycle_->stop();
    if (onFinished) onFinished(*acquisition_);
    close();
    return false;
}

void frmAcquireSignatures::cmdCancel_Click() {
    acquisition_->cancel();
}

// Escape and the title bar's close button act as Cancel while the acquisition runs: the board
// is told to abandon the recording and the record returns to what it was.
void frmAcquireSignatures::reject() {
    if (done_)
        QDialog::reject();
    else
        cmdCancel_Click();
}

void frmAcquireSignatures::closeEvent(QCloseEvent* event) {
    if (done_) {
        QDialog::closeEvent(event);
        return;
    }
    event->ignore();
    cmdCancel_Click();
}

} // namespace talvern::screens
