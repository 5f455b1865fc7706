#pragma once
// The "Sim&ulator" menu of a simulated run (Alt+U: Alt+M belongs to the set-up screen): the cable,
// the machine and the system alarms of the simulated boards.

#include <QMenu>

namespace talvern::boards {
class SimulatedBoards;
}

namespace talvern::app {

class SimulatorMenu : public QMenu {
    Q_OBJECT
public:
    SimulatorMenu(boards::SimulatedBoards& boards, const QStringList& alarmTexts,
                  QWidget* parent = nullptr);

private:
    void refresh();

    boards::SimulatedBoards& boards_;
    QAction* cableK2510_;
    QAction* cableR7520_;
    QAction* plugged_;
    QAction* running_;
    QList<QAction*> alarms_;
};

} // namespace talvern::app
