#pragma once
// The wire monitor: a dockable panel with the link's traffic as decoded transactions, newest at
// the bottom, the line's counters along the top, pause, clear, a filter and Save. It reads the
// recorder on its own timer, twice a second and only while it is shown, so the line hardly
// waits for it.

#include "FileDialogs.h"
#include "Platform.h"
#include "WireRecorder.h"
#include "WireTableModel.h"

#include <QDockWidget>
#include <QTimer>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace talvern::shell {

struct WireMonitorSources {
    link::WireRecorder* recorder = nullptr;
    link::Clock* clock = nullptr;
    std::function<int()> baud;                    // the speed the port was opened at
    std::function<setup::FileDialogs&()> dialogs; // for Save
    link::UserAnswers* answers = nullptr;         // tells of a file that could not be written
    WireTableModel::Names names;
    QString saveFolder;
};

class WireMonitorPanel : public QDockWidget {
    Q_OBJECT
public:
    // Each look that adds rows repaints the whole list as it scrolls: twice a second keeps the
    // panel's share of the program's time under a hundredth (four times a second did not).
    static constexpr int kRefreshInterval = 500; // ms

    WireMonitorPanel(WireMonitorSources sources, QWidget* parent = nullptr);

    // One look at the recorder: the counters, and (unless paused) the new transactions.
    void refresh();
    void cmdWireClear_Click();
    void cmdWireSave_Click();
    WireTableModel& model() { return *model_; }
    // Wide enough to show every column but the raw bytes.
    QSize sizeHint() const override;
    // The text Save writes: the listed transactions' bytes as talvern-cli --trace logs them.
    QByteArray traceText() const;

    QLabel* lblWireRate;
    QLabel* lblWireBusy;
    QLabel* lblWireFailed;
    QLabel* lblWireRetried;
    QLabel* lblWireLastFailure;
    QPushButton* cmdWirePause;
    QPushButton* cmdWireClear;
    QLineEdit* txtWireFilter;
    QComboBox* cboWireKind;
    QCheckBox* chkWireBytes;
    QPushButton* cmdWireSave;
    QTableView* grdWireMonitor;
    QTimer tmrWireMonitor;

private:
    void applyFilter();
    void showCounters();

    WireMonitorSources sources_;
    WireTableModel* model_;
    link::WireRate rate_;
};

} // namespace talvern::shell
