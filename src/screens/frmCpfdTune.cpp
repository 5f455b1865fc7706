#include "frmCpfdTune.h"

#include "BoardCheckBox.h"
#include "CupfeedTuning.h"
#include "ErrorTraceView.h"
#include "FieldCheck.h"
#include "TestModeNotice.h"
#include "UpDownSpinner.h"
#include "ValueFormats.h"
#include "modUtility.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace talvern::screens {

using namespace talvern::shell;

namespace {
constexpr int kReadoutWidth = 84;
const char* const kGainNames[4] = {"P", "P fine", "I", "D"};
} // namespace

frmCpfdTune::frmCpfdTune(QWidget* parent) : ParameterScreen(setup::kBoardR7520, parent) {
    setObjectName(QStringLiteral("frmCpfdTune"));
    setWindowTitle(QStringLiteral("Tune Cupfeed Servo Motor"));
    const QString stem = QStringLiteral("CpfdTune");

    addParameter(stem, QStringLiteral("&Proportional Gain (P):"), QStringLiteral("W1126"), 0, 999,
                 18);
    addParameter(stem, QStringLiteral("(fi&ne):"), QStringLiteral("B1128"), 0, 99, 19);
    addParameter(stem, QStringLiteral("&Integral Gain (I):"), QStringLiteral("W1120"), 0, 9999, 20);
    addParameter(stem, QStringLiteral("&Derivative Gain (D):"), QStringLiteral("W1122"), 0, 999,
                 21);
    addAddress(QStringLiteral("W614"), 22);
    addAddress(QStringLiteral("W610"), 23);
    addAddress(QStringLiteral("W612"), 24);
    addAddress(setup::kTestModeAddress, -1);
    addParameter(stem, QStringLiteral("Output (-100% to 100%):"), setup::kTestOutputAddress, -100,
                 100, -1);
    // Captions are numbered by address index: the output's is the eighth.
    editor().label(kOutputField)->setObjectName(QStringLiteral("lblCpfdTune_7"));

    QGroupBox* gains =
        makeGroup(QStringLiteral("fraCpfdTune_0"), QStringLiteral("Cupfeed Servo PID Gains:"));
    QGroupBox* running =
        makeGroup(QStringLiteral("fraCpfdTune_1"), QStringLiteral("Cupfeed Actual Running Error:"));
    QGroupBox* testMode = makeGroup(QStringLiteral("fraCpfdTune_2"), QStringLiteral("Test Mode:"));
    for (int field = 0; field < 4; ++field)
        addFieldRow(gains, field);

    const char* readoutCaptions[3] = {
        "Instantaneous Absolute Error (counts):", "Positive Peak Error (counts):",
        "Negative Peak Error (counts):"};
    auto* runningGrid = static_cast<QGridLayout*>(running->layout());
    for (int k = 0; k < 3; ++k) {
        const int i = kFirstReadout + k;
        auto* caption = new QLabel(QString::fromLatin1(readoutCaptions[k]), running);
        caption->setObjectName(QStringLiteral("lblCpfdTune_%1").arg(i));
        auto* value = new QLabel(kNotRead, running);
        value->setObjectName(QStringLiteral("lblCpfdTuneData_%1").arg(i));
        value->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        value->setFixedWidth(kReadoutWidth);
        value->setAccessibleName(caption->text());
        runningGrid->addWidget(caption, k, 0);
        runningGrid->addWidget(value, k, 1, Qt::AlignLeft);
        readoutCaptions_.push_back(caption);
        readouts_.push_back(value);
    }

    auto* testGrid = static_cast<QGridLayout*>(testMode->layout());
    chkCpfdTune_ = new QCheckBox(QStringLiteral("Enable Servo &Amplifier Test :"), testMode);
    chkCpfdTune_->setObjectName(QStringLiteral("chkCpfdTune"));
    chkCpfdTune_->setLayoutDirection(Qt::RightToLeft);
    // The box stands after its caption; the alignment must not mirror with it.
    testGrid->addWidget(chkCpfdTune_, 0, 0, 1, 2, Qt::AlignAbsolute | Qt::AlignLeft);
    addFieldRow(testMode, kOutputField);
    lblTestMode_ = new QLabel(setup::kTestModeNotice, testMode);
    lblTestMode_->setObjectName(QStringLiteral("lblCpfdTuneTestMode"));
    lblTestMode_->setAlignment(Qt::AlignCenter);
    lblTestMode_->setContentsMargins(8, 2, 8, 2);
    lblTestMode_->setStyleSheet(
        QStringLiteral("color: white; background: #b00000; font-weight: bold;"));
    testGrid->addWidget(lblTestMode_, 2, 0, 1, 4);

    alignColumns();
    int widest = editor().label(0)->minimumWidth();
    for (QLabel* caption : readoutCaptions_)
        widest = std::max(widest, caption->sizeHint().width());
    for (QLabel* caption : readoutCaptions_)
        caption->setMinimumWidth(widest);
    for (int field = 0; field <= kOutputField; ++field)
        editor().label(field)->setMinimumWidth(widest);
    // Gains, then the check box, then the output.
    setTabOrder(editor().box(3), chkCpfdTune_);
    setTabOrder(chkCpfdTune_, editor().box(kOutputField));

    traceView_ = new ErrorTraceView(trace_, this);

    auto* layout = new QVBoxLayout(this);
    auto* columns = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(gains);
    left->addWidget(running);
    columns->addLayout(left);
    columns->addWidget(testMode, 1, Qt::AlignTop);
    layout->addLayout(columns);
    layout->addWidget(traceView_, 1);
    layout->addWidget(defaultButton(), 0, Qt::AlignRight);

    testMode_ = new BoardCheckBox(chkCpfdTune_, [this](bool) { chkCpfdTune_Click(); });
    connect(&ServoTestModeNotice(), &TestModeNotice::changed, this,
            [this](bool on) { showTestMode(on); });
    showTestMode(ServoTestModeNotice().isOn());
    load();
}

QLabel* frmCpfdTune::lblCpfdTune(int i) {
    if (i < kFirstReadout) return editor().label(i);
    if (i < kCheckIndex) return readoutCaptions_.at(i - kFirstReadout);
    return editor().label(kOutputField);
}

void frmCpfdTune::showTestMode(bool on) {
    lblTestMode_->setVisible(on);
}

bool frmCpfdTune::WriteGotThrough() {
    return !gLink->CommError && !gLink->LastTransactionFailed();
}

void frmCpfdTune::mark(const QString& label) {
    trace_.addMarker(clock_->now(), label);
    traceView_->update();
}

// --- Test mode ---

void frmCpfdTune::SetTestModeFields() {
    const setup::TestOutputRow row = setup::TestModeFields(testMode_->on());
    editor().setFieldEnabled(kOutputField, row.enabled);
    if (row.showZero) editor().box(kOutputField)->setText(QStringLiteral("0"));
}

void frmCpfdTune::chkCpfdTune_Click() {
    bool checked = testMode_->on();
    if (checked && !setup::ConfirmTestMode(*gAnswers)) {
        // Declined: the box goes back and is handled as unchecked.
        testMode_->set(false);
        checked = false;
    }
    SetTestModeFields();
    editor().box(kOutputField)->setText(QStringLiteral("0"));
    if (!gLink->OnlineMode || !OnlineShown) return;
    // Every change of the box, also a declined check, tells the board its test mode and puts
    // the output back to 0 %.
    if (checked) ServoTestModeNotice().set(true);
    const bool took = setup::WriteTestMode(*gLink, checked);
    testMode_->wrote(took);
    if (took)
        seen(kOutputIndex).wrote(setup::kTestOutputZero.toLongLong());
    else
        seen(kOutputIndex).forget();
    if (!checked && took) ServoTestModeNotice().set(false);
    if (took) mark(checked ? QStringLiteral("Test on") : QStringLiteral("Test off"));
}

// --- Edits ---

void frmCpfdTune::commitField(int field, const QString& text, std::int32_t value) {
    const bool writes = gLink->OnlineMode && !gLink->CommError;
    if (field == kOutputField) {
        // The output is the amplifier's, not set-up data: sent at once, never stored.
        if (!writes) return;
        writeIfOnline(kOutputIndex, setup::PercentToCounts(text));
        if (WriteGotThrough()) mark(QStringLiteral("Out %1%").arg(text));
        return;
    }
    ParameterScreen::commitField(field, text, value);
    // The trace marks only what the board took.
    if (writes && WriteGotThrough())
        mark(QStringLiteral("%1 %2").arg(QString::fromLatin1(kGainNames[field]), text));
}

// --- Display set-ups ---

void frmCpfdTune::setReadoutsEnabled(bool enabled) {
    for (QLabel* caption : readoutCaptions_)
        caption->setEnabled(enabled);
    for (QLabel* value : readouts_)
        value->setEnabled(enabled);
}

void frmCpfdTune::SetupOnlineDisplay() {
    PassComplete = false;
    chkCpfdTune_->setEnabled(true);
    testMode_->forget();
    SetTestModeFields();
    for (QGroupBox* g : groups)
        g->setEnabled(true);
    for (int field = 0; field < kOutputField; ++field) {
        editor().setFieldEnabled(field, true);
        editor().box(field)->setText(kNotRead);
    }
    setReadoutsEnabled(true);
    for (QLabel* value : readouts_)
        value->setText(kNotRead);
    trace_.clear();
    traceView_->setEnabled(true);
    traceView_->update();
    OnlineShown = true;
}

void frmCpfdTune::SetupOfflineDisplay() {
    PassComplete = false;
    chkCpfdTune_->setEnabled(false);
    setReadoutsEnabled(false);
    group(1)->setEnabled(false);
    group(2)->setEnabled(false);
    if (gOfflineEditing) {
        SetTestModeFields();
        group(0)->setEnabled(true);
        for (int field = 0; field < kOutputField; ++field)
            editor().setFieldEnabled(field, true);
    } else {
        group(0)->setEnabled(false);
        editor().setAllEnabled(false);
    }
    // The trace shows only what the board says while online.
    trace_.clear();
    traceView_->setEnabled(false);
    traceView_->update();
    OfflineShown = true;
}

// --- Passes ---

void frmCpfdTune::showRead(int i, const std::optional<QString>& value) {
    if (i < kFirstReadout) {
        ParameterScreen::showRead(i, value);
    } else if (i < kCheckIndex) {
        readouts_.at(i - kFirstReadout)->setText(value.value_or(kNotRead));
        // The working data keeps the last value read; a failed read is not a value seen.
        if (i == kFirstReadout) pendingRead_ = true;
        if (!value) {
            pendingRead_ = false;
            return;
        }
        const std::int32_t number = WholeNumberOf(*value);
        gSetup.ParamValue.at(positions[i]) = number;
        if (i == kFirstReadout) {
            pending_ = TraceSample{clock_->now(), static_cast<double>(number), 0, 0};
        } else if (i == kFirstReadout + 1) {
            pending_.positivePeak = number;
        } else if (pendingRead_) {
            // A negative peak may come signed as a 16-bit value or as its size.
            pending_.negativePeak = static_cast<std::int16_t>(number);
            trace_.addSample(pending_);
            traceView_->update();
        }
    } else if (i == kCheckIndex) {
        testMode_->read(
            value ? std::optional<bool>(static_cast<std::int16_t>(WholeNumberOf(*value)) != 0)
                  : std::nullopt);
        if (testMode_->known()) ServoTestModeNotice().set(testMode_->on());
    } else {
        seen(i).read(value ? std::optional<std::int64_t>(WholeNumberOf(*value)) : std::nullopt);
        if (!editor().Editing(kOutputField))
            editor().box(kOutputField)->setText(value ? setup::CountsToPercent(*value) : kNotRead);
    }
}

void frmCpfdTune::showOffline(int i) {
    if (i < kFirstReadout) {
        ParameterScreen::showOffline(i);
    } else if (i < kCheckIndex) {
        readouts_.at(i - kFirstReadout)
            ->setText(QString::number(gSetup.ParamValue.at(positions[i])));
    }
}

} // namespace talvern::screens
