#pragma once
// Capturing a servo signature from the motion board, as a step machine: each step() runs at
// most one link transaction, so that the caller serves Cancel, repaints and runs the background
// poll between them. The acquisition window drives it from its refresh cycle; the command line
// calls step() until it returns false.
//
// The board is told "1" on B2999 and records one stroke; it keeps 1 there while recording and
// then replaces it by the number of samples. The gains in force and the four raw values of
// every sample are read, scaled into amps and degrees and stored as the table shows them.
//
// While the board records, the status is polled with single reads; the count it ends with is
// confirmed before it is believed. The gains and samples are then read as one block in two
// passes (link::ConfirmedReads): a value is stored only when two readings agree, and a failed
// read is tried again, at most twice more; after that, or after a link failure, the record is
// left as it was before the run (a failure while waiting for the board leaves no samples), and
// the user is told which address could not be read.
//
// A run that does not end in a signature (Cancel, a failed read, a link failure) gives back the
// record exactly as it found it: the signature, the copy last saved (so a signature not yet
// saved still counts as unsaved), the table's refresh flag and the file title.

#include "ConfirmedReads.h"
#include "CpfdData.h"
#include "Platform.h"
#include "RSComm.h"

#include <QString>
#include <optional>

namespace talvern::signatures {

// Degrees per encoder count, as the board scales its angles (360 / 4096).
inline constexpr float kDegreesPerCount = 360.0f / 4096.0f;

// The scaled values, rounded as the table shows them: one decimal for angles, two for amps.
float SamplePosition(int i, int samples);
float CurrentFromRaw(int raw);
float ErrorFromRaw(int raw);
float ProfileFromRaw(int raw);
// value formatted with the given number of decimals and read back.
float Rounded(double value, int decimals);

class SignatureAcquisition {
public:
    enum class Phase { Trigger, Waiting, Sampling, Done };
    enum class Outcome { Running, Acquired, Cancelled, LinkFailed, ReadFailed };

    // Keeps the present record as what a cancelled or failed run returns to.
    SignatureAcquisition(link::RSComm& link, SignatureRecord& record, link::UserAnswers& answers);

    // Runs the next step; false once the acquisition has ended.
    bool step();
    void runToEnd();

    // Cancel: noticed before the next step; the record returns to what it was and the board is
    // told "0" on B2999.
    void cancel() { CancelRequested = true; }

    Phase phase() const { return phase_; }
    Outcome outcome() const { return outcome_; }
    bool finished() const { return phase_ == Phase::Done; }
    int progress() const { return progress_; }
    int maximum() const { return maximum_; }
    // The last value read from the status register.
    const QString& statusText() const { return statusText_; }
    // Why the run failed, when a read did not succeed ("" otherwise).
    const QString& failureMessage() const { return failure_; }

    bool CancelRequested = false;

    static const QString kCaptureAddress;

private:
    bool writeVerified(const QString& address, const QString& value);
    void store();
    void finishCancelled();
    void finishFailed(const QString& address);
    void restore();
    void finish(Outcome outcome);

    link::RSComm& link_;
    SignatureRecord& record_;
    const SignatureRecord before_;
    link::UserAnswers& answers_;
    Phase phase_ = Phase::Trigger;
    Outcome outcome_ = Outcome::Running;
    int attempts_ = 0;                          // failed tries of the present transaction
    std::optional<link::ConfirmedReads> reads_; // the gains, then four values a sample
    int progress_ = 0;
    int maximum_ = 0;
    QString statusText_;
    QString failure_;
};

} // namespace talvern::signatures
