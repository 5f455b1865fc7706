#include "TestModeNotice.h"

#include "CupfeedTuning.h"

#include <QLabel>
#include <QStatusBar>

namespace talvern::shell {

void TestModeNotice::set(bool on) {
    if (on == on_) return;
    on_ = on;
    emit changed(on);
}

TestModeNotice& ServoTestModeNotice() {
    static TestModeNotice notice;
    return notice;
}

QLabel* AddTestModePanel(QStatusBar* bar) {
    auto* panel = new QLabel(setup::kTestModeNotice, bar);
    panel->setObjectName(QStringLiteral("sbrMain_TESTMODE"));
    panel->setToolTip(QStringLiteral("The R7520 drives the cupfeed's amplifier from the output "
                                     "of the tuning screen"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setContentsMargins(4, 0, 4, 0);
    panel->setStyleSheet(QStringLiteral("color: white; background: #b00000; font-weight: bold;"));
    bar->addPermanentWidget(panel);
    panel->setVisible(ServoTestModeNotice().isOn());
    QObject::connect(&ServoTestModeNotice(), &TestModeNotice::changed, panel, &QLabel::setVisible);
    return panel;
}

} // namespace talvern::shell
