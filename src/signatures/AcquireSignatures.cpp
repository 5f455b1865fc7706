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
            // Polled with single reads; only the count the board ends with is confirmed.
            std::optional<QString> status = link::ReadOnce(link_, kCaptureAddress);
            if (status && NumberOf(*status) != 1 && !link_.CommError)
                status = link::ReadVerified(link_, kCaptureAddress);
            if (!status) {
                if (!link_.CommError && ++attempts_ < kTries) return true;
                finishFailed(kCaptureAddress);
                return false;
            }
            attempts_ = 0;
            statusText_ = *status;
            const int count = static_cast<std::int16_t>(NumberOf(*status));
            if (count == 1) return true; // still recording
            // The register is a byte, so a board never reports more than 255; the store keeps
            // within its 256 elements whatever it hears.
            d.Samples = static_cast<std::int16_t>(std::clamp(count, 0, kMaxSamples));
            maximum_ = d.Samples;
            progress_ = 0;
            if (d.Samples == 0) {
                finish(Outcome::Acquired);
                return false;
            }
            QStringList addresses;
            for (const char* gain : kGainAddresses)
                addresses.append(QString::fromLatin1(gain));
            for (int i = 0; i < d.Count(); ++i)
                for (int base : kSampleBases)
                    addresses.append(QStringLiteral("B") + QString::number(base + i));
            reads_.emplace(link_, addresses);
            phase_ = Phase::Sampling;
            return true;
        }

        case Phase::Sampling:
            if (reads_->step()) {
                progress_ = static_cast<int>(reads_->readingsTaken() * d.Count() /
                                             reads_->readingsNeeded());
                progress_ = std::min(progress_, d.Count() - 1);
                return true;
            }
            if (reads_->failed()) {
                finishFailed(reads_->failedAddress());
                return false;
            }
            store();
            progress_ = d.Count();
            finish(Outcome::Acquired);
            return false;

        case Phase::Done:
            break;
    }
    return false;
}

void SignatureAcquisition::store() {
    CpfdData& d = record_.CpfdData;
    std::int16_t* gains[4] = {&d.PGainInt, &d.PGainFrac, &d.IGain, &d.DGain};
    for (int g = 0; g < 4; ++g)
        *gains[g] = static_cast<std::int16_t>(reads_->value(g));
    for (int i = 0; i < d.Count(); ++i) {
        auto raw = [&](int channel) {
            return static_cast<int>(reads_->value(4 + 4 * i + channel));
        };
        d.Pos[i] = SamplePosition(i, d.Samples);
        d.Curr[i] = CurrentFromRaw(raw(0));
        d.Err[i] = ErrorFromRaw(raw(1));
        d.Profile[i] = ProfileFromRaw(raw(2));
        d.Desired[i] = ProfileFromRaw(raw(3));
    }
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
