#include "frmWaitDisplay.h"

#include "modUtility.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QThread>
#include <QVBoxLayout>
#include <QWindow>

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
    waitUntilPainted();
    if (work) work();
    close();
}

void frmWaitDisplay::waitUntilPainted() {
    // A window is drawn only once the window system has mapped and exposed it, which takes a
    // round of events; the work that follows does not return to the event loop, so without
    // this the window would stay blank all through it. At most a second, should the window
    // never be exposed.
    painted_ = false;
    QElapsedTimer waited;
    waited.start();
    while (!painted_ && waited.elapsed() < 1000) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        if (windowHandle() && windowHandle()->isExposed())
            repaint();
        else
            QThread::msleep(5);
    }
}

void frmWaitDisplay::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    painted_ = true;
}

} // namespace talvern::shell
