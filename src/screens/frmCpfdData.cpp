#include "frmCpfdData.h"

#include "CpfdText.h"
#include "ReportCommands.h"
#include "ScreenHold.h"
#include "SetupData.h"
#include "ValueFormats.h"
#include "VerifiedTransfer.h"
#include "frmAcquireSignatures.h"
#include "frmGraph.h"
#include "modUtility.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace talvern::screens {

using namespace talvern::shell;
using signatures::CpfdData;

namespace {
const char* const kButtonCaptions[6] = {"A&cquire Data", "&Graph Data", "&Print Data",
                                        "S&ave Data",    "&Open Data",  "E&xport Data"};
const QString kCapture = QStringLiteral("B2999");
} // namespace

frmCpfdData::frmCpfdData(QWidget* parent)
    : QWidget(parent), qtDialogs_(this), files_(gSignature, *gAnswers, qtDialogs_) {
    setObjectName(QStringLiteral("frmCpfdData"));
    BaseCaption = QStringLiteral("Acquire Data Signatures: ");

    fraCpfdData[0] = new QGroupBox(QStringLiteral("Data Signatures:"), this);
    fraCpfdData[1] = new QGroupBox(QStringLiteral("Options:"), this);
    for (int i = 0; i < 2; ++i)
        fraCpfdData[i]->setObjectName(QStringLiteral("fraCpfdData_%1").arg(i));

    fgCpfdData = new QTableWidget(20, 5, fraCpfdData[0]);
    fgCpfdData->setObjectName(QStringLiteral("fgCpfdData"));
    fgCpfdData->setHorizontalHeaderLabels(
        {QStringLiteral("Pos"), QStringLiteral("Current (Amps)"), QStringLiteral("Error (deg)"),
         QStringLiteral("Profile (deg)"), QStringLiteral("Reference (deg)")});
    fgCpfdData->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    fgCpfdData->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    fgCpfdData->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    fgCpfdData->verticalHeader()->setVisible(false);
    fgCpfdData->setEditTriggers(QAbstractItemView::NoEditTriggers);
    fgCpfdData->setSelectionMode(QAbstractItemView::ContiguousSelection);
    fgCpfdData->installEventFilter(this);
    fgCpfdData->setAccessibleName(tr("Signature samples"));

    lblCpfdData = new QLabel(QStringLiteral("Data Samples Per Stroke:"), fraCpfdData[0]);
    lblCpfdData->setObjectName(QStringLiteral("lblCpfdData"));
    lblCpfdDataSamples = new QLabel(QStringLiteral("-"), fraCpfdData[0]);
    lblCpfdDataSamples->setObjectName(QStringLiteral("lblCpfdDataSamples"));
    lblCpfdDataSamples->setFrameShape(QFrame::StyledPanel);
    lblCpfdDataSamples->setFrameShadow(QFrame::Sunken);
    lblCpfdDataSamples->setMinimumWidth(60);
    lblCpfdDataSamples->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto* samples = new QHBoxLayout;
    samples->addWidget(lblCpfdData);
    samples->addWidget(lblCpfdDataSamples);
    samples->addStretch(1);
    auto* data = new QVBoxLayout(fraCpfdData[0]);
    data->addWidget(fgCpfdData, 1);
    data->addLayout(samples);

    auto* buttons = new QVBoxLayout(fraCpfdData[1]);
    for (int i = 0; i < 6; ++i) {
        cmdOptions[i] = new QPushButton(QString::fromLatin1(kButtonCaptions[i]), fraCpfdData[1]);
        cmdOptions[i]->setObjectName(QStringLiteral("cmdOptions_%1").arg(i));
        buttons->addWidget(cmdOptions[i]);
        connect(cmdOptions[i], &QPushButton::clicked, this, [this, i] { cmdOptions_Click(i); });
    }
    cmdPreviewData = new QPushButton(QStringLiteral("Previe&w Data"), fraCpfdData[1]);
    cmdPreviewData->setObjectName(QStringLiteral("cmdPreviewData"));
    cmdExportPdf = new QPushButton(QStringLiteral("Export P&DF..."), fraCpfdData[1]);
    cmdExportPdf->setObjectName(QStringLiteral("cmdExportPdf"));
    buttons->addWidget(cmdPreviewData);
    buttons->addWidget(cmdExportPdf);
    connect(cmdPreviewData, &QPushButton::clicked, this, &frmCpfdData::PreviewData);
    connect(cmdExportPdf, &QPushButton::clicked, this, &frmCpfdData::ExportPdfData);
    buttons->addStretch(1);

    auto* outer = new QHBoxLayout(this);
    outer->addWidget(fraCpfdData[0], 1);
    outer->addWidget(fraCpfdData[1]);
    // Room for the five headers and a page of samples.
    setMinimumSize(720, 460);

    cycle_ =
        std::make_unique<setup::RefreshCycle>([this] { return buildPass(); }, ScreenHold(this));
    // Window load. The record keeps its file title: it belongs to the signature, which lives
    // for the whole run, not to this window.
    OfflineEditSeen = gOfflineEditing;
    if (gLink && gLink->OnlineMode)
        SetOnlineMode();
    else
        SetOfflineMode();
    showCaption();
    FillGrid();
}

frmCpfdData::~frmCpfdData() {
    unload();
}

frmAcquireSignatures* frmCpfdData::acquisitionWindow() const {
    return acquire_;
}

frmGraph* frmCpfdData::graphWindow() const {
    return graph_;
}

void frmCpfdData::setFileDialogs(setup::FileDialogs* dialogs) {
    files_.setDialogs(dialogs ? *dialogs : static_cast<setup::FileDialogs&>(qtDialogs_));
}

void frmCpfdData::activate() {
    if (ScreenActive) return;
    activated_ = true;
    ScreenActive = true;
    cycle_->start();
}

void frmCpfdData::unload() {
    ScreenActive = false;
    cycle_->stop();
}

void frmCpfdData::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!activated_) activate();
}

void frmCpfdData::closeEvent(QCloseEvent* event) {
    unload();
    QWidget::closeEvent(event);
}

void frmCpfdData::showCaption() {
    setWindowTitle(BaseCaption + gSignature.CpfdFileTitle);
}

// --- The refresh cycle ---

setup::RefreshCycle::Pass frmCpfdData::buildPass() {
    setup::RefreshCycle::Pass pass;
    pass.steps.push_back([this] { return head(); });
    pass.steps.push_back([this] { return checkBoard(); });
    pass.steps.push_back([this] { return abandonCapture(); });
    pass.steps.push_back([this] { return showBoard(); });
    return pass;
}

bool frmCpfdData::head() {
    if (!ScreenActive) return false;
    if (gLink->CommError) {
        gLink->OnlineMode = false;
        OnlineApplied = false;
        UpdateOnlineState();
    }
    passOnline_ = gLink->OnlineMode;
    if (!passOnline_) {
        if (!OfflineApplied) SetOfflineMode();
        OnlineApplied = false;
        ShowFileSamples();
        return false;
    }
    if (!OnlineApplied) SetOnlineMode();
    OfflineApplied = false;
    if (gSignature.CpfdDataNew) {
        showCaption();
        FillGrid();
    }
    return true;
}

bool frmCpfdData::checkBoard() {
    if (!ScreenActive || !gLink->OnlineMode) return false;
    boardConfirmed_ = CheckTargetBoard(setup::kBoardR7520);
    return boardConfirmed_;
}

// A capture left running is abandoned, once the motion board is known to be on the cable: the
// same address on the other board is something else.
bool frmCpfdData::abandonCapture() {
    if (!ScreenActive || !gLink->OnlineMode) return false;
    if (abandonPending_ && !gLink->CommError) {
        gLink->RSWrite(kCapture, QStringLiteral("0"));
        abandonPending_ = false;
    }
    return !gLink->CommError;
}

bool frmCpfdData::showBoard() {
    if (!ScreenActive || !gLink->OnlineMode) return false;
    ShowBoardSamples();
    return true;
}

void frmCpfdData::SetOnlineMode() {
    for (QGroupBox* frame : fraCpfdData)
        frame->setEnabled(true);
    lblCpfdData->setEnabled(true);
    lblCpfdDataSamples->setEnabled(true);
    for (QPushButton* button : cmdOptions)
        button->setEnabled(true);
    lblCpfdDataSamples->setText(QStringLiteral("-"));
    abandonPending_ = true;
    enablePrintoutButtons();
    OnlineApplied = true;
}

void frmCpfdData::SetOfflineMode() {
    for (QGroupBox* frame : fraCpfdData)
        frame->setEnabled(false);
    lblCpfdData->setEnabled(false);
    lblCpfdDataSamples->setEnabled(false);
    for (QPushButton* button : cmdOptions)
        button->setEnabled(false);
    lblCpfdDataSamples->setText(QStringLiteral("-"));
    if (gOfflineEditing) {
        fraCpfdData[1]->setEnabled(true);
        for (int i = 1; i < 6; ++i)
            cmdOptions[i]->setEnabled(true);
    }
    enablePrintoutButtons();
    OfflineApplied = true;
}

void frmCpfdData::enablePrintoutButtons() {
    const bool printable = cmdOptions[2]->isEnabledTo(fraCpfdData[1]);
    cmdPreviewData->setEnabled(printable);
    cmdExportPdf->setEnabled(printable);
}

void frmCpfdData::ShowFileSamples() {
    if (OfflineEditSeen != gOfflineEditing) {
        OfflineEditSeen = gOfflineEditing;
        OfflineApplied = false;
        SetOfflineMode();
    }
    lblCpfdDataSamples->setText(QString::number(gSignature.CpfdData.Samples));
}

void frmCpfdData::ShowBoardSamples() {
    if (!ScreenActive || !gLink->OnlineMode) return;
    const std::optional<QString> text = link::ReadOnce(*gLink, kCapture);
    if (gLink->CommError) return;
    // A failed read shows the empty mark and keeps the last value read.
    if (text) BoardSamples = *text;
    lblCpfdDataSamples->setText(text.value_or(kNotRead));
}

void frmCpfdData::FillGrid() {
    const CpfdData& d = gSignature.CpfdData;
    const int n = d.Count();
    fgCpfdData->setRowCount(n);
    const QLocale locale;
    for (int r = 0; r < n; ++r) {
        int column = 0;
        for (const signatures::SampleArray* a : {&d.Pos, &d.Curr, &d.Err, &d.Profile, &d.Desired}) {
            auto* item = new QTableWidgetItem(signatures::SampleText((*a)[r], locale));
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            fgCpfdData->setItem(r, column++, item);
        }
    }
    gSignature.CpfdDataNew = false;
}

// --- The table's copy ---

QString frmCpfdData::SelectionText() const {
    const QList<QTableWidgetSelectionRange> ranges = fgCpfdData->selectedRanges();
    if (ranges.isEmpty()) return QString();
    int top = ranges[0].topRow(), bottom = ranges[0].bottomRow();
    int left = ranges[0].leftColumn(), right = ranges[0].rightColumn();
    for (const QTableWidgetSelectionRange& r : ranges) {
        top = std::min(top, r.topRow());
        bottom = std::max(bottom, r.bottomRow());
        left = std::min(left, r.leftColumn());
        right = std::max(right, r.rightColumn());
    }
    QStringList rows;
    for (int row = top; row <= bottom; ++row) {
        QStringList cells;
        for (int column = left; column <= right; ++column) {
            const QTableWidgetItem* item = fgCpfdData->item(row, column);
            cells << (item ? item->text() : QString());
        }
        rows << cells.join(QLatin1Char('\t'));
    }
    return rows.join(QLatin1Char('\n'));
}

void frmCpfdData::CopySelection() {
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->clear();
    clipboard->setText(SelectionText());
}

bool frmCpfdData::eventFilter(QObject* watched, QEvent* event) {
    if (watched == fgCpfdData && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
        CopySelection();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

// --- The commands ---

void frmCpfdData::cmdOptions_Click(int index) {
    switch (index) {
        case 0:
            AcquireData();
            break;
        case 1:
            GraphData();
            break;
        case 2:
            PrintData();
            break;
        case 3:
            SaveData();
            break;
        case 4:
            OpenData();
            break;
        case 5:
            ExportData();
            break;
        default:
            break;
    }
    showCaption();
}

bool frmCpfdData::motionBoardConfirmed() {
    return gLink->OnlineMode && !gLink->CommError && CheckTargetBoard(setup::kBoardR7520);
}

void frmCpfdData::AcquireData() {
    if (acquire_ || !gLink->OnlineMode) return;
    // The capture command must reach the motion board, not whatever else is on the cable.
    if (!motionBoardConfirmed()) return;
    auto* window = new frmAcquireSignatures(this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowModality(Qt::ApplicationModal);
    window->onFinished = [this](const signatures::SignatureAcquisition&) {
        showCaption();
        if (gSignature.CpfdDataNew) FillGrid();
    };
    acquire_ = window;
    window->show();
}

void frmCpfdData::GraphData() {
    if (graph_) return;
    auto* window = new frmGraph(gSignature.CpfdData, gSignature.CpfdFileTitle, this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowModality(Qt::ApplicationModal);
    graph_ = window;
    window->show();
}

void frmCpfdData::PrintData() {
    PrintSignatureData(gSignature.CpfdData, gSignature.CpfdFileTitle);
}

void frmCpfdData::PreviewData() {
    PreviewSignatureData(gSignature.CpfdData, gSignature.CpfdFileTitle);
}

void frmCpfdData::ExportPdfData() {
    ExportSignatureDataPdf(gSignature.CpfdData, gSignature.CpfdFileTitle);
}

void frmCpfdData::SaveData() {
    files_.SaveData();
}

void frmCpfdData::OpenData() {
    if (!files_.OpenData()) return;
    FillGrid();
    // The board records as many samples per stroke as the file holds.
    if (motionBoardConfirmed())
        gLink->RSWrite(kCapture, QString::number(gSignature.CpfdData.Samples));
}

void frmCpfdData::ExportData() {
    files_.ExportData();
}

} // namespace talvern::screens
