#include "HelpWindow.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace talvern::shell {

HelpWindow::HelpWindow(const QString& contentsPage, QWidget* parent)
    : QDialog(parent), contents_(contentsPage) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("TALVERN Help"));
    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("helpBrowser"));
    browser_->setOpenExternalLinks(true);
    auto* cmdContents = new QPushButton(QStringLiteral("C&ontents"), this);
    auto* cmdBack = new QPushButton(QStringLiteral("&Back"), this);
    auto* cmdClose = new QPushButton(QStringLiteral("&Close"), this);
    connect(cmdContents, &QPushButton::clicked, this, &HelpWindow::showContents);
    connect(cmdBack, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(browser_, &QTextBrowser::backwardAvailable, cmdBack, &QPushButton::setEnabled);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::close);
    cmdBack->setEnabled(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdContents);
    buttons->addWidget(cmdBack);
    buttons->addStretch();
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(browser_, 1);
    resize(720, 560);
}

void HelpWindow::showContents() {
    if (QFileInfo::exists(contents_)) {
        browser_->setSource(QUrl::fromLocalFile(contents_));
    } else {
        browser_->setHtml(QStringLiteral("<h1>TALVERN Help</h1><p>The help pages were not found "
                                         "at %1.</p>")
                              .arg(contents_.toHtmlEscaped()));
    }
}

void HelpWindow::showPage(const QString& file) {
    if (QFileInfo::exists(file))
        browser_->setSource(QUrl::fromLocalFile(file));
    else
        showContents();
}

} // namespace talvern::shell
