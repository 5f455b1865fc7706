#include "ProgramVerify.h"

#include "VerifiedTransfer.h"

#include <QFile>
#include <QFileInfo>

namespace talvern::targetboard {

namespace {
const QString kCRLF = QStringLiteral("\r\n");
const QString kTitle = QStringLiteral("Program Verify");

QString Hex2(int value) {
    return QStringLiteral("%1").arg(value & 0xFF, 2, 16, QLatin1Char('0')).toUpper();
}
} // namespace

ProgramVerify::ProgramVerify(link::RSComm& link, const ProgramSet& set, link::UserAnswers& answers,
                             link::Clock& clock, int boardNumber,
                             std::function<bool(int)> checkTargetBoard)
    : link_(link), set_(set), answers_(answers), clock_(clock), boardNumber_(boardNumber),
      checkTargetBoard_(std::move(checkTargetBoard)) {}

void ProgramVerify::runToEnd() {
    while (step()) {}
}

void ProgramVerify::finish(const QString& text, link::Icon icon) {
    report_ = text;
    answers_.ask(text, kTitle, link::Buttons::Ok, icon);
    phase_ = Phase::Done;
}

bool ProgramVerify::step() {
    if (phase_ == Phase::Done) return false;
    progress_.now = clock_.now();
    switch (phase_) {
        case Phase::Start: {
            if (!link_.OnlineMode) {
                finish(QStringLiteral("Program is Currently OFFLINE.") + kCRLF + kCRLF +
                           QStringLiteral("Switch to ONLINE MODE to Continue."),
                       link::Icon::Information);
                break;
            }
            QFile file(set_.ImageFileName);
            if (!file.open(QIODevice::ReadOnly)) {
                finish(set_.ImageFileName + QStringLiteral(" File Does Not Exist."),
                       link::Icon::Information);
                break;
            }
            image_ = CheckImageFile(set_.ImageFileName, set_.BoardCode);
            if (!image_.ok) {
                finish(QStringLiteral("Currently Selected Program is Invalid.") + kCRLF + kCRLF +
                           image_.reason,
                       link::Icon::Exclamation);
                break;
            }
            progress_.total = image_.dataBytes();
            phase_ = Phase::CheckBoard;
            break;
        }
        case Phase::CheckBoard:
            if (boardNumber_ != 0 && checkTargetBoard_ && !checkTargetBoard_(boardNumber_)) {
                phase_ = Phase::Done;
                break;
            }
            phase_ = Phase::Compare;
            break;
        case Phase::Compare: {
            if (record_ >= image_.records.size()) {
                completed_ = true;
                const QString name = QFileInfo(set_.ImageFileName).fileName();
                if (differences_ == 0)
                    finish(QStringLiteral("Program in board matches %1 (%2 bytes).")
                               .arg(name)
                               .arg(progress_.total),
                           link::Icon::Information);
                else
                    finish(
                        QStringLiteral("Program in board differs from %1:").arg(name) + kCRLF +
                            kCRLF +
                            QStringLiteral("%1 of %2 bytes differ; first at %3: board %4, file %5")
                                .arg(differences_)
                                .arg(progress_.total)
                                .arg(AddressText(firstAddress_), Hex2(firstBoard_),
                                     Hex2(firstFile_)),
                        link::Icon::Exclamation);
                break;
            }
            const ImageRecord& record = image_.records[record_];
            const int address = record.address + offset_;
            if (offset_ == 0) CurrentProgramAdd = AddressText(record.address);
            if (progress_.started < 0) progress_.started = clock_.now();
            const QString text = ByteAddress(address & 0xFFFF);
            const int expected = static_cast<std::uint8_t>(record.data.at(offset_));
            // A byte read once as the file has it is taken as it is: a disturbance would have to
            // turn the board's byte into exactly the file's. Any other reading (a failed read, or
            // another value, which may be a disturbed reply) is confirmed as the verified reads
            // confirm a value, in a step of its own, before it counts as a difference.
            if (!confirm_) {
                const QString once = link_.RSRead(text);
                if (!link_.LastTransactionFailed() && once.toInt() == expected) {
                    advance();
                } else {
                    confirm_ = !link_.CommError;
                    if (link_.CommError) readFailed(text);
                }
                break;
            }
            confirm_ = false;
            link_.ResetHandshake();
            const std::optional<QString> value = link::ReadVerified(link_, text);
            if (!value) {
                readFailed(text);
                break;
            }
            if (value->toInt() != expected && differences_++ == 0) {
                firstAddress_ = address;
                firstBoard_ = value->toInt();
                firstFile_ = expected;
            }
            advance();
            break;
        }
        case Phase::Done:
            break;
    }
    return phase_ != Phase::Done;
}

void ProgramVerify::readFailed(const QString& address) {
    // A link failure the user was already asked about needs no address.
    QString text = QStringLiteral("Program Verify Not Complete!");
    if (!link_.CommError)
        text += kCRLF + kCRLF + QStringLiteral("No valid reply from the board at ") + address +
                QStringLiteral(".");
    finish(text, link::Icon::Critical);
    link_.OnlineMode = false;
}

void ProgramVerify::advance() {
    const ImageRecord& record = image_.records[record_];
    ++progress_.done;
    progress_.now = clock_.now();
    if (++offset_ >= record.data.size()) {
        offset_ = 0;
        ++record_;
    }
}

} // namespace talvern::targetboard
