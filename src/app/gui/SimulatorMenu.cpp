#include "SimulatorMenu.h"

#include "boards/SimulatedBoards.h"

#include <QActionGroup>

namespace talvern::app {

using boards::BoardId;

SimulatorMenu::SimulatorMenu(boards::SimulatedBoards& boards, const QStringList& alarmTexts,
                             QWidget* parent)
    : QMenu(QStringLiteral("Sim&ulator"), parent), boards_(boards) {
    setObjectName(QStringLiteral("mnuSimulator"));
    menuAction()->setObjectName(QStringLiteral("mnuSimulator"));
    auto* cable = new QActionGroup(this);
    cableK2510_ = addAction(QStringLiteral("Cable on K2510 &PROG PORT"));
    cableR7520_ = addAction(QStringLiteral("Cable on R7520 &MOTION PORT"));
    for (QAction* a : {cableK2510_, cableR7520_}) {
        a->setCheckable(true);
        cable->addAction(a);
    }
    connect(cableK2510_, &QAction::triggered, this, [this] { boards_.moveCable(BoardId::K2510); });
    connect(cableR7520_, &QAction::triggered, this, [this] { boards_.moveCable(BoardId::R7520); });
    plugged_ = addAction(QStringLiteral("Cable Plugged &In"));
    plugged_->setCheckable(true);
    connect(plugged_, &QAction::triggered, this, [this](bool on) {
        if (on)
            boards_.plug();
        else
            boards_.unplug();
    });
    addSeparator();
    running_ = addAction(QStringLiteral("Machine &Running"));
    running_->setCheckable(true);
    connect(running_, &QAction::triggered, this, [this](bool on) {
        if (on)
            boards_.startMachine();
        else
            boards_.stopMachine();
    });
    addSeparator();
    QMenu* alarmMenu = addMenu(QStringLiteral("&Alarms"));
    for (int alarm = 1; alarm <= 11; ++alarm) {
        const QString number =
            alarm < 10 ? QStringLiteral("&%1").arg(alarm) : QString::number(alarm);
        QAction* a = alarmMenu->addAction(number + QStringLiteral("  ") + alarmTexts.value(alarm));
        a->setCheckable(true);
        connect(a, &QAction::triggered, this,
                [this, alarm](bool on) { boards_.setAlarm(alarm, on); });
        alarms_ << a;
    }
    QAction* clear = alarmMenu->addAction(QStringLiteral("&Clear All Alarms"));
    connect(clear, &QAction::triggered, this, [this] {
        for (int alarm = 1; alarm <= 11; ++alarm)
            boards_.setAlarm(alarm, false);
    });
    connect(this, &QMenu::aboutToShow, this, &SimulatorMenu::refresh);
    connect(alarmMenu, &QMenu::aboutToShow, this, &SimulatorMenu::refresh);
    refresh();
}

void SimulatorMenu::refresh() {
    cableK2510_->setChecked(boards_.cableBoard() == BoardId::K2510);
    cableR7520_->setChecked(boards_.cableBoard() == BoardId::R7520);
    plugged_->setChecked(boards_.plugged());
    running_->setChecked(boards_.machineRunning());
    for (int i = 0; i < alarms_.size(); ++i)
        alarms_[i]->setChecked(boards_.alarmActive(i + 1));
}

} // namespace talvern::app
