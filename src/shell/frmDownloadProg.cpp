#include "frmDownloadProg.h"

#include "modUtility.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace talvern::shell {

frmDownloadProg::frmDownloadProg(link::RSComm& link, targetboard::ProgramSet& set,
                                 link::UserAnswers& answers, link::Clock& clock, int boardNumber,
                                 std::function<bool(int)> checkTargetBoard, QWidget* parent)
    : QDialog(parent), link_(link), set_(set), answers_(answers), clock_(clock),
      boardNumber_(boardNumber), checkTargetBoard_(std::move(checkTargetBoard)) {
    setObjectName(QStringLiteral("frmDownloadProg"));
    setWindowTitle(QStringLiteral("TALVERN"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    fraDownloadProg = new QFrame(this);
    fraDownloadProg->setObjectName(QStringLiteral("fraDownloadProg"));
    fraDownloadProg->setFrameStyle(QFrame::Box | QFrame::Sunken);
    lblWaitDisplay = new QLabel(fraDownloadProg);
    lblWaitDisplay->setObjectName(QStringLiteral("lblWaitDisplay"));
    lblWaitDisplay->setAlignment(Qt::AlignCenter);
    prgDownloadProg = new QProgressBar(fraDownloadProg);
    prgDownloadProg->setObjectName(QStringLiteral("prgDownloadProg"));
    prgDownloadProg->setRange(0, 100);
    prgDownloadProg->setValue(0);
    lblProgress = new QLabel(fraDownloadProg);
    lblProgress->setObjectName(QStringLiteral("lblProgress"));
    lblProgress->setAlignment(Qt::AlignCenter);
    auto* inner = new QVBoxLayout(fraDownloadProg);
    inner->addWidget(lblWaitDisplay);
    inner->addWidget(prgDownloadProg);
    inner->addWidget(lblProgress);
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(fraDownloadProg);
    SetTransferMode(kDump);
    resize(440, 130);
    CenterWindow(this);

    Timer1.setObjectName(QStringLiteral("Timer1"));
    Timer1.setInterval(250);
    connect(&Timer1, &QTimer::timeout, this, &frmDownloadProg::Timer1_Timer);
    stepTimer_.setSingleShot(true);
    connect(&stepTimer_, &QTimer::timeout, this, &frmDownloadProg::runStep);
}

frmDownloadProg::~frmDownloadProg() {
    Timer1.stop();
    stepTimer_.stop();
}

void frmDownloadProg::SetTransferMode(int Mode) {
    mode_ = Mode;
    lblWaitDisplay->setText(Mode == kDump     ? QStringLiteral("Sending Program at Address: ")
                            : Mode == kUpload ? QStringLiteral("Reading Program at Address: ")
                                              : QStringLiteral("Verifying Program at Address: "));
}

void frmDownloadProg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The transfer starts from the event loop once the window has been painted.
    if (!started_) QTimer::singleShot(0, this, &frmDownloadProg::start);
}

void frmDownloadProg::start() {
    if (started_) return;
    started_ = true;
    Timer1.start();
    switch (mode_) {
        case kDump:
            dump_ = std::make_unique<targetboard::ProgramDump>(link_, set_, answers_, clock_,
                                                               boardNumber_, checkTargetBoard_);
            break;
        case kUpload:
            upload_ = std::make_unique<targetboard::ProgramUpload>(link_, set_, answers_, clock_,
                                                                   boardNumber_, checkTargetBoard_);
            upload_->InUploadMode = true;
            break;
        default:
            verify_ = std::make_unique<targetboard::ProgramVerify>(link_, set_, answers_, clock_,
                                                                   boardNumber_, checkTargetBoard_);
            break;
    }
    scheduleStep();
}

void frmDownloadProg::scheduleStep() {
    int ms = 0;
    if (dump_) ms = std::max(0, static_cast<int>((dump_->resumeAt() - clock_.now()) * 1000.0));
    stepTimer_.start(ms);
}

void frmDownloadProg::runStep() {
    if (done_) return;
    if (!started_) start();
    bool more = false;
    if (dump_) {
        more = dump_->step();
        succeeded_ = dump_->succeeded();
    } else if (upload_) {
        more = upload_->step();
        succeeded_ = upload_->succeeded();
    } else if (verify_) {
        more = verify_->step();
        succeeded_ = verify_->matches();
    }
    if (more) {
        scheduleStep();
        return;
    }
    done_ = true;
    Timer1.stop();
    if (onFinished) onFinished(succeeded_);
    SetTransferMode(kDump);
    close();
}

const targetboard::TransferProgress* frmDownloadProg::progress() const {
    if (dump_) return &dump_->progress();
    if (upload_) return &upload_->progress();
    if (verify_) return &verify_->progress();
    return nullptr;
}

void frmDownloadProg::Timer1_Timer() {
    if (dump_ && dump_->InProgramMode) {
        lblWaitDisplay->setText(dump_->WritingIdent
                                    ? QStringLiteral("Writing Program Ident ... ")
                                    : QStringLiteral("Writing to Program Address: ") +
                                          dump_->CurrentProgramAdd);
    } else if (upload_ && upload_->InUploadMode) {
        lblWaitDisplay->setText(upload_->ReadingIdent
                                    ? QStringLiteral("Reading Program Ident ... ")
                                    : QStringLiteral("Reading From Program Address: ") +
                                          upload_->CurrentProgramAdd);
    } else if (verify_) {
        lblWaitDisplay->setText(QStringLiteral("Verifying Program Address: ") +
                                verify_->CurrentProgramAdd);
    }
    if (const targetboard::TransferProgress* p = progress(); p && p->total > 0) {
        // Between steps (the dump's settle) the time left still runs down.
        const targetboard::TransferProgress now = p->at(clock_.now());
        prgDownloadProg->setValue(now.percent());
        lblProgress->setText(now.text());
    }
}

// Escape and the title bar's close button wait for the transfer: a board is never left with
// half a program because a window was closed.
void frmDownloadProg::reject() {
    if (done_ || !started_) QDialog::reject();
}

void frmDownloadProg::closeEvent(QCloseEvent* event) {
    if (done_ || !started_) {
        QDialog::closeEvent(event);
        return;
    }
    event->ignore();
}

} // namespace talvern::shell
