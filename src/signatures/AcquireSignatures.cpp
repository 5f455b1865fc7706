#include "AcquireSignatures.h"

#include "VerifiedTransfer.h"

#include <algorithm>

namespace talvern::signatures {

namespace {

constexpr int kTries = 3; // a failed transaction is tried again at most twice more

const char* const kGainAddresses[4] = {"W1126", "B1128", "W1120", "W1122"};
constexpr int kSampleBases[4] = {3000, 3500, 4000, 4500};

// The numeric value of a value text; an empty or non-numeric text counts as 0.
int NumberOf(const QString& text) {
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    return ok ? static_cast<int>(v) : 0;
}

} // namespace

const QString SignatureAcquisition::kCaptureAddress = QStringLiteral("B2999");

float Rounded(double value, int decimals) {
    return QString::number(value, 'f', decimals).toFloat();
}

float SamplePosition(int i, int samples) {
    // A single sample sits at 0°: there is no second one to spread the stroke over.
    if (samples < 2) return 0.0f;
    return Rounded(360.0 / (samples - 1) * i, 1);
}

float CurrentFromRaw(int raw) {
    return Rounded(25.0 / 255.0 * raw, 2);
}

float ErrorFromRaw(int raw) {
    return Rounded(raw * static_cast<double>(kDegreesPerCount), 1);
}

float ProfileFromRaw(int raw) {
    return Rounded(2.0 * raw * static_cast<double>(kDegreesPerCount), 1);
}

SignatureAcquisition::SignatureAcquisition(link::RSComm& link, SignatureRecord& record,
                                           link::UserAnswers& answers)
    : link_(link), record_(record), before_(record), answers_(answers) {}

void SignatureAcquisition::runToEnd() {
    while (step()) {}
}

// A sample is kept, so it is read as every stored value is: confirmed by a second read (the
// byte protocol has no checksum), a failed read tried again with a fresh handshake.
SignatureAcquisition::Read SignatureAcquisition::readVerified(const QString& address, int* value) {
    if (link_.CommError) return Read::Failed;
    const std::optional<QString> text = link::ReadVerified(link_, address);
    if (!text) return Read::Failed;
    if (address == kCaptureAddress) statusText_ = *text;
    *value = NumberOf(*text);
    return Read::Value;
}

bool SignatureAcquisition::writeVerified(const QString& address, const QString& value) {
    if (link_.CommError) return false;
    link_.RSWrite(address, value);
    return !link_.CommError && !link_.LastTransactionFailed();
}

bool SignatureAcquisition::step() {
    if (phase_ == Phase::Done) return false;
    if (CancelRequested) {
        finishCancelled();
        return false;
    }
    CpfdData& d = record_.CpfdData;
    switch (phase_) {
        case Phase::Trigger:
            if (!writeVerified(kCaptureAddress, QStringLiteral("1"))) {
                if (!link_.CommError && ++attempts_ < kTries) {
                    link_.ResetHandshake();
                    return true;
                }
                finishFailed(kCaptureAddress);
                return false;
            }
            attempts_ = 0;
            phase_ = Phase::Waiting;
            return true;

        case Phase::Waiting: {
            int status = 0;
            switch (readVerified(kCaptureAddress, &status)) {
                case Read::Failed:
                    finishFailed(kCaptureAddress);
                    return false;
                case Read::Value:
                    break;
            }
            status = static_cast<std::int16_t>(status);
            if (status == 1) return true; // still recording
            // The register is a byte, so a board never reports more than 255; the store keeps
            // within its 256 elements whatever it hears.
            d.Samples = static_cast<std::int16_t>(std::clamp(status, 0, kMaxSamples));
            maximum_ = d.Samples;
            progress_ = 0;
            index_ = 0;
            channel_ = 0;
            if (d.Samples == 0) {
                finish(Outcome::Acquired);
                return false;
            }
            phase_ = Phase::Gains;
            return true;
        }

        case Phase::Gains: {
            const QString address = QString::fromLatin1(kGainAddresses[index_]);
            int value = 0;
            switch (readVerified(address, &value)) {
                case Read::Failed:
                    finishFailed(address);
                    return false;
                case Read::Value:
                    break;
            }
            std::int16_t* gains[4] = {&d.PGainInt, &d.PGainFrac, &d.IGain, &d.DGain};
            *gains[index_] = static_cast<std::int16_t>(value);
            if (++index_ == 4) {
                index_ = 0;
                phase_ = Phase::Sampling;
            }
            return true;
        }

        case Phase::Sampling: {
            progress_ = index_;
            if (channel_ == 0) d.Pos[index_] = SamplePosition(index_, d.Samples);
            const QString address =
                QStringLiteral("B") + QString::number(kSampleBases[channel_] + index_);
            int raw = 0;
            switch (readVerified(address, &raw)) {
                case Read::Failed:
                    finishFailed(address);
                    return false;
                case Read::Value:
                    break;
            }
            switch (channel_) {
                case 0:
                    d.Curr[index_] = CurrentFromRaw(raw);
                    break;
                case 1:
                    d.Err[index_] = ErrorFromRaw(raw);
                    break;
                case 2:
                    d.Profile[index_] = ProfileFromRaw(raw);
                    break;
                default:
                    d.Desired[index_] = ProfileFromRaw(raw);
                    break;
            }
            if (++channel_ < 4) return true;
            channel_ = 0;
            if (++index_ < d.Count()) return true;
            progress_ = d.Count();
            finish(Outcome::Acquired);
            return false;
        }

        case Phase::Done:
            break;
    }
    return false;
}

// Nothing half read is kept, and a signature acquired before this run and not yet saved keeps
// counting as unsaved.
void SignatureAcquisition::restore() {
    record_ = before_;
}

void SignatureAcquisition::finishCancelled() {
    restore();
    // Abandons the recording; the board keeps nothing half done.
    if (!link_.CommError) link_.RSWrite(kCaptureAddress, QStringLiteral("0"));
    finish(Outcome::Cancelled);
}

void SignatureAcquisition::finishFailed(const QString& address) {
    restore();
    if (link_.CommError) {
        finish(Outcome::LinkFailed); // the link has told the user already
        return;
    }
    failure_ = QStringLiteral("Signature not acquired.\r\n\r\n"
                              "The board gave no reliable answer for %1 after %2 tries.")
                   .arg(address)
                   .arg(kTries);
    finish(Outcome::ReadFailed);
    answers_.ask(failure_, QStringLiteral("TALVERN"), link::Buttons::Ok, link::Icon::Critical);
}

void SignatureAcquisition::finish(Outcome outcome) {
    phase_ = Phase::Done;
    outcome_ = outcome;
    if (outcome != Outcome::Acquired) return;
    record_.CpfdDataNew = true;
    record_.CpfdFileTitle = QStringLiteral("untitled");
}

} // namespace talvern::signatures
