#include "frmBMTmg.h"

#include "FieldCheck.h"
#include "ScreenHold.h"
#include "TimingDial.h"
#include "UpDownSpinner.h"
#include "modUtility.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace talvern::screens {

using namespace talvern::shell;

namespace {
constexpr int kBoxWidth = 56;

QLineEdit* MakeBox(QWidget* parent, const QString& name) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    box->setFixedWidth(kBoxWidth);
    return box;
}

UpDown* MakeSpinner(QWidget* parent, const QString& name, int min, int max, QLineEdit* box) {
    auto* spinner = new UpDown(parent);
    spinner->setObjectName(name);
    spinner->setRange(min, max);
    spinner->setIncrement(1);
    spinner->setValue(0);
    spinner->setFixedHeight(box->sizeHint().height());
    return spinner;
}

QHBoxLayout* Pair(QLineEdit* box, UpDown* spinner) {
    auto* pair = new QHBoxLayout;
    pair->setSpacing(0);
    pair->addWidget(box);
    pair->addWidget(spinner);
    pair->addStretch(1);
    return pair;
}

QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    // Enter on a button that has the focus presses it (Enter in the offset box leads to "Set
    // Offset" for that), as Space does.
    button->setAutoDefault(true);
    return button;
}

const char* const kChannelCaptions[8] = {
    "BDC (High) Timing (CH0&0):",       "BDC (Low) Timing (CH0&1):",
    "Short Can Check Timing (CH0&2):",  "Sensor Check Timing (CH0&3):",
    "Cupfeed Timing (CH0&4):",          "Air Strip (Low) Timing (CH0&5):",
    "Air Strip (High) Timing (CH0&6):", "PLC Clock Timing (CH0&7):",
};
} // namespace

frmBMTmg::frmBMTmg(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmBMTmg"));
    setWindowTitle(QStringLiteral("Machine Timing"));

    cmdDefault = new QPushButton(this);
    cmdDefault->setObjectName(QStringLiteral("cmdDefault"));
    cmdDefault->setFlat(true);
    cmdDefault->setFixedSize(4, 4);
    cmdDefault->setFocusPolicy(Qt::ClickFocus);
    cmdDefault->setAccessibleName(tr("End of edit"));
    editor_ = new ParameterEditor(cmdDefault, gAnswers, this);

    QGroupBox* channels = buildChannels();
    dial_ = new TimingDial(this);
    QGroupBox* configuration = buildConfiguration();
    QGroupBox* offset = buildOffset();
    QGroupBox* channel = buildChannelCommands();
    buildStatusBar();

    auto* top = new QHBoxLayout;
    top->addWidget(channels);
    top->addWidget(dial_, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(offset);
    right->addWidget(channel);
    right->addStretch(1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(configuration);
    bottom->addLayout(right);
    bottom->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(bottom);
    layout->addWidget(cmdDefault, 0, Qt::AlignRight);
    layout->addWidget(sbrMachineTiming);

    // Tab order: each channel's ON then OFF point, then the offset, the channel commands and the
    // configuration button.
    QWidget* previous = nullptr;
    auto chain = [&](QWidget* next) {
        if (previous) setTabOrder(previous, next);
        previous = next;
    };
    for (int c = 0; c < 8; ++c) {
        chain(txtChannel[c]);
        chain(txtChannel[c + 8]);
    }
    for (QWidget* w : std::initializer_list<QWidget*>{
             txtTmg[0], cmdSetOffset, txtTmg[1], cmdRecallChan, cmdClearChan, cmdResetPLSConfig})
        chain(w);

    editor_->setMessageTitle(
        [](int i) { return i < kTmgField ? kSetupTitle : QStringLiteral("Resolver Offset"); });
    editor_->setPassingTexts({setup::kNoSetpoint});
    editor_->setRefusal([this](int i, std::int32_t value) {
        return i < kTmgField ? timing_->setpointRefusal(i, value, editor_->EntryValue(i))
                             : QString();
    });
    // The offset and the channel selector are neither stored nor sent when accepted: the buttons
    // use them.
    editor_->setCommit([this](int i, const QString&, std::int32_t value, ParameterEditor::Via via) {
        if (i >= kTmgField) return;
        if (via == ParameterEditor::Via::Typed)
            timing_->typedSetpoint(i, value, editor_->EntryValue(i));
        else
            timing_->commitSetpoint(i, value);
    });

    setup::TimingShared shared;
    shared.offlineEditing = &gOfflineEditing;
    shared.setupReset = &gSetupReset;
    shared.plsDownloaded = &gPLSDownloaded;
    shared.checkTargetBoard = [](int board) { return CheckTargetBoard(board); };
    shared.updateOnlineState = [] { UpdateOnlineState(); };
    timing_ = std::make_unique<setup::MachineTiming>(*gLink, gSetup, *gAnswers, *this, shared);
    cycle_ = std::make_unique<setup::RefreshCycle>([this] { return timing_->buildPass(); },
                                                   ScreenHold(this));
    connect(cycle_.get(), &setup::RefreshCycle::passFinished, this,
            [this] { cycle_->setPassInterval(timing_->passInterval()); });

    connect(cmdSetOffset, &QPushButton::clicked, this, [this] { cmdSetOffset_Click(); });
    connect(cmdRecallChan, &QPushButton::clicked, this, [this] { cmdRecallChan_Click(); });
    connect(cmdClearChan, &QPushButton::clicked, this, [this] { cmdClearChan_Click(); });
    connect(cmdResetPLSConfig, &QPushButton::clicked, this, [this] { cmdResetPLSConfig_Click(); });
    for (QPushButton* button : {cmdSetOffset, cmdRecallChan, cmdClearChan, cmdResetPLSConfig})
        button->installEventFilter(this);
    timing_->load();
}

frmBMTmg::~frmBMTmg() {
    unload();
}

QGroupBox* frmBMTmg::buildChannels() {
    auto* group = new QGroupBox(QStringLiteral("Timing Channels"), this);
    group->setObjectName(QStringLiteral("fraTmg_0"));
    fraTmg[0] = group;
    auto* grid = new QGridLayout(group);
    grid->setHorizontalSpacing(8);
    lblChannel[8] = new QLabel(QStringLiteral("ON"), group);
    lblChannel[9] = new QLabel(QStringLiteral("OFF"), group);
    for (int h = 8; h <= 9; ++h) {
        lblChannel[h]->setObjectName(QStringLiteral("lblChannel_%1").arg(h));
        grid->addWidget(lblChannel[h], 0, h - 7, Qt::AlignCenter);
    }
    for (int i = 0; i < 16; ++i) {
        txtChannel[i] = MakeBox(group, QStringLiteral("txtChannel_%1").arg(i));
        updChannel[i] =
            MakeSpinner(group, QStringLiteral("updChannel_%1").arg(i), 0, 359, txtChannel[i]);
    }
    for (int c = 0; c < 8; ++c) {
        lblChannel[c] = new QLabel(QString::fromLatin1(kChannelCaptions[c]), group);
        lblChannel[c]->setObjectName(QStringLiteral("lblChannel_%1").arg(c));
        grid->addWidget(lblChannel[c], c + 1, 0);
        grid->addLayout(Pair(txtChannel[c], updChannel[c]), c + 1, 1);
        grid->addLayout(Pair(txtChannel[c + 8], updChannel[c + 8]), c + 1, 2);
    }
    // Editor fields 0..15 are the boxes 0..15; a channel's label leads to its ON box.
    for (int i = 0; i < 16; ++i) {
        editor_->addField(i < 8 ? lblChannel[i] : nullptr, txtChannel[i], updChannel[i]);
        const int c = i % 8;
        const QString caption = QString::fromLatin1(kChannelCaptions[c]).remove(QLatin1Char('&'));
        txtChannel[i]->setAccessibleName(caption +
                                         (i < 8 ? QStringLiteral(" ON") : QStringLiteral(" OFF")));
        connect(txtChannel[i], &QLineEdit::textChanged, this, [this, c] { followChannel(c); });
    }
    return group;
}

QGroupBox* frmBMTmg::buildConfiguration() {
    auto* group = new QGroupBox(QStringLiteral("PLS Configuration"), this);
    group->setObjectName(QStringLiteral("fraTmg_1"));
    fraTmg[1] = group;
    auto* grid = new QGridLayout(group);
    grid->setHorizontalSpacing(8);
    for (int i = 0; i <= 10; ++i) {
        const QString text = i == 0    ? QStringLiteral("Number of PLS Channels:")
                             : i == 1  ? QStringLiteral("PLS Program:")
                             : i == 10 ? QStringLiteral("Speed Compensation (advance):")
                                       : QStringLiteral("CH0%1 (msec):").arg(i - 2);
        lblCfgDescription[i] = new QLabel(text, group);
        lblCfgDescription[i]->setObjectName(QStringLiteral("lblCfgDescription_%1").arg(i));
    }
    for (int i = 0; i < 10; ++i) {
        lblPLSCfg[i] = new QLabel(QStringLiteral("-"), group);
        lblPLSCfg[i]->setObjectName(QStringLiteral("lblPLSCfg_%1").arg(i));
        lblPLSCfg[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        lblPLSCfg[i]->setMinimumWidth(40);
    }
    grid->addWidget(lblCfgDescription[0], 0, 0);
    grid->addWidget(lblPLSCfg[0], 0, 1);
    grid->addWidget(lblCfgDescription[1], 1, 0);
    grid->addWidget(lblPLSCfg[1], 1, 1);
    grid->addWidget(lblCfgDescription[10], 2, 0, 1, 2);
    // The eight channels' compensation in two columns of four.
    for (int c = 0; c < 8; ++c) {
        const int row = 3 + c % 4;
        const int column = c < 4 ? 0 : 2;
        grid->addWidget(lblCfgDescription[2 + c], row, column);
        grid->addWidget(lblPLSCfg[2 + c], row, column + 1);
    }
    grid->setColumnMinimumWidth(2, 0);
    cmdResetPLSConfig =
        MakeButton(group, QStringLiteral("cmdResetPLSConfig"), QStringLiteral("Reset &PLS Config"));
    grid->addWidget(cmdResetPLSConfig, 7, 0, 1, 4, Qt::AlignLeft);
    return group;
}

QGroupBox* frmBMTmg::buildOffset() {
    auto* group = new QGroupBox(QStringLiteral("Resolver Offset"), this);
    group->setObjectName(QStringLiteral("fraTmg_2"));
    fraTmg[2] = group;
    txtTmg[0] = MakeBox(group, QStringLiteral("txtTmg_0"));
    txtTmg[0]->setText(QStringLiteral("0"));
    txtTmg[0]->setAccessibleName(tr("Resolver offset position"));
    updTmg[0] = MakeSpinner(group, QStringLiteral("updTmg_0"), 0, 359, txtTmg[0]);
    cmdSetOffset = MakeButton(group, QStringLiteral("cmdSetOffset"), QStringLiteral("Set &Offset"));
    auto* row = new QHBoxLayout(group);
    row->addLayout(Pair(txtTmg[0], updTmg[0]));
    row->addWidget(cmdSetOffset);
    editor_->addField(nullptr, txtTmg[0], updTmg[0]);
    // Enter in the offset box goes to "Set Offset" (the editor would send a Tab); installed after
    // the editor's, this filter sees the box's events first.
    txtTmg[0]->installEventFilter(this);
    return group;
}

QGroupBox* frmBMTmg::buildChannelCommands() {
    auto* group = new QGroupBox(QStringLiteral("PLS Channel"), this);
    group->setObjectName(QStringLiteral("fraTmg_3"));
    fraTmg[3] = group;
    txtTmg[1] = MakeBox(group, QStringLiteral("txtTmg_1"));
    txtTmg[1]->setText(QStringLiteral("0"));
    txtTmg[1]->setAccessibleName(tr("PLS channel"));
    updTmg[1] = MakeSpinner(group, QStringLiteral("updTmg_1"), 0, 7, txtTmg[1]);
    cmdRecallChan =
        MakeButton(group, QStringLiteral("cmdRecallChan"), QStringLiteral("&Recall Channel"));
    cmdClearChan =
        MakeButton(group, QStringLiteral("cmdClearChan"), QStringLiteral("&Clear Channel"));
    auto* row = new QHBoxLayout(group);
    row->addLayout(Pair(txtTmg[1], updTmg[1]));
    row->addWidget(cmdRecallChan);
    row->addWidget(cmdClearChan);
    editor_->addField(nullptr, txtTmg[1], updTmg[1]);
    txtTmg[1]->installEventFilter(this);
    return group;
}

void frmBMTmg::buildStatusBar() {
    sbrMachineTiming = new QStatusBar(this);
    sbrMachineTiming->setObjectName(QStringLiteral("sbrMachineTiming"));
    sbrMachineTiming->setSizeGripEnabled(false);
    const char* texts[4] = {"RPM:", "Position:", "Offset:", "Scale:"};
    const char* tips[4] = {"Resolver RPM:", "Machine Position", "Resolver Offset",
                           "PLS Scale Factor"};
    for (int p = 0; p < 4; ++p) {
        panels[p] = new QLabel(QString::fromLatin1(texts[p]), sbrMachineTiming);
        panels[p]->setObjectName(QStringLiteral("sbrMachineTiming_%1").arg(p + 1));
        panels[p]->setToolTip(QString::fromLatin1(tips[p]));
        panels[p]->setMinimumWidth(110);
        panels[p]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        sbrMachineTiming->addWidget(panels[p], 1);
    }
}

// --- Lifecycle -----------------------------------------------------------------------------

void frmBMTmg::activate() {
    if (timing_->ScreenActive) return;
    activated_ = true;
    editor_->EscapePending = false;
    editor_->setActive(true);
    timing_->ScreenActive = true;
    cycle_->start();
}

void frmBMTmg::unload() {
    if (!timing_ || (!timing_->ScreenActive && !cycle_->isActive())) return;
    timing_->ScreenActive = false;
    editor_->endAllEditing();
    editor_->setActive(false);
    cycle_->stop();
}

void frmBMTmg::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!activated_) activate();
}

void frmBMTmg::closeEvent(QCloseEvent* event) {
    unload();
    QWidget::closeEvent(event);
}

bool frmBMTmg::eventFilter(QObject* watched, QEvent* event) {
    // Entering the offset or the channel box shows its plain whole number before the editor
    // takes it as the entry value.
    const bool tmgBox = watched == txtTmg[0] || watched == txtTmg[1];
    if (tmgBox && (event->type() == QEvent::FocusIn ||
                   (event->type() == QEvent::MouseButtonRelease &&
                    static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton))) {
        auto* box = static_cast<QLineEdit*>(watched);
        box->setText(QString::number(WholeNumberOf(box->text())));
    }
    // A button pressed by its access key leaves the box being typed in first, as a click does:
    // the box's check runs, and a refused value keeps the focus and presses nothing.
    if (event->type() == QEvent::Shortcut) {
        auto* button = qobject_cast<QPushButton*>(watched);
        if (button && !leaveFieldFor(button)) return true;
    }
    if (watched == txtTmg[0] && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            editor_->EscapePending = false;
            cmdSetOffset->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// --- Buttons -------------------------------------------------------------------------------

bool frmBMTmg::leaveFieldFor(QPushButton* button) {
    auto* box = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    int field = -1;
    for (int i = 0; i < 16; ++i)
        if (box == txtChannel[i]) field = i;
    for (int i = 0; i < 2; ++i)
        if (box == txtTmg[i]) field = kTmgField + i;
    if (!box || field < 0) return true;
    button->setFocus(Qt::ShortcutFocusReason);
    // A refused value leaves the field in editing (the focus may come back to it only when the
    // message window has gone).
    return !editor_->Editing(field);
}

void frmBMTmg::cmdSetOffset_Click() {
    timing_->setOffset();
}

void frmBMTmg::cmdRecallChan_Click() {
    timing_->recallChannel();
}

void frmBMTmg::cmdClearChan_Click() {
    timing_->clearChannel();
}

void frmBMTmg::cmdResetPLSConfig_Click() {
    timing_->resetPLSConfig();
}

// --- What the screen shows -----------------------------------------------------------------

void frmBMTmg::followChannel(int channel) {
    dial_->setChannel(channel, setpointNumber(channel), setpointNumber(channel + 8));
}

std::optional<std::int32_t> frmBMTmg::setpointNumber(int box) const {
    const std::optional<double> value = NumericValue(txtChannel.at(box)->text());
    if (!value) return std::nullopt;
    return RoundHalfEven(*value);
}

void frmBMTmg::setSetpointText(int box, const QString& text) {
    txtChannel.at(box)->setText(text);
}

void frmBMTmg::setConfigText(int i, const QString& text) {
    lblPLSCfg.at(i)->setText(text);
}

void frmBMTmg::setPanelText(int panel, const QString& text) {
    panels.at(panel - 1)->setText(text);
}

std::int32_t frmBMTmg::settleWholeNumber(int i) {
    const std::int32_t value = WholeNumberOf(txtTmg.at(i)->text());
    txtTmg.at(i)->setText(QString::number(value));
    return value;
}

void frmBMTmg::setTmgText(int i, const QString& text) {
    txtTmg.at(i)->setText(text);
}

void frmBMTmg::setOffsetGroupEnabled(bool enabled) {
    fraTmg[2]->setEnabled(enabled);
    txtTmg[0]->setEnabled(enabled);
    updTmg[0]->setEnabled(enabled);
    cmdSetOffset->setEnabled(enabled);
}

void frmBMTmg::showOnlineLayout() {
    sbrMachineTiming->setEnabled(true);
    for (QGroupBox* group : fraTmg)
        group->setEnabled(true);
    for (QLabel* label : lblPLSCfg)
        label->setEnabled(true);
    editor_->setAllEnabled(true);
    for (QLineEdit* box : txtChannel)
        box->setText(QStringLiteral("-"));
    for (QPushButton* button : {cmdResetPLSConfig, cmdSetOffset, cmdRecallChan, cmdClearChan})
        button->setEnabled(true);
}

void frmBMTmg::setChannelEnabled(int channel, bool enabled) {
    editor_->setFieldEnabled(channel, enabled);
    editor_->setFieldEnabled(channel + 8, enabled);
}

void frmBMTmg::showOfflineLayout(bool offlineEditing) {
    sbrMachineTiming->setEnabled(false);
    for (QGroupBox* group : fraTmg)
        group->setEnabled(false);
    fraTmg[0]->setEnabled(offlineEditing);
    fraTmg[3]->setEnabled(offlineEditing);
    for (int i = 0; i < 16; ++i)
        editor_->setFieldEnabled(i, offlineEditing);
    for (QLabel* label : lblPLSCfg)
        label->setEnabled(false);
    for (QWidget* w : std::initializer_list<QWidget*>{cmdResetPLSConfig, cmdSetOffset, txtTmg[0],
                                                      updTmg[0], cmdRecallChan})
        w->setEnabled(false);
    for (QWidget* w : std::initializer_list<QWidget*>{cmdClearChan, txtTmg[1], updTmg[1]})
        w->setEnabled(offlineEditing);
}

void frmBMTmg::focusDefault() {
    cmdDefault->setFocus(Qt::OtherFocusReason);
}

void frmBMTmg::showMachinePosition(std::optional<int> position) {
    dial_->setPosition(position);
}

void frmBMTmg::showScale(int scale) {
    dial_->setScale(scale);
}

} // namespace talvern::screens
