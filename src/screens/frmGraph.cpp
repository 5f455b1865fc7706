#include "frmGraph.h"

#include "CpfdText.h"
#include "GraphFile.h"
#include "GraphPicture.h"
#include "QtFileDialogs.h"
#include "ReportCommands.h"
#include "modUtility.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace talvern::screens {

using namespace talvern::shell;
using namespace talvern::signatures;

namespace {
const QString kImageFilter = QStringLiteral("PNG Image(*.png);;PDF Document(*.pdf)");
const char* const kCaptions[4] = {"&Current (Amps)", "&Error (deg)", "&Actual Profile (deg)",
                                  "&Reference Profile (deg)"};
} // namespace

frmGraph::frmGraph(const CpfdData& data, const QString& fileTitle, QWidget* parent)
    : QDialog(parent), data_(data) {
    setObjectName(QStringLiteral("frmGraph"));
    setWindowTitle(QStringLiteral("Graph Data Signatures"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    ownDialogs_ = std::make_unique<QtFileDialogs>(this);
    dialogs_ = ownDialogs_.get();

    picGraph = new GraphPicture(this);
    picGraph->setData(&data_);
    picGraph->options().fileTitle = fileTitle;
    lblGraphCursor = new QLabel(this);
    lblGraphCursor->setObjectName(QStringLiteral("lblGraphCursor"));
    lblGraphCursor->setMinimumHeight(lblGraphCursor->fontMetrics().height());
    lblGraphStatus = new QLabel(this);
    lblGraphStatus->setObjectName(QStringLiteral("lblGraphStatus"));
    lblGraphStatus->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    fraGraph = new QGroupBox(QStringLiteral("Options:"), this);
    fraGraph->setObjectName(QStringLiteral("fraGraph"));
    auto* options = new QVBoxLayout(fraGraph);
    for (int i = 0; i < 4; ++i) {
        chkOptions[i] = new QCheckBox(QString::fromLatin1(kCaptions[i]), fraGraph);
        chkOptions[i]->setObjectName(QStringLiteral("chkOptions_%1").arg(i));
        options->addWidget(chkOptions[i]);
        connect(chkOptions[i], &QCheckBox::clicked, this, [this, i] { chkOptions_Click(i); });
    }

    auto* fraReference = new QGroupBox(QStringLiteral("Reference Signature:"), this);
    fraReference->setObjectName(QStringLiteral("fraReference"));
    cmdReference = new QPushButton(QStringLiteral("Re&ference..."), fraReference);
    cmdReference->setObjectName(QStringLiteral("cmdReference"));
    cmdClearReference = new QPushButton(QStringLiteral("C&lear Reference"), fraReference);
    cmdClearReference->setObjectName(QStringLiteral("cmdClearReference"));
    cmdClearReference->setEnabled(false);
    auto* lblTolerance = new QLabel(QStringLiteral("&Tolerance:"), fraReference);
    updTolerance = new QSpinBox(fraReference);
    updTolerance->setObjectName(QStringLiteral("updTolerance"));
    updTolerance->setRange(1, 100);
    updTolerance->setValue(10);
    updTolerance->setPrefix(QString(QChar(0x00B1)));
    updTolerance->setSuffix(QStringLiteral(" % of scale"));
    lblTolerance->setBuddy(updTolerance);
    lblGraphBand = new QLabel(fraReference);
    lblGraphBand->setObjectName(QStringLiteral("lblGraphBand"));
    lblGraphBand->setWordWrap(true);
    auto* reference = new QVBoxLayout(fraReference);
    reference->addWidget(cmdReference);
    reference->addWidget(cmdClearReference);
    auto* tolerance = new QHBoxLayout;
    tolerance->addWidget(lblTolerance);
    tolerance->addWidget(updTolerance, 1);
    reference->addLayout(tolerance);
    reference->addWidget(lblGraphBand);

    cmdSaveImage = new QPushButton(QStringLiteral("&Save Image..."), this);
    cmdSaveImage->setObjectName(QStringLiteral("cmdSaveImage"));
    cmdPreview = new QPushButton(QStringLiteral("Pre&view..."), this);
    cmdPreview->setObjectName(QStringLiteral("cmdPreview"));
    cmdPreview->setEnabled(gReportOutput != nullptr);
    cmdPrint = new QPushButton(QStringLiteral("&Print"), this);
    cmdPrint->setObjectName(QStringLiteral("cmdPrint"));
    cmdOk = new QPushButton(QStringLiteral("&Ok"), this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setDefault(true);

    auto* side = new QVBoxLayout;
    side->addWidget(fraGraph);
    side->addWidget(fraReference);
    side->addStretch(1);
    side->addWidget(cmdSaveImage);
    side->addWidget(cmdPreview);
    side->addWidget(cmdPrint);
    side->addWidget(cmdOk);
    auto* left = new QVBoxLayout;
    left->addWidget(picGraph, 1);
    auto* status = new QHBoxLayout;
    status->addWidget(lblGraphCursor, 1);
    status->addWidget(lblGraphStatus);
    left->addLayout(status);
    auto* outer = new QHBoxLayout(this);
    outer->addLayout(left, 1);
    outer->addLayout(side);

    connect(cmdPrint, &QPushButton::clicked, this, &frmGraph::cmdPrint_Click);
    connect(cmdPreview, &QPushButton::clicked, this, &frmGraph::cmdPreview_Click);
    connect(cmdOk, &QPushButton::clicked, this, &frmGraph::cmdOk_Click);
    connect(cmdReference, &QPushButton::clicked, this, &frmGraph::cmdReference_Click);
    connect(cmdClearReference, &QPushButton::clicked, this, &frmGraph::cmdClearReference_Click);
    connect(cmdSaveImage, &QPushButton::clicked, this, &frmGraph::cmdSaveImage_Click);
    connect(updTolerance, &QSpinBox::valueChanged, this, &frmGraph::updTolerance_Change);
    connect(picGraph, &GraphPicture::cursorMoved, this, &frmGraph::showCursor);

    printer_.setPageOrientation(QPageLayout::Landscape);
    resize(1000, 620);
    CenterWindow(this);
}

frmGraph::~frmGraph() = default;

void frmGraph::chkOptions_Click(int index) {
    const bool ticked = chkOptions[index]->isChecked();
    const QColor colour = ticked ? TraceStyles()[index].color : QColor(Qt::black);
    chkOptions[index]->setStyleSheet(QStringLiteral("color: %1").arg(colour.name()));
    picGraph->options().traces[index] = ticked;
    picGraph->update();
    showBand();
    showCursor(picGraph->options().cursorSample);
    showLeftOut();
}

void frmGraph::cmdOk_Click() {
    close();
}

void frmGraph::cmdPrint_Click() {
    auto* dialog = new QPrintDialog(&printer_, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    // Cancel ends the command quietly.
    connect(dialog, &QDialog::accepted, this, [this] { printOn(printer_); });
    dialog->open();
}

// The page as it would be printed, with the graph as it is now.
void frmGraph::cmdPreview_Click() {
    if (gReportOutput)
        gReportOutput->PreviewPages([this](QPrinter& printer) { printOn(printer); },
                                    QPageLayout::Landscape);
}

bool frmGraph::printOn(QPrinter& printer) {
    QPainter painter;
    if (!painter.begin(&printer)) {
        gAnswers->ask(QStringLiteral("The graph was not printed: the printer \"%1\" could not "
                                     "start the job.")
                          .arg(printer.printerName().isEmpty() ? printer.outputFileName()
                                                               : printer.printerName()),
                      QStringLiteral("Graph Data Signatures"), link::Buttons::Ok,
                      link::Icon::Exclamation);
        return false;
    }
    GraphOptions options = picGraph->options();
    options.printing = true;
    options.cursorSample = -1;
    PlotSignatures(painter, printer.width(), printer.height(), printer.resolution(), data_,
                   options);
    return painter.end();
}

bool frmGraph::loadReference(const QString& path) {
    QString message;
    std::optional<CpfdData> loaded = LoadCfdFile(path, &message);
    if (!loaded) {
        gAnswers->ask(message, QStringLiteral("Graph Data Signatures"), link::Buttons::Ok,
                      link::Icon::Exclamation);
        return false;
    }
    reference_ = std::move(loaded);
    referencePath_ = path;
    picGraph->options().reference = &*reference_;
    cmdClearReference->setEnabled(true);
    picGraph->update();
    showBand();
    return true;
}

void frmGraph::cmdReference_Click() {
    const QString path = dialogs_->openFile(referencePath_, kCfdFilter);
    if (!path.isEmpty()) loadReference(path);
}

void frmGraph::cmdClearReference_Click() {
    picGraph->options().reference = nullptr;
    reference_.reset();
    cmdClearReference->setEnabled(false);
    cmdReference->setFocus();
    picGraph->update();
    showBand();
}

void frmGraph::updTolerance_Change() {
    picGraph->options().tolerancePercent = updTolerance->value();
    picGraph->update();
    showBand();
}

void frmGraph::cmdSaveImage_Click() {
    QString path = dialogs_->saveFile(imagePath_, kImageFilter);
    if (path.isEmpty()) return;
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != QLatin1String("png") && suffix != QLatin1String("pdf"))
        path += QStringLiteral(".png");
    GraphOptions options = picGraph->options();
    options.cursorSample = -1;
    QString message;
    if (!SaveGraphImage(path, data_, options, picGraph->size(), &message)) {
        gAnswers->ask(message, QStringLiteral("Graph Data Signatures"), link::Buttons::Ok,
                      link::Icon::Exclamation);
        return;
    }
    imagePath_ = path;
}

void frmGraph::showBand() {
    const GraphOptions& o = picGraph->options();
    const bool any = std::any_of(o.traces.begin(), o.traces.end(), [](bool t) { return t; });
    if (!reference_ || !any) {
        lblGraphBand->setText(reference_ ? QStringLiteral("Tick a trace to compare.") : QString());
        return;
    }
    const BandComparison comparison =
        CompareWithReference(data_, *reference_, o.traces,
                             ComputeFullScales(data_, o.traces, &*reference_), o.tolerancePercent);
    lblGraphBand->setText(BandSummary(comparison, o.tolerancePercent));
}

void frmGraph::showLeftOut() {
    lblGraphStatus->setText(LeftOutText(LeftOutSamples(data_, picGraph->options().traces)));
}

void frmGraph::showCursor(int sample) {
    lblGraphCursor->setText(CursorText(data_, sample, picGraph->options().traces));
}

void frmGraph::keyPressEvent(QKeyEvent* event) {
    // Escape first returns a zoomed graph to the whole stroke; only then does it close.
    if (event->key() == Qt::Key_Escape && !picGraph->options().view.whole()) {
        picGraph->wholeStroke();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace talvern::screens
