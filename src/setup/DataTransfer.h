#pragma once
// Data upload and download between the set-up record and one board, as a step machine: each
// step() runs at most one link operation, so that the caller can serve Cancel, repaint and run
// the background poll between them. The processing window drives it from a timer; the command
// line simply calls step() until it returns false.

#include "Platform.h"
#include "RSComm.h"
#include "SetupData.h"

#include <QString>
#include <array>
#include <functional>

namespace talvern::setup {

// Transfer modes (gProcessMode).
constexpr int kUploadK2510 = 0;
constexpr int kUploadR7520 = 1;
constexpr int kDownloadK2510 = 10;
constexpr int kDownloadR7520 = 11;

struct TransferMode {
    int mode;
    int board; // as CheckTargetBoard takes it
    int first;
    int last;
    bool upload;
    bool pls; // the K2510's PLS part follows the parameters
    int progressMaximum;
    QString label;
};

// The mode's row, or nullptr for a number that is no mode.
const TransferMode* FindTransferMode(int mode);

// The configuration words of the record in the PLS download array, and back from the upload.
std::array<std::int16_t, 24> PLSDownloadArray(const SetupData& setup);
void StorePLSUpload(const std::array<std::int16_t, 19>& words, SetupData& setup);

class DataTransfer {
public:
    // checkTargetBoard(board) confirms the board on the cable (prompting the user) and gives
    // false when the user gave up.
    DataTransfer(int mode, link::RSComm& link, SetupData& setup, link::UserAnswers& answers,
                 link::EventPump& events, std::function<bool(int)> checkTargetBoard);

    // Runs the next step; false once the transfer has ended (its outcome reported).
    bool step();
    // Runs every remaining step.
    void runToEnd();

    // Cancel stops the parameter loop quietly; the K2510 upload still reads the whole PLS, and
    // the K2510 download then writes no PLS data. Once a PLS part has begun it runs to its end,
    // so that the record or the PLS is never left with only some of the channels.
    void cancel() { cancel_ = true; }

    bool finished() const { return phase_ == Phase::Done; }
    // Ended by a link failure or a refused board or PLS command ("Process Error" was shown).
    bool failed() const { return failed_; }
    bool cancelled() const { return cancelledAny_; }
    // The PLS download ran (the PLS may have changed).
    bool plsDownloaded() const { return plsDownloaded_; }
    int progress() const { return progress_; }
    int maximum() const { return mode_.progressMaximum; }
    QString label() const { return label_; }

    static const QString kProcessErrorText;
    static const QString kProcessErrorTitle;

private:
    enum class Phase {
        CheckBoard,
        Parameter,
        PlsUploadStart,
        PlsConfigUpload,
        PlsScale,
        PlsOffset,
        PlsRecall,
        PlsDownloadStart,
        PlsConfigDownload,
        PlsChannel,
        Report,
        Done
    };
    void endParameters();
    void endPlsDownload();

    TransferMode mode_;
    link::RSComm& link_;
    SetupData& setup_;
    link::UserAnswers& answers_;
    link::EventPump& events_;
    std::function<bool(int)> checkTargetBoard_;

    Phase phase_ = Phase::CheckBoard;
    int index_ = 0;
    int channel_ = 0;
    int pass_ = 0;
    int progress_ = 0;
    QString label_;
    bool cancel_ = false;
    bool cancelledAny_ = false;
    bool error_ = false;
    bool failed_ = false;
    bool plsDownloaded_ = false;
};

} // namespace talvern::setup
