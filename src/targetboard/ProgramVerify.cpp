#include "ProgramVerify.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

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
        case Phase::CheckBoard: {
            if (boardNumber_ != 0 && checkTargetBoard_ && !checkTargetBoard_(boardNumber_)) {
                phase_ = Phase::Done;
                break;
            }
            QStringList texts;
            for (const ImageRecord& record : image_.records)
                for (int k = 0; k < record.data.size(); ++k) {
                    addresses_.push_back(record.address + k);
                    expected_.push_back(static_cast<std::uint8_t>(record.data.at(k)));
                    texts.append(ByteAddress((record.address + k) & 0xFFFF));
                }
            reads_.emplace(link_, texts);
            phase_ = Phase::Read;
            break;
        }
        case Phase::Read: {
            if (progress_.started < 0) progress_.started = clock_.now();
            if (reads_->step()) {
                const long taken = reads_->readingsTaken();
                progress_.done = static_cast<int>(
                    std::min<long>(taken / 2, static_cast<long>(addresses_.size())));
                // The record being read, in either pass.
                const int record = addresses_[reads_->lastRead()] & ~0xF;
                if (record != shownRecord_) {
                    shownRecord_ = record;
                    CurrentProgramAdd = AddressText(record);
                }
                progress_.now = clock_.now();
                break;
            }
            if (reads_->failed()) {
                readFailed(reads_->failedAddress());
                break;
            }
            progress_.done = static_cast<int>(addresses_.size());
            progress_.now = clock_.now();
            compare();
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

void ProgramVerify::compare() {
    for (std::size_t i = 0; i < addresses_.size(); ++i) {
        const int board = static_cast<int>(reads_->value(static_cast<int>(i)));
        if (board != expected_[i] && differences_++ == 0) {
            firstAddress_ = addresses_[i];
            firstBoard_ = board;
            firstFile_ = expected_[i];
        }
    }
    completed_ = true;
    const QString name = QFileInfo(set_.ImageFileName).fileName();
    if (differences_ == 0)
        finish(QStringLiteral("Program in board matches %1 (%2 bytes).")
                   .arg(name)
                   .arg(progress_.total),
               link::Icon::Information);
    else
        finish(QStringLiteral("Program in board differs from %1:").arg(name) + kCRLF + kCRLF +
                   QStringLiteral("%1 of %2 bytes differ; first at %3: board %4, file %5")
                       .arg(differences_)
                       .arg(progress_.total)
                       .arg(AddressText(firstAddress_), Hex2(firstBoard_), Hex2(firstFile_)),
               link::Icon::Exclamation);
}

} // namespace talvern::targetboard
