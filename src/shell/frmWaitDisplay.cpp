#include "frmWaitDisplay.h"

#include "modUtility.h"

#include <QLabel>
#include <QVBoxLayout>

namespace talvern::shell {

QString WaitDisplayText(int mode) {
    switch (mode) {
        case 1:
            return QStringLiteral("Generating Report, Please Standby ...");
        case 2:
            return QStringLiteral("Formatting Data for Output, Please Standby ...");
        default:
            return QStringLiteral("Please Standby ...");
    }
}

frmWaitDisplay::frmWaitDisplay(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmWaitDisplay"));
    setWindowTitle(QStringLiteral("TALVERN"));
    setWindowFlags(windowFlags() & ~Qt::WindowCloseButtonHint);
    lblWaitDisplay = new QLabel(this);
    lblWaitDisplay->setObjectName(QStringLiteral("lblWaitDisplay"));
    lblWaitDisplay->setAlignment(Qt::AlignCenter);
    lblWaitDisplay->setMinimumWidth(320);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->addWidget(lblWaitDisplay);
}

void frmWaitDisplay::Run(int mode, const std::function<void()>& work) {
    lblWaitDisplay->setText(WaitDisplayText(mode));
    adjustSize();
    CenterWindow(this);
    show();
    raise();
    // Drawn at once: the work that follows does not return to the event loop.
    repaint();
    if (work) work();
    close();
}

} // namespace talvern::shell
