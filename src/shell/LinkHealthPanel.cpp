#include "LinkHealthPanel.h"

#include <QLabel>
#include <QStatusBar>
#include <QTimer>

namespace talvern::shell {

QLabel* AddLinkHealthPanel(QStatusBar* bar, link::WireRecorder& recorder, link::Clock& clock,
                           std::function<bool()> online) {
    auto* panel = new QLabel(bar);
    panel->setObjectName(QStringLiteral("sbrMain_LINK"));
    panel->setToolTip(QStringLiteral("Transactions on the cable that failed or needed a retry in "
                                     "the last minute (View → Wire Monitor shows each one)"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setContentsMargins(4, 0, 4, 0);
    panel->hide();
    bar->addPermanentWidget(panel);
    auto* timer = new QTimer(panel);
    timer->setInterval(500);
    QObject::connect(timer, &QTimer::timeout, panel, [panel, &recorder, &clock, online] {
        const bool show = online && online();
        if (show) {
            const QString text = link::LinkHealthText(recorder.recentTrouble(clock.now()));
            if (panel->text() != text) panel->setText(text);
        }
        if (panel->isVisible() != show) panel->setVisible(show);
    });
    timer->start();
    return panel;
}

} // namespace talvern::shell
