#pragma once
// "Tune Cupfeed Servo Motor": the four PID gains of the servo cupfeed (the set-up editor), the
// running following error with a live trace of the last 30 seconds, and the servo amplifier's
// test mode, in which the engineer drives the amplifier directly with an output between −100 %
// and +100 %. The error read-outs are kept in the working data, so that offline the last values
// seen are shown. The test-mode box and the output act only on what the board is known to hold:
// a disturbed reply is shown, never written back.

#include "ErrorTrace.h"
#include "ParameterScreen.h"
#include "QtPlatform.h"

class QCheckBox;

namespace talvern::screens {

class BoardCheckBox;
class ErrorTraceView;

class frmCpfdTune : public ParameterScreen {
    Q_OBJECT
public:
    explicit frmCpfdTune(QWidget* parent = nullptr);

    // Address indices.
    static constexpr int kFirstReadout = 4; // W614, W610, W612 at 4..6
    static constexpr int kCheckIndex = 7;   // B153.7
    static constexpr int kOutputIndex = 8;  // W1140
    static constexpr int kOutputField = 4;  // txtCpfdTune(4)

    QCheckBox* chkCpfdTune() const { return chkCpfdTune_; }
    // Caption (0..7) by address index; 7 is the output's caption.
    QLabel* lblCpfdTune(int i);
    QLabel* lblCpfdTuneData(int i) const { return readouts_.at(i - kFirstReadout); }
    QLabel* testModeWarning() const { return lblTestMode_; }
    const ErrorTrace& trace() const { return trace_; }
    ErrorTraceView* traceView() const { return traceView_; }
    // The clock of the trace (the program's steady clock unless set).
    void setClock(link::Clock* clock) { clock_ = clock ? clock : &steady_; }

    void chkCpfdTune_Click();
    void SetTestModeFields();

protected:
    void commitField(int field, const QString& text, std::int32_t value) override;
    void SetupOnlineDisplay() override;
    void SetupOfflineDisplay() override;
    void showRead(int i, const std::optional<QString>& value) override;
    void showOffline(int i) override;

private:
    QGroupBox* group(int g) const { return groups.at(g); }
    void setReadoutsEnabled(bool enabled);
    void showTestMode(bool on);
    void mark(const QString& label);
    // The last write reached the board and was confirmed by its echo.
    static bool WriteGotThrough();

    QCheckBox* chkCpfdTune_;
    BoardCheckBox* testMode_;
    std::vector<QLabel*> readoutCaptions_;
    std::vector<QLabel*> readouts_;
    QLabel* lblTestMode_;
    ErrorTraceView* traceView_;
    ErrorTrace trace_;
    TraceSample pending_;
    bool pendingRead_ = false; // every read-out of the pending sample was read
    link::SteadyClock steady_;
    link::Clock* clock_ = &steady_;
};

} // namespace talvern::screens
