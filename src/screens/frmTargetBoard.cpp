#include "frmTargetBoard.h"

#include "ParameterEditor.h"
#include "ScreenHold.h"
#include "SideFiles.h"
#include "UpDownSpinner.h"
#include "VerifiedTransfer.h"
#include "modUtility.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QVBoxLayout>

namespace talvern::screens {

using namespace targetboard;
using shell::gLink;

namespace {
QLabel* NamedLabel(const QString& name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

QLineEdit* DescriptionBox(const QString& name, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setReadOnly(true);
    box->setMinimumWidth(320);
    return box;
}
} // namespace

frmTargetBoard::frmTargetBoard(QString programFolder, QWidget* parent)
    : QDialog(parent), programFolder_(std::move(programFolder)) {
    setObjectName(QStringLiteral("frmTargetBoard"));
    setWindowTitle(QStringLiteral("Target Board Interface"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    cmdDefault = new QPushButton(this);
    cmdDefault->setObjectName(QStringLiteral("cmdDefault"));
    cmdDefault->setFixedSize(8, 8);
    cmdDefault->setFlat(true);
    editor_ = std::make_unique<ParameterEditor>(cmdDefault, shell::gAnswers, this);
    editor_->setMessageTitle(
        [](int i) { return QStringLiteral("Set-up") + QLatin1String(kSetupFields[i].label); });
    editor_->setCommit([this](int i, const QString& text, std::int32_t, ParameterEditor::Via) {
        commitField(i, text);
    });
    editor_->setStepAllowed(
        [this](int i) { return !gLink || !gLink->OnlineMode || monitor_->fieldKnown(i); });

    tabTargetBoard = new QTabBar(this);
    tabTargetBoard->setObjectName(QStringLiteral("tabTargetBoard"));
    for (const char* caption : {"&Fault Codes / Status", "&Program Ident/Revision",
                                "&Set Network Address", "S&et Time && Date"})
        tabTargetBoard->addTab(QString::fromUtf8(caption));
    for (int i = 0; i < 4; ++i) {
        fraTargetBoard[i] = new QGroupBox(this);
        fraTargetBoard[i]->setObjectName(QStringLiteral("fraTargetBoard_%1").arg(i));
        fraTargetBoard[i]->setFlat(true);
    }
    buildFaultTab();
    buildIdentTab();
    buildNetworkTab();
    buildClockTab();
    connect(tabTargetBoard, &QTabBar::currentChanged, this, &frmTargetBoard::tabTargetBoard_Click);

    cmdGoOnline = new QPushButton(QStringLiteral("&Go Online"), this);
    cmdGoOnline->setObjectName(QStringLiteral("cmdGoOnline"));
    cmdOk = new QPushButton(QStringLiteral("OK"), this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    connect(cmdGoOnline, &QPushButton::clicked, this, &frmTargetBoard::cmdGoOnline_Click);
    connect(cmdOk, &QPushButton::clicked, this, &frmTargetBoard::cmdOk_Click);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdDefault);
    buttons->addStretch(1);
    buttons->addWidget(cmdGoOnline);
    buttons->addWidget(cmdOk);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabTargetBoard);
    for (QGroupBox* frame : fraTargetBoard)
        layout->addWidget(frame, 1);
    layout->addLayout(buttons);

    monitor_ = std::make_unique<TargetBoardMonitor>(
        *gLink, *this, programFolder_, [] { return QDateTime::currentDateTime(); },
        shell::ScreenHold(this));
}

frmTargetBoard::~frmTargetBoard() {
    monitor_->stop();
}

void frmTargetBoard::buildFaultTab() {
    QWidget* tab = fraTargetBoard[0];
    auto* faults = new QGroupBox(QStringLiteral("Internal Fault Code:"), tab);
    faults->setObjectName(QStringLiteral("fraFaultCode"));
    auto* comms = new QGroupBox(QStringLiteral("Communications Network Error Codes:"), tab);
    comms->setObjectName(QStringLiteral("fraCommError"));
    for (int k = 0; k < 6; ++k) {
        QWidget* parent = k >= 4 ? comms : faults;
        lblTargetBoard[k] =
            NamedLabel(QStringLiteral("lblTargetBoard_%1").arg(k), QString(), parent);
        if (k != 2 && k != 3)
            txtTargetBoard[k] = DescriptionBox(QStringLiteral("txtTargetBoard_%1").arg(k), parent);
    }
    lblTargetBoard[3]->setText(QStringLiteral("Corrective Action:"));
    txtAdvice = new QPlainTextEdit(faults);
    txtAdvice->setObjectName(QStringLiteral("txtTargetBoard_3"));
    txtAdvice->setReadOnly(true);
    txtAdvice->setFixedHeight(72);
    auto* f = new QGridLayout(faults);
    f->addWidget(lblTargetBoard[0], 0, 0);
    f->addWidget(txtTargetBoard[0], 0, 1);
    f->addWidget(lblTargetBoard[1], 1, 0);
    f->addWidget(txtTargetBoard[1], 1, 1);
    f->addWidget(lblTargetBoard[2], 2, 0);
    f->addWidget(lblTargetBoard[3], 3, 0, Qt::AlignTop);
    f->addWidget(txtAdvice, 3, 1);
    auto* c = new QGridLayout(comms);
    c->addWidget(lblTargetBoard[4], 0, 0);
    c->addWidget(txtTargetBoard[4], 0, 1);
    c->addWidget(lblTargetBoard[5], 1, 0);
    c->addWidget(txtTargetBoard[5], 1, 1);
    cmdResetFaults = new QPushButton(QStringLiteral("&Reset Faults"), tab);
    cmdResetFaults->setObjectName(QStringLiteral("cmdResetFaults"));
    cmdResetFaults->setEnabled(false);
    connect(cmdResetFaults, &QPushButton::clicked, this, &frmTargetBoard::cmdResetFaults_Click);
    auto* v = new QVBoxLayout(tab);
    v->addWidget(faults);
    v->addWidget(comms);
    v->addWidget(cmdResetFaults, 0, Qt::AlignRight);
    v->addStretch(1);
}

void frmTargetBoard::buildIdentTab() {
    QWidget* tab = fraTargetBoard[1];
    auto* disk = new QGroupBox(QStringLiteral("On Disk:"), tab);
    disk->setObjectName(QStringLiteral("fraOnDisk"));
    auto* board = new QGroupBox(QStringLiteral("In Target Board:"), tab);
    board->setObjectName(QStringLiteral("fraInTargetBoard"));
    const char* captions[5] = {"Name:", "Revision:", "Checksum:", "Target Board:", "Rev Date:"};
    auto* d = new QGridLayout(disk);
    auto* b = new QGridLayout(board);
    for (int i = 0; i < 5; ++i) {
        lblRevIdentOnDisk[i] =
            NamedLabel(QStringLiteral("lblRevIdentOnDisk_%1").arg(i), QString(), disk);
        d->addWidget(new QLabel(QString::fromLatin1(captions[i]), disk), i, 0);
        d->addWidget(lblRevIdentOnDisk[i], i, 1);
        if (i < 3) {
            lblRevIdentInPLC[i] = NamedLabel(QStringLiteral("lblRevIdentInPLC_%1").arg(i),
                                             QStringLiteral("-"), board);
            b->addWidget(new QLabel(QString::fromLatin1(captions[i]), board), i, 0);
            b->addWidget(lblRevIdentInPLC[i], i, 1);
        }
    }
    d->setColumnStretch(1, 1);
    b->setColumnStretch(1, 1);
    d->setRowStretch(5, 1);
    b->setRowStretch(4, 1);
    auto* h = new QHBoxLayout(tab);
    h->addWidget(disk, 1);
    h->addWidget(board, 1);
}

namespace {
// A field's label, box and spinner, registered with the editor.
void MakeField(int i, QWidget* parent, std::array<QLabel*, 8>& labels,
               std::array<QLineEdit*, 8>& boxes, std::array<UpDown*, 8>& spinners,
               ParameterEditor& editor) {
    labels[i] = NamedLabel(QStringLiteral("lblSetupDesc_%1").arg(i),
                           QString::fromLatin1(kSetupFields[i].label), parent);
    boxes[i] = new QLineEdit(parent);
    boxes[i]->setObjectName(QStringLiteral("txtSetup_%1").arg(i));
    boxes[i]->setFixedWidth(48);
    boxes[i]->setAlignment(Qt::AlignRight);
    spinners[i] = new UpDown(parent);
    spinners[i]->setObjectName(QStringLiteral("updSetup_%1").arg(i));
    spinners[i]->setRange(kSetupFields[i].min, kSetupFields[i].max);
    labels[i]->setBuddy(boxes[i]);
    editor.addField(labels[i], boxes[i], spinners[i]);
}
} // namespace

void frmTargetBoard::buildNetworkTab() {
    QWidget* tab = fraTargetBoard[2];
    auto* g = new QGridLayout;
    for (int i = 0; i < 2; ++i) {
        MakeField(i, tab, lblSetupDesc, txtSetup, updSetup, *editor_);
        g->addWidget(lblSetupDesc[i], i, 0);
        g->addWidget(txtSetup[i], i, 1);
        g->addWidget(updSetup[i], i, 2);
    }
    g->setColumnStretch(3, 1);
    lblNetworkAddComment = NamedLabel(QStringLiteral("lblNetworkAddComment"), QString(), tab);
    lblNetworkAddComment->setWordWrap(true);
    auto* v = new QVBoxLayout(tab);
    v->addLayout(g);
    v->addWidget(lblNetworkAddComment);
    v->addStretch(1);
}

void frmTargetBoard::buildClockTab() {
    QWidget* tab = fraTargetBoard[3];
    auto* g = new QGridLayout;
    lblTargetTime =
        NamedLabel(QStringLiteral("lblTargetTime"), QStringLiteral("Target Board Time:"), tab);
    lblTargetDate =
        NamedLabel(QStringLiteral("lblTargetDate"), QStringLiteral("Target Board Date:"), tab);
    g->addWidget(lblTargetTime, 0, 0);
    g->addWidget(lblTargetDate, 1, 0);
    for (int i = 2; i < 8; ++i) {
        MakeField(i, tab, lblSetupDesc, txtSetup, updSetup, *editor_);
        const int row = i < 5 ? 0 : 1;
        const int column = 1 + ((i - 2) % 3) * 3;
        g->addWidget(lblSetupDesc[i], row, column, Qt::AlignRight);
        g->addWidget(txtSetup[i], row, column + 1);
        g->addWidget(updSetup[i], row, column + 2);
    }
    g->addWidget(new QLabel(QStringLiteral("Current Time:"), tab), 2, 0);
    lblCurrentTime =
        NamedLabel(QStringLiteral("lblCurrentTime"), QStringLiteral("XX : XX : XX"), tab);
    g->addWidget(lblCurrentTime, 2, 1, 1, 3);
    g->addWidget(new QLabel(QStringLiteral("Current Date:"), tab), 3, 0);
    lblCurrentDate =
        NamedLabel(QStringLiteral("lblCurrentDate"), QStringLiteral("XX - XX - XX"), tab);
    g->addWidget(lblCurrentDate, 3, 1, 1, 3);
    cmdSetTime = new QPushButton(QStringLiteral("Set to Current &Time"), tab);
    cmdSetTime->setObjectName(QStringLiteral("cmdSetTime"));
    cmdSetDate = new QPushButton(QStringLiteral("Set to Current &Date"), tab);
    cmdSetDate->setObjectName(QStringLiteral("cmdSetDate"));
    g->addWidget(cmdSetTime, 2, 5, 1, 5);
    g->addWidget(cmdSetDate, 3, 5, 1, 5);
    connect(cmdSetTime, &QPushButton::clicked, this, &frmTargetBoard::cmdSetTime_Click);
    connect(cmdSetDate, &QPushButton::clicked, this, &frmTargetBoard::cmdSetDate_Click);
    auto* note = new QLabel(QStringLiteral("Only the T3110 Display Module and the R6016 "
                                           "Communications CO-CPU board are equipped with real "
                                           "time clocks."),
                            tab);
    note->setObjectName(QStringLiteral("lblClockNote"));
    note->setWordWrap(true);
    auto* v = new QVBoxLayout(tab);
    v->addLayout(g);
    v->addWidget(note);
    v->addStretch(1);
}

frmTargetBoard* frmTargetBoard::Open(const QString& BrixelFile, QWidget* parent) {
    auto* page = new frmTargetBoard(
        link::FindProgramFolders(QCoreApplication::applicationDirPath()).data, parent);
    page->setAttribute(Qt::WA_DeleteOnClose);
    page->InitializeForm(BrixelFile);
    return page;
}

void frmTargetBoard::InitializeForm(const QString& BrixelFile) {
    disk_ = ReadDiskProgram(BrixelFile);
    layout_ = LayoutFor(disk_.boardType);
    lblNetworkAddComment->setText(kNetworkComment);
    applyLayout();
    lblRevIdentOnDisk[0]->setText(disk_.name);
    lblRevIdentOnDisk[1]->setText(QString::number(disk_.revision));
    lblRevIdentOnDisk[2]->setText(QString::number(disk_.checksum));
    lblRevIdentOnDisk[3]->setText(
        link::RSComm::TargetboardName(static_cast<std::int16_t>(disk_.boardType)));
    lblRevIdentOnDisk[4]->setText(disk_.revisionDate);
    setWindowModality(Qt::ApplicationModal);
    // Only the current tab's frame counts towards the window's size: all four shown at once
    // would stack up to a window four tabs tall.
    tabTargetBoard_Click(tabTargetBoard->currentIndex());
    resize(620, 380);
    show();
}

void frmTargetBoard::applyLayout() {
    lblTargetBoard[2]->setVisible(layout_.coCpuSlot);
    for (int i = 0; i < 2; ++i) {
        lblSetupDesc[i]->setVisible(layout_.networkAddress[i]);
        txtSetup[i]->setVisible(layout_.networkAddress[i]);
        updSetup[i]->setVisible(layout_.networkAddress[i]);
        txtSetup[i]->clear();
    }
    for (int i = 2; i < 8; ++i)
        txtSetup[i]->clear();
    setClockEnabled(layout_.clock);
}

void frmTargetBoard::setClockEnabled(bool enabled) {
    for (int i = 2; i < 8; ++i)
        editor_->setFieldEnabled(i, enabled);
    lblTargetTime->setEnabled(enabled);
    lblTargetDate->setEnabled(enabled);
    cmdSetTime->setEnabled(enabled);
    cmdSetDate->setEnabled(enabled);
}

void frmTargetBoard::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (activated_) return;
    activated_ = true;
    shell::CenterWindow(this);
    tabTargetBoard->setCurrentIndex(0);
    tabTargetBoard_Click(0);
    monitor_->start();
}

void frmTargetBoard::closeEvent(QCloseEvent* event) {
    monitor_->stop();
    editor_->setActive(false);
    editor_->endAllEditing();
    QDialog::closeEvent(event);
}

void frmTargetBoard::tabTargetBoard_Click(int index) {
    for (int i = 0; i < 4; ++i)
        fraTargetBoard[i]->setVisible(i == index);
}

QString frmTargetBoard::descriptionText(int k) const {
    return k == 3              ? txtAdvice->toPlainText()
           : txtTargetBoard[k] ? txtTargetBoard[k]->text()
                               : QString();
}

// --- The view ---

void frmTargetBoard::showOnlineLook() {
    cmdResetFaults->setEnabled(false);
    for (QLabel* label : lblRevIdentInPLC)
        label->setEnabled(true);
    for (int i = 0; i < 2; ++i)
        if (layout_.networkAddress[i]) editor_->setFieldEnabled(i, true);
    setClockEnabled(layout_.clock);
}

void frmTargetBoard::showOfflineState() {
    cmdGoOnline->setVisible(true);
    cmdResetFaults->setEnabled(false);
    for (int k : {0, 1, 3, 4, 5})
        showDescription(k, kOfflineText);
    for (QLabel* label : lblRevIdentInPLC)
        label->setEnabled(false);
    editor_->setAllEnabled(false);
    setClockEnabled(false);
}

void frmTargetBoard::showStatusLabel(int k, const QString& text) {
    lblTargetBoard[k]->setText(text);
}

void frmTargetBoard::showDescription(int k, const QString& text) {
    if (k == 3)
        txtAdvice->setPlainText(text);
    else if (txtTargetBoard[k])
        txtTargetBoard[k]->setText(text);
}

void frmTargetBoard::setResetFaultsEnabled(bool enabled) {
    cmdResetFaults->setEnabled(enabled);
}

bool frmTargetBoard::coCpuSlotVisible() const {
    return layout_.coCpuSlot;
}

void frmTargetBoard::showBoardIdent(int part, const QString& text) {
    lblRevIdentInPLC[part]->setText(text);
}

void frmTargetBoard::setGoOnlineVisible(bool visible) {
    cmdGoOnline->setVisible(visible);
}

void frmTargetBoard::showField(int i, const QString& text) {
    if (txtSetup[i]->isHidden() || !txtSetup[i]->isEnabled()) return;
    editor_->showValue(i, text);
}

void frmTargetBoard::showComputerClock(const QString& time, const QString& date) {
    lblCurrentTime->setText(time);
    lblCurrentDate->setText(date);
}

void frmTargetBoard::wentOffline() {
    shell::UpdateOnlineState();
}

// --- Commands ---

void frmTargetBoard::commitField(int i, const QString& text) {
    if (!gLink->OnlineMode || gLink->CommError) return;
    gLink->RSWrite(QString::fromLatin1(kSetupFields[i].address), text);
    monitor_->fieldWritten(i, text, !gLink->CommError && !gLink->LastTransactionFailed());
}

// A write the board did not take, while the link itself held, is named with its address.
void frmTargetBoard::reportWrite(bool done, const QString& failed) {
    if (done || failed.isEmpty() || gLink->CommError) return;
    shell::gAnswers->ask(link::WriteFailedMessage(failed), windowTitle(), link::Buttons::Ok,
                         link::Icon::Exclamation);
}

void frmTargetBoard::cmdResetFaults_Click() {
    if (!ConfirmResetFaults(*shell::gAnswers)) return;
    cmdResetFaults->setEnabled(false);
    QString failed;
    reportWrite(WriteResetFaults(*gLink, &failed), failed);
    if (!gLink->CommError) monitor_->refreshStatus();
}

void frmTargetBoard::cmdSetTime_Click() {
    QString failed;
    reportWrite(SetBoardTime(*gLink, QTime::currentTime(), &failed), failed);
}

void frmTargetBoard::cmdSetDate_Click() {
    QString failed;
    reportWrite(SetBoardDate(*gLink, QDate::currentDate(), &failed), failed);
}

void frmTargetBoard::cmdGoOnline_Click() {
    if (gLink->OnlineMode) return;
    gLink->CommError = false;
    gLink->OnlineMode = true;
    shell::UpdateOnlineState();
}

void frmTargetBoard::cmdOk_Click() {
    monitor_->stop();
    close();
}

} // namespace talvern::screens
