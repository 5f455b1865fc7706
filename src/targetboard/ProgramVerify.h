#pragma once
// Verify: every data byte of a program image read back from the board and compared, as a step
// machine (one read per step). The report names how many bytes differ and the first difference,
// or that the board holds the image.

#include "ProgramFiles.h"
#include "ProgramImage.h"
#include "RSComm.h"
#include "TransferProgress.h"

#include <functional>

namespace talvern::targetboard {

class ProgramVerify {
public:
    ProgramVerify(link::RSComm& link, const ProgramSet& set, link::UserAnswers& answers,
                  link::Clock& clock, int boardNumber = 0,
                  std::function<bool(int)> checkTargetBoard = {});

    bool step();
    void runToEnd();
    bool finished() const { return phase_ == Phase::Done; }
    // The comparison ran to its end (matching or not).
    bool completed() const { return completed_; }
    bool matches() const { return completed_ && differences_ == 0; }
    int differences() const { return differences_; }
    QString CurrentProgramAdd = QStringLiteral(" ");
    const TransferProgress& progress() const { return progress_; }
    // The report shown at the end.
    QString report() const { return report_; }

private:
    enum class Phase { Start, CheckBoard, Compare, Done };
    void finish(const QString& text, link::Icon icon);
    void readFailed(const QString& address);
    // Counts the byte at record_/offset_ as compared and moves to the next.
    void advance();

    link::RSComm& link_;
    const ProgramSet& set_;
    link::UserAnswers& answers_;
    link::Clock& clock_;
    int boardNumber_;
    std::function<bool(int)> checkTargetBoard_;

    Phase phase_ = Phase::Start;
    ImageCheck image_;
    std::size_t record_ = 0;
    int offset_ = 0;
    // The byte at record_/offset_ read once and not found as in the file: the next step
    // confirms the board's value before it counts as a difference.
    bool confirm_ = false;
    int differences_ = 0;
    int firstAddress_ = -1;
    int firstBoard_ = 0;
    int firstFile_ = 0;
    bool completed_ = false;
    QString report_;
    TransferProgress progress_;
};

} // namespace talvern::targetboard
