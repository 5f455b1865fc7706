#pragma once
// Data upload and download between the set-up record and one board, as a step machine: each
// step() runs one link operation (one verified read or write), so that the caller can serve
// Cancel, repaint and run the background poll between them. The processing window drives it from
// a timer; the command line simply calls step() until it returns false.
//
// The board addresses come from the program's own parameter table, never from the record (a
// file's addresses are kept as data). Every value stored is one the board sent, confirmed: an
// upload reads the parameters in one pass (each after its board check) and confirms them with a
// second (link::ConfirmedReads), into a copy of the record, which replaces the record only when
// the transfer did not fail; a failed transfer leaves the record as it was and says which
// address or PLS item failed. A download reads every value it wrote back at the end, the same
// way, so that a value a later fault on the wire overwrote is written again or reported.

#include "ConfirmedReads.h"
#include "Platform.h"
#include "RSComm.h"
#include "SetupData.h"

#include <QString>
#include <array>
#include <functional>
#include <optional>

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
// Why the record's PLS data cannot be sent: a scale of 0 or less is a failed read kept in a file
// (-9999), which the PLS would take as a huge scale. Empty when it can be sent.
QString PLSScaleRefusal(const SetupData& setup);

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
    // What failed, naming the address or PLS item ("Unable to read W1020 from the board."); empty
    // when the link or the board check failed, which have told the user themselves.
    QString failureReason() const { return reason_; }
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
        Confirm,
        PlsUploadStart,
        PlsConfigUpload,
        PlsScale,
        PlsOffset,
        PlsRecall,
        PlsDownloadStart,
        PlsConfigDownload,
        PlsChannel,
        ReadBack,
        ReadBackCheck,
        Report,
        Done
    };
    void endParameters();
    void endPlsDownload();
    void fail(const QString& reason);
    void startReadBack();
    QStringList rowAddresses(int first, int end) const;
    std::optional<std::array<std::int16_t, 2>> recallPoints(int channel);

    TransferMode mode_;
    link::RSComm& link_;
    SetupData& setup_;
    SetupData working_;                         // what an upload has read so far
    std::optional<link::ConfirmedReads> reads_; // an upload's parameters, a download's read-back
    link::UserAnswers& answers_;
    link::EventPump& events_;
    std::function<bool(int)> checkTargetBoard_;

    Phase phase_ = Phase::CheckBoard;
    int index_ = 0;
    int channel_ = 0;
    int writtenEnd_ = 0; // one past the last row a download wrote
    int progress_ = 0;
    QString label_;
    bool cancel_ = false;
    bool cancelledAny_ = false;
    bool error_ = false;
    QString reason_;
    bool failed_ = false;
    bool plsDownloaded_ = false;
};

} // namespace talvern::setup
