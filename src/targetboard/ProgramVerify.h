#pragma once
// Verify: every data byte of a program image read back from the board and compared, as a step
// machine (one read per step). The bytes are read as one block in two passes
// (link::ConfirmedReads), so that a byte is compared only once two readings agree on it. The
// report names how many bytes differ and the first difference, or that the board holds the
// image.

#include "ConfirmedReads.h"
#include "ProgramFiles.h"
#include "ProgramImage.h"
#include "RSComm.h"
#include "TransferProgress.h"

#include <functional>
#include <optional>

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
    enum class Phase { Start, CheckBoard, Read, Done };
    void finish(const QString& text, link::Icon icon);
    void readFailed(const QString& address);
    void compare();

    link::RSComm& link_;
    const ProgramSet& set_;
    link::UserAnswers& answers_;
    link::Clock& clock_;
    int boardNumber_;
    std::function<bool(int)> checkTargetBoard_;

    Phase phase_ = Phase::Start;
    ImageCheck image_;
    std::optional<link::ConfirmedReads> reads_;
    std::vector<int> addresses_; // of every data byte, in the image's order
    std::vector<int> expected_;
    int shownRecord_ = -1; // the record CurrentProgramAdd names
    int differences_ = 0;
    int firstAddress_ = -1;
    int firstBoard_ = 0;
    int firstFile_ = 0;
    bool completed_ = false;
    QString report_;
    TransferProgress progress_;
};

} // namespace talvern::targetboard
