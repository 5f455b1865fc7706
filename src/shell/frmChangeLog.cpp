#include "frmChangeLog.h"

#include "SdtFile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace talvern::shell {

namespace {
QPushButton* Button(QWidget* parent, const char* name, const char* caption) {
    auto* b = new QPushButton(QString::fromUtf8(caption), parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}
} // namespace

frmChangeLog::frmChangeLog(QString path, bool simulated, link::UserAnswers& answers,
                           std::function<setup::FileDialogs&()> dialogs, QString folder,
                           QWidget* parent)
    : QDialog(parent), path_(std::move(path)), answers_(answers), dialogs_(std::move(dialogs)),
      folder_(std::move(folder)) {
    setObjectName(QStringLiteral("frmChangeLog"));
    setWindowTitle(simulated ? QStringLiteral("Change Log (simulated boards)")
                             : QStringLiteral("Change Log"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    auto* boardLabel = new QLabel(QStringLiteral("&Board:"), this);
    cboChangeBoard = new QComboBox(this);
    cboChangeBoard->setObjectName(QStringLiteral("cboChangeBoard"));
    cboChangeBoard->addItems(
        {QStringLiteral("All"), QStringLiteral("K2510"), QStringLiteral("R7520")});
    boardLabel->setBuddy(cboChangeBoard);
    auto* addressLabel = new QLabel(QStringLiteral("&Address:"), this);
    txtChangeAddress = new QLineEdit(this);
    txtChangeAddress->setObjectName(QStringLiteral("txtChangeAddress"));
    addressLabel->setBuddy(txtChangeAddress);
    chkChangeSince = new QCheckBox(QStringLiteral("&Since:"), this);
    chkChangeSince->setObjectName(QStringLiteral("chkChangeSince"));
    dtpChangeSince = new QDateEdit(QDate::currentDate(), this);
    dtpChangeSince->setObjectName(QStringLiteral("dtpChangeSince"));
    dtpChangeSince->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    dtpChangeSince->setCalendarPopup(true);
    auto* top = new QHBoxLayout;
    top->addWidget(boardLabel);
    top->addWidget(cboChangeBoard);
    top->addSpacing(8);
    top->addWidget(addressLabel);
    top->addWidget(txtChangeAddress);
    top->addSpacing(8);
    top->addWidget(chkChangeSince);
    top->addWidget(dtpChangeSince);
    top->addStretch(1);

    grdChangeLog = new QTableWidget(0, 8, this);
    grdChangeLog->setObjectName(QStringLiteral("grdChangeLog"));
    grdChangeLog->setHorizontalHeaderLabels({QStringLiteral("Time"), QStringLiteral("Board"),
                                             QStringLiteral("Address"), QStringLiteral("Parameter"),
                                             QStringLiteral("Before"), QStringLiteral("Written"),
                                             QStringLiteral("Source"), QStringLiteral("Result")});
    grdChangeLog->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdChangeLog->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdChangeLog->verticalHeader()->hide();
    grdChangeLog->horizontalHeader()->setStretchLastSection(true);

    lblChangeCount = new QLabel(this);
    lblChangeCount->setObjectName(QStringLiteral("lblChangeCount"));
    cmdChangeRefresh = Button(this, "cmdChangeRefresh", "&Refresh");
    cmdChangeExport = Button(this, "cmdChangeExport", "Export &Text...");
    cmdChangeClose = Button(this, "cmdChangeClose", "Close");
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lblChangeCount, 1);
    bottom->addWidget(cmdChangeRefresh);
    bottom->addWidget(cmdChangeExport);
    bottom->addWidget(cmdChangeClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(grdChangeLog, 1);
    layout->addLayout(bottom);

    connect(cboChangeBoard, &QComboBox::currentIndexChanged, this, [this] { applyFilter(); });
    connect(txtChangeAddress, &QLineEdit::textChanged, this, [this] { applyFilter(); });
    connect(chkChangeSince, &QCheckBox::toggled, this, [this] { applyFilter(); });
    connect(dtpChangeSince, &QDateEdit::dateChanged, this, [this] { applyFilter(); });
    connect(cmdChangeRefresh, &QPushButton::clicked, this, &frmChangeLog::cmdChangeRefresh_Click);
    connect(cmdChangeExport, &QPushButton::clicked, this, &frmChangeLog::cmdChangeExport_Click);
    connect(cmdChangeClose, &QPushButton::clicked, this, &QDialog::close);
    resize(980, 480);
    cmdChangeRefresh_Click();
}

setup::ChangeFilter frmChangeLog::filter() const {
    setup::ChangeFilter f;
    if (cboChangeBoard->currentIndex() > 0) f.board = cboChangeBoard->currentText();
    f.address = txtChangeAddress->text().trimmed();
    if (chkChangeSince->isChecked()) f.since = dtpChangeSince->date();
    return f;
}

void frmChangeLog::cmdChangeRefresh_Click() {
    entries_ = setup::ReadChangeLog(path_);
    applyFilter();
}

void frmChangeLog::applyFilter() {
    const setup::ChangeFilter f = filter();
    shown_.clear();
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it)
        if (f.matches(*it)) shown_.push_back(*it);
    grdChangeLog->setRowCount(static_cast<int>(shown_.size()));
    for (int i = 0; i < grdChangeLog->rowCount(); ++i) {
        const setup::ChangeEntry& e = shown_[static_cast<std::size_t>(i)];
        const QStringList cells{setup::IsoLocalTime(e.at),
                                e.board,
                                e.address,
                                e.name,
                                e.before.isEmpty() ? QStringLiteral("?") : e.before,
                                e.written,
                                e.source,
                                e.confirmed ? QStringLiteral("confirmed")
                                            : QStringLiteral("failed")};
        for (int c = 0; c < cells.size(); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (!e.confirmed) item->setForeground(Qt::darkRed);
            grdChangeLog->setItem(i, c, item);
        }
    }
    grdChangeLog->resizeColumnsToContents();
    lblChangeCount->setText(
        QStringLiteral("%1 of %2 writes").arg(shown_.size()).arg(entries_.size()));
    cmdChangeExport->setEnabled(!shown_.empty());
}

void frmChangeLog::cmdChangeExport_Click() {
    const QString path = dialogs_().saveFile(QDir(folder_).filePath(QStringLiteral("changes.txt")),
                                             QStringLiteral("Text Files(*.txt)"));
    if (path.isEmpty()) return;
    QString text;
    for (const setup::ChangeEntry& e : shown_)
        text += setup::ChangeText(e) + QLatin1Char('\n');
    QString message;
    if (!setup::SaveTextFile(path, text.toUtf8(), &message))
        answers_.ask(message, windowTitle(), link::Buttons::Ok, link::Icon::Exclamation);
}

} // namespace talvern::shell
