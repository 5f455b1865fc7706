#include "WireMonitorPanel.h"

#include "WireTrace.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPainter>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollBar>
#include <QStaticText>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

namespace talvern::shell {

namespace {
// Rows are painted as plain text, laid out once: the list is repainted at every look, as it
// scrolls, and holds the same few words over and over, while the style's own item painting lays
// every cell out afresh (eliding, focus frames) at several times the cost.
class PlainRowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const bool selected = option.state & QStyle::State_Selected;
        if (selected) painter->fillRect(option.rect, option.palette.highlight());
        const QVariant foreground = index.data(Qt::ForegroundRole);
        painter->setPen(selected               ? option.palette.highlightedText().color()
                        : foreground.isValid() ? foreground.value<QBrush>().color()
                                               : option.palette.text().color());
        const QString text = index.data(Qt::DisplayRole).toString();
        const QRect box = option.rect.adjusted(3, 0, -3, 0);
        if (texts_.size() > 4096) texts_.clear();
        auto it = texts_.find(text);
        if (it == texts_.end()) {
            it = texts_.insert(text, QStaticText(text));
            it->setTextFormat(Qt::PlainText);
            it->prepare(QTransform(), option.font);
        }
        const QSizeF size = it->size();
        if (size.width() > box.width()) {
            painter->drawText(box, Qt::AlignLeft | Qt::AlignVCenter, text); // clipped
            return;
        }
        painter->drawStaticText(QPointF(box.left(), box.top() + (box.height() - size.height()) / 2),
                                *it);
    }

private:
    mutable QHash<QString, QStaticText> texts_;
};

void SetText(QLabel* label, const QString& text) {
    // Unchanged text is not set again: a label given new text is laid out and drawn anew.
    if (label->text() != text) label->setText(text);
}
} // namespace

WireMonitorPanel::WireMonitorPanel(WireMonitorSources sources, QWidget* parent)
    : QDockWidget(QStringLiteral("Wire Monitor"), parent), sources_(std::move(sources)) {
    setObjectName(QStringLiteral("dockWireMonitor"));
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 4, 4, 4);

    auto* counters = new QHBoxLayout;
    auto label = [&](const char* name, const char* tip) {
        auto* l = new QLabel(body);
        l->setObjectName(QString::fromLatin1(name));
        l->setToolTip(QString::fromLatin1(tip));
        counters->addWidget(l);
        return l;
    };
    lblWireRate = label("lblWireRate", "Bytes sent a second, each answered by one byte back");
    lblWireBusy = label("lblWireBusy", "Share of the last second the line carried bytes, at the "
                                       "speed the port was opened at");
    lblWireFailed = label("lblWireFailed", "Transactions that failed since the port was opened");
    lblWireRetried =
        label("lblWireRetried", "Transactions done only after a repeat since the port was opened");
    lblWireLastFailure = label("lblWireLastFailure", "The last transaction that failed");
    counters->addStretch(1);
    layout->addLayout(counters);

    auto* controls = new QHBoxLayout;
    cmdWirePause = new QPushButton(QStringLiteral("Pause"), body);
    cmdWirePause->setObjectName(QStringLiteral("cmdWirePause"));
    cmdWirePause->setCheckable(true);
    cmdWirePause->setToolTip(QStringLiteral("Holds the list still; recording goes on"));
    cmdWireClear = new QPushButton(QStringLiteral("Clear"), body);
    cmdWireClear->setObjectName(QStringLiteral("cmdWireClear"));
    txtWireFilter = new QLineEdit(body);
    txtWireFilter->setObjectName(QStringLiteral("txtWireFilter"));
    txtWireFilter->setPlaceholderText(QStringLiteral("Address or name"));
    txtWireFilter->setClearButtonEnabled(true);
    cboWireKind = new QComboBox(body);
    cboWireKind->setObjectName(QStringLiteral("cboWireKind"));
    cboWireKind->addItem(QStringLiteral("All kinds"), -1);
    for (link::WireKind k :
         {link::WireKind::Read, link::WireKind::Write, link::WireKind::PlsCommand,
          link::WireKind::ProgramRecord, link::WireKind::Handshake})
        cboWireKind->addItem(link::KindText(k), static_cast<int>(k));
    chkWireBytes = new QCheckBox(QStringLiteral("Raw bytes"), body);
    chkWireBytes->setObjectName(QStringLiteral("chkWireBytes"));
    chkWireBytes->setToolTip(QStringLiteral("Each byte sent and the reply it got (→…: none in "
                                            "time, the attention byte went out again)"));
    cmdWireSave = new QPushButton(QStringLiteral("Save…"), body);
    cmdWireSave->setObjectName(QStringLiteral("cmdWireSave"));
    cmdWireSave->setToolTip(QStringLiteral("Saves the listed bytes as talvern-cli --trace "
                                           "writes them"));
    controls->addWidget(cmdWirePause);
    controls->addWidget(cmdWireClear);
    controls->addWidget(txtWireFilter, 1);
    controls->addWidget(cboWireKind);
    controls->addWidget(chkWireBytes);
    controls->addWidget(cmdWireSave);
    layout->addLayout(controls);

    model_ = new WireTableModel(sources_.recorder->log(), sources_.names, this);
    grdWireMonitor = new QTableView(body);
    grdWireMonitor->setObjectName(QStringLiteral("grdWireMonitor"));
    grdWireMonitor->setModel(model_);
    grdWireMonitor->setItemDelegate(new PlainRowDelegate(grdWireMonitor));
    grdWireMonitor->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdWireMonitor->setWordWrap(false);
    grdWireMonitor->verticalHeader()->hide();
    grdWireMonitor->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grdWireMonitor->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    grdWireMonitor->horizontalHeader()->setStretchLastSection(true);
    // Wide enough for what the columns usually hold; the name gets what is left.
    const char* const widest[] = {"Time (ms)",         "R7520", "program record", "scale factor",
                                  "Integral Gain (I)", "65535", "wrong echo"};
    for (int c = 0; c < WireTableModel::Bytes; ++c)
        grdWireMonitor->setColumnWidth(
            c, fontMetrics().horizontalAdvance(QString::fromLatin1(widest[c])) + 16);
    grdWireMonitor->setColumnWidth(
        WireTableModel::Bytes,
        fontMetrics().horizontalAdvance(QStringLiteral("FF→55 01→55 03→03 FC→D2 03→03 FD→04")) +
            16);
    grdWireMonitor->setColumnHidden(WireTableModel::Bytes, true);
    layout->addWidget(grdWireMonitor, 1);
    setWidget(body);
    setFocusProxy(grdWireMonitor);

    connect(cmdWireClear, &QPushButton::clicked, this, &WireMonitorPanel::cmdWireClear_Click);
    connect(cmdWireSave, &QPushButton::clicked, this, &WireMonitorPanel::cmdWireSave_Click);
    connect(cmdWirePause, &QPushButton::toggled, this, [this](bool paused) {
        cmdWirePause->setText(paused ? QStringLiteral("Resume") : QStringLiteral("Pause"));
        if (!paused) refresh();
    });
    connect(txtWireFilter, &QLineEdit::textChanged, this, &WireMonitorPanel::applyFilter);
    connect(cboWireKind, &QComboBox::currentIndexChanged, this, &WireMonitorPanel::applyFilter);
    connect(chkWireBytes, &QCheckBox::toggled, this, [this](bool on) {
        grdWireMonitor->setColumnHidden(WireTableModel::Bytes, !on);
        // The panel grows by the bytes' column, so that the other columns stay in sight.
        const int bytes = grdWireMonitor->columnWidth(WireTableModel::Bytes);
        if (auto* window = qobject_cast<QMainWindow*>(parentWidget()); window && !isFloating())
            window->resizeDocks({this}, {width() + (on ? bytes : -bytes)}, Qt::Horizontal);
    });

    tmrWireMonitor.setInterval(kRefreshInterval);
    connect(&tmrWireMonitor, &QTimer::timeout, this, &WireMonitorPanel::refresh);
    // Only a panel on the screen reads the recorder.
    connect(this, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        if (visible) {
            refresh();
            tmrWireMonitor.start();
        } else {
            tmrWireMonitor.stop();
        }
    });
    showCounters();
}

QSize WireMonitorPanel::sizeHint() const {
    int width = grdWireMonitor->frameWidth() * 2 + style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    for (int c = 0; c < WireTableModel::Bytes; ++c)
        width += grdWireMonitor->columnWidth(c);
    return {width + 8, QDockWidget::sizeHint().height()};
}

void WireMonitorPanel::refresh() {
    showCounters();
    if (cmdWirePause->isChecked()) {
        model_->dropOld(); // the log goes on, and drops its oldest also while the list stands
        return;
    }
    QScrollBar* bar = grdWireMonitor->verticalScrollBar();
    // The list follows the newest only while it is scrolled to the bottom.
    const bool following = bar->value() == bar->maximum();
    model_->follow();
    if (following) grdWireMonitor->scrollToBottom();
}

void WireMonitorPanel::showCounters() {
    const link::WireCounters& c = sources_.recorder->counters();
    rate_.sample(sources_.clock->now(), c);
    const int baud = sources_.baud ? sources_.baud() : 0;
    SetText(lblWireRate, QStringLiteral("Exchanges/s: %1").arg(qRound(rate_.exchangesPerSecond())));
    SetText(lblWireBusy,
            QStringLiteral("Line busy: %1 %").arg(qRound(100 * rate_.busyShare(baud))));
    SetText(lblWireFailed, QStringLiteral("Failed: %1").arg(c.failed));
    SetText(lblWireRetried, QStringLiteral("Retried: %1").arg(c.retried));
    const auto ms = [](double seconds) { return static_cast<qint64>(seconds * 1000.0); };
    if (const std::optional<link::WireFailure> waiting = sources_.recorder->overdue())
        SetText(lblWireLastFailure, QStringLiteral("Waiting for a reply at %1 (%2 ms)")
                                        .arg(waiting->subject)
                                        .arg(ms(waiting->at)));
    else if (c.lastFailure)
        SetText(lblWireLastFailure,
                QStringLiteral("Last failure: %1 at %2 (%3 ms)")
                    .arg(link::OutcomeText(c.lastFailure->outcome), c.lastFailure->subject)
                    .arg(ms(c.lastFailure->at)));
    else
        SetText(lblWireLastFailure, QStringLiteral("Last failure: none"));
}

void WireMonitorPanel::applyFilter() {
    const int kind = cboWireKind->currentData().toInt();
    model_->setFilter(txtWireFilter->text(),
                      kind < 0 ? std::nullopt : std::optional(link::WireKind(kind)));
    grdWireMonitor->scrollToBottom();
}

void WireMonitorPanel::cmdWireClear_Click() {
    // Only the list is emptied: the recorder keeps its log for whoever else reads it.
    model_->clear();
}

QByteArray WireMonitorPanel::traceText() const {
    QByteArray text;
    for (int row = 0; row < model_->rowCount(); ++row)
        if (const link::WireTransaction* t = model_->transaction(row)) link::AppendTrace(text, *t);
    return text;
}

void WireMonitorPanel::cmdWireSave_Click() {
    if (!sources_.dialogs) return;
    QString path = sources_.dialogs().saveFile(
        QDir(sources_.saveFolder).filePath(QStringLiteral("wire-trace.txt")),
        QStringLiteral("Trace Files(*.txt)"));
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".txt");
    sources_.saveFolder = QFileInfo(path).absolutePath();
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(traceText()) >= 0 && file.commit()) return;
    if (sources_.answers)
        sources_.answers->ask(QStringLiteral("Could not write %1:\r\n%2")
                                  .arg(QDir::toNativeSeparators(path), file.errorString()),
                              QStringLiteral("Wire Monitor"), link::Buttons::Ok,
                              link::Icon::Exclamation);
}

} // namespace talvern::shell
