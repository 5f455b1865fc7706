#include "frmCompareSetup.h"

#include "ReportCommands.h"
#include "ReportOutput.h"
#include "SdtFile.h"
#include "SetupFiles.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace talvern::shell {

namespace {
const QString kTitle = QStringLiteral("Compare Set-up");
const QString kTextFilter = QStringLiteral("Text Files(*.txt)");

QPushButton* Button(QWidget* parent, const char* name, const char* caption) {
    auto* b = new QPushButton(QString::fromUtf8(caption), parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

QString BoardTitle(setup::Board board) {
    return board == setup::Board::K2510 ? QStringLiteral("K2510 on the cable")
                                        : QStringLiteral("R7520 on the cable");
}
} // namespace

frmCompareSetup::frmCompareSetup(CompareSources sources, QWidget* parent)
    : QDialog(parent), sources_(std::move(sources)) {
    setObjectName(QStringLiteral("frmCompareSetup"));
    setWindowTitle(kTitle);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    auto* sourceLabel = new QLabel(QStringLiteral("Compare &with:"), this);
    cboCompareSource = new QComboBox(this);
    cboCompareSource->setObjectName(QStringLiteral("cboCompareSource"));
    cboCompareSource->addItems({QStringLiteral("Another set-up file..."),
                                QStringLiteral("K2510 PLC on the cable"),
                                QStringLiteral("R7520 Motion Control on the cable")});
    sourceLabel->setBuddy(cboCompareSource);
    cmdCompare = Button(this, "cmdCompare", "&Compare");
    chkOnlyDiffering = new QCheckBox(QStringLiteral("&Only differing"), this);
    chkOnlyDiffering->setObjectName(QStringLiteral("chkOnlyDiffering"));
    auto* top = new QHBoxLayout;
    top->addWidget(sourceLabel);
    top->addWidget(cboCompareSource, 1);
    top->addWidget(cmdCompare);
    top->addSpacing(12);
    top->addWidget(chkOnlyDiffering);

    grdCompare = new QTableWidget(0, 5, this);
    grdCompare->setObjectName(QStringLiteral("grdCompare"));
    grdCompare->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdCompare->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdCompare->verticalHeader()->hide();
    grdCompare->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    grdCompare->setColumnWidth(0, 24);

    lblCompareCount = new QLabel(this);
    lblCompareCount->setObjectName(QStringLiteral("lblCompareCount"));
    cmdComparePrint = Button(this, "cmdComparePrint", "&Print...");
    cmdComparePreview = Button(this, "cmdComparePreview", "Pre&view...");
    cmdCompareExport = Button(this, "cmdCompareExport", "Export &Text...");
    cmdCompareClose = Button(this, "cmdCompareClose", "Close");
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lblCompareCount, 1);
    bottom->addWidget(cmdComparePrint);
    bottom->addWidget(cmdComparePreview);
    bottom->addWidget(cmdCompareExport);
    bottom->addWidget(cmdCompareClose);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(grdCompare, 1);
    layout->addLayout(bottom);

    connect(cmdCompare, &QPushButton::clicked, this, &frmCompareSetup::cmdCompare_Click);
    connect(chkOnlyDiffering, &QCheckBox::clicked, this, &frmCompareSetup::chkOnlyDiffering_Click);
    connect(cmdCompareExport, &QPushButton::clicked, this,
            &frmCompareSetup::cmdCompareExport_Click);
    connect(cmdComparePrint, &QPushButton::clicked, this, &frmCompareSetup::cmdComparePrint_Click);
    connect(cmdComparePreview, &QPushButton::clicked, this,
            &frmCompareSetup::cmdComparePreview_Click);
    connect(cmdCompareClose, &QPushButton::clicked, this, [this] {
        // While a board is read, the button cancels the reading.
        if (reader_)
            reader_->cancel();
        else
            close();
    });
    stepTimer_.setSingleShot(true);
    connect(&stepTimer_, &QTimer::timeout, this, &frmCompareSetup::step);

    display({}, QString());
    resize(820, 560);
    cboCompareSource->setFocus();
}

frmCompareSetup::~frmCompareSetup() {
    stepTimer_.stop();
    if (reader_ && readingChanged) readingChanged(false);
}

void frmCompareSetup::display(setup::SetupComparison comparison, const QString& otherTitle) {
    comparison_ = std::move(comparison);
    otherTitle_ = otherTitle;
    grdCompare->setHorizontalHeaderLabels({QString(), QStringLiteral("Value"), sources_.openTitle,
                                           otherTitle, QStringLiteral("Factory")});
    grdCompare->setRowCount(static_cast<int>(comparison_.rows.size()));
    const auto& values = setup::SetupValues();
    const QColor differs(255, 214, 204);
    for (int i = 0; i < grdCompare->rowCount(); ++i) {
        const setup::CompareRow& r = comparison_.rows[static_cast<std::size_t>(i)];
        const setup::SetupValue& v = values.at(static_cast<std::size_t>(r.item));
        const QStringList cells{r.differs()   ? QStringLiteral("*")
                                : r.unknown() ? QStringLiteral("?")
                                              : QString(),
                                v.address + QLatin1Char(' ') + v.name, QString::number(r.open),
                                r.other ? QString::number(*r.other) : QStringLiteral("not read"),
                                QString::number(r.factory)};
        for (int c = 0; c < cells.size(); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (c >= 2) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (r.differs()) item->setBackground(differs);
            if (c == 3 && r.unknown()) item->setForeground(Qt::gray);
            grdCompare->setItem(i, c, item);
        }
    }
    grdCompare->resizeColumnToContents(2);
    grdCompare->resizeColumnToContents(3);
    QString text = comparison_.rows.empty() ? QString() : comparison_.countText();
    if (!comparison_.failure.isEmpty()) text += QStringLiteral(" - ") + comparison_.failure;
    lblCompareCount->setText(text);
    const bool any = !comparison_.rows.empty();
    cmdComparePrint->setEnabled(any);
    cmdComparePreview->setEnabled(any);
    cmdCompareExport->setEnabled(any);
    chkOnlyDiffering_Click();
}

void frmCompareSetup::chkOnlyDiffering_Click() {
    const bool only = chkOnlyDiffering->isChecked();
    for (int i = 0; i < grdCompare->rowCount(); ++i) {
        const setup::CompareRow& r = comparison_.rows[static_cast<std::size_t>(i)];
        grdCompare->setRowHidden(i, only && !r.differs() && !r.unknown());
    }
}

void frmCompareSetup::cmdCompare_Click() {
    switch (cboCompareSource->currentIndex()) {
        case kFile: {
            const QString path =
                sources_.dialogs().openFile(QDir(sources_.folder).filePath(QStringLiteral("*.sdt")),
                                            QStringLiteral("Set-up Files(*.sdt)"));
            if (!path.isEmpty()) compareWithFile(path);
            return;
        }
        case kK2510:
            compareWithBoard(setup::Board::K2510);
            return;
        default:
            compareWithBoard(setup::Board::R7520);
            return;
    }
}

void frmCompareSetup::compareWithFile(const QString& path) {
    QString message;
    const std::optional<setup::SetupData> other = setup::LoadSdtFile(path, &message);
    if (!other) {
        sources_.answers->ask(message, kTitle, link::Buttons::Ok, link::Icon::Exclamation);
        return;
    }
    cboCompareSource->setCurrentIndex(kFile);
    display(setup::CompareSetups(sources_.open, setup::FittedToTable(*other), sources_.factory),
            QFileInfo(path).fileName());
}

void frmCompareSetup::compareWithBoard(setup::Board board) {
    if (reader_ || !sources_.link) return;
    cboCompareSource->setCurrentIndex(board == setup::Board::K2510 ? kK2510 : kR7520);
    reader_ =
        std::make_unique<setup::BoardSetupReader>(board, *sources_.link, sources_.checkTargetBoard);
    setBusy(true);
    if (readingChanged) readingChanged(true);
    stepTimer_.start(0);
}

void frmCompareSetup::setBusy(bool busy) {
    cboCompareSource->setEnabled(!busy);
    cmdCompare->setEnabled(!busy);
    cmdCompareClose->setText(busy ? QStringLiteral("Cancel") : QStringLiteral("Close"));
    if (busy) {
        cmdComparePrint->setEnabled(false);
        cmdComparePreview->setEnabled(false);
        cmdCompareExport->setEnabled(false);
    }
}

void frmCompareSetup::step() {
    if (!reader_) return;
    if (reader_->step()) {
        lblCompareCount->setText(QStringLiteral("Reading the board, %1 of %2...")
                                     .arg(reader_->progress())
                                     .arg(reader_->maximum()));
        stepTimer_.start(0);
        return;
    }
    endReading();
}

void frmCompareSetup::endReading() {
    std::unique_ptr<setup::BoardSetupReader> reader = std::move(reader_);
    setBusy(false);
    if (readingChanged) readingChanged(false);
    const setup::BoardReading& reading = reader->reading();
    display(setup::CompareWithBoard(sources_.open, reading, sources_.factory),
            BoardTitle(reading.board));
    if (onBoardRead) onBoardRead(reading, reader->linkFailed());
}

void frmCompareSetup::closeEvent(QCloseEvent* event) {
    // Closing ends the reading at once; the link is left between two transactions.
    stepTimer_.stop();
    if (reader_) {
        reader_.reset();
        if (readingChanged) readingChanged(false);
    }
    QDialog::closeEvent(event);
}

void frmCompareSetup::cmdCompareExport_Click() {
    const QString path = sources_.dialogs().saveFile(
        QDir(sources_.folder).filePath(QStringLiteral("compare.txt")), kTextFilter);
    if (path.isEmpty()) return;
    QString message;
    if (!setup::SaveTextFile(path, comparison_.tableText(sources_.openTitle, otherTitle_).toUtf8(),
                             &message))
        sources_.answers->ask(message, kTitle, link::Buttons::Ok, link::Icon::Exclamation);
}

void frmCompareSetup::cmdComparePrint_Click() {
    if (sources_.output)
        sources_.output->PrintOnPaper(1, CompareReportDrawing(comparison_, sources_.openTitle,
                                                              otherTitle_,
                                                              chkOnlyDiffering->isChecked()));
}

void frmCompareSetup::cmdComparePreview_Click() {
    if (sources_.output)
        sources_.output->Preview(CompareReportDrawing(comparison_, sources_.openTitle, otherTitle_,
                                                      chkOnlyDiffering->isChecked()));
}

} // namespace talvern::shell
