#include "ProgramUpload.h"

#include "MarkHex.h"
#include "ProgramImage.h"
#include "VerifiedTransfer.h"

#include <QSaveFile>
#include <algorithm>

namespace talvern::targetboard {

namespace {
const QString kCRLF = QStringLiteral("\r\n");
const QString kTitle = QStringLiteral("Program Upload");
constexpr int kIdentAddress = 61424;

bool WriteFileWhole(const QString& path, const QByteArray& contents, QString* error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size() ||
        !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}
} // namespace

ProgramUpload::ProgramUpload(link::RSComm& link, ProgramSet& set, link::UserAnswers& answers,
                             link::Clock& clock, int boardNumber,
                             std::function<bool(int)> checkTargetBoard)
    : link_(link), set_(set), answers_(answers), clock_(clock), boardNumber_(boardNumber),
      checkTargetBoard_(std::move(checkTargetBoard)) {}

void ProgramUpload::runToEnd() {
    while (step()) {}
}

void ProgramUpload::end() {
    InUploadMode = false;
    ReadingIdent = false;
    phase_ = Phase::Done;
}

// The program memory, as one block of confirmed reads.
void ProgramUpload::startMemory() {
    QStringList addresses;
    for (int i = 0; i < range_.bytes; ++i)
        addresses.append(ByteAddress(range_.first + i));
    reads_.emplace(link_, addresses);
    shownRecord_ = -1;
    phase_ = Phase::ReadMemory;
}

void ProgramUpload::readFailed(const QString& address) {
    // A link failure the user was already asked about ends the ident read silently.
    if (link_.CommError && phase_ == Phase::ReadIdent) {
        end();
        return;
    }
    QString text = QStringLiteral("Program Upload Not Complete!") + kCRLF + kCRLF;
    if (!link_.CommError)
        text += QStringLiteral("No valid reply from the board at ") + address +
                QStringLiteral(".") + kCRLF + kCRLF;
    answers_.ask(text + QStringLiteral("HEX file not created."), kTitle, link::Buttons::Ok,
                 link::Icon::Critical);
    link_.OnlineMode = false;
    end();
}

bool ProgramUpload::step() {
    if (phase_ == Phase::Done) return false;
    progress_.now = clock_.now();
    switch (phase_) {
        case Phase::Start:
            ReadingIdent = false;
            if (!InUploadMode) {
                end();
                break;
            }
            if (!link_.OnlineMode) {
                answers_.ask(QStringLiteral("Program is Currently OFFLINE.") + kCRLF + kCRLF +
                                 QStringLiteral("Switch to ONLINE MODE to Continue."),
                             kTitle, link::Buttons::Ok, link::Icon::Information);
                end();
                break;
            }
            phase_ = Phase::CheckBoard;
            break;
        case Phase::CheckBoard:
            if (boardNumber_ != 0 && checkTargetBoard_ && !checkTargetBoard_(boardNumber_)) {
                end();
                break;
            }
            phase_ = Phase::ReadIdent;
            {
                QStringList ident;
                for (int i = 0; i < 10; ++i)
                    ident.append(ByteAddress(kIdentAddress + i));
                reads_.emplace(link_, ident);
            }
            break;
        case Phase::ReadIdent: {
            ReadingIdent = true;
            if (reads_->step()) break;
            if (reads_->failed()) {
                readFailed(reads_->failedAddress());
                break;
            }
            for (int i = 0; i < 10; ++i)
                ident_[i] = static_cast<int>(reads_->value(i));
            ReadingIdent = false;
            phase_ = Phase::BoardCode;
            break;
        }
        case Phase::BoardCode: {
            const std::optional<QString> field = ReadFirstField(set_.ProgramFileName);
            if (!field || field->isEmpty()) {
                end();
                break;
            }
            set_.BoardCode = static_cast<std::int16_t>(field->at(0).unicode());
            set_.TargetBoardName = link::RSComm::TargetboardName(set_.BoardCode);
            range_ = ProgramMemoryRange(set_.BoardCode);
            progress_.total = range_.bytes;
            memory_.clear();
            memory_.reserve(range_.bytes);
            if (set_.BoardCode >= 56 && set_.BoardCode <= 65) {
                reads_.emplace(link_, QStringList{QStringLiteral("B8190"), QStringLiteral("B8189"),
                                                  QStringLiteral("B8188")});
                phase_ = Phase::ReadConfig;
                break;
            }
            startMemory();
            break;
        }
        case Phase::ReadConfig: {
            if (reads_->step()) break;
            if (reads_->failed()) {
                readFailed(reads_->failedAddress());
                break;
            }
            for (int i = 0; i < 3; ++i)
                config_[i] = static_cast<int>(reads_->value(i));
            // A value the file cannot hold would come back as another on the next dump.
            QString why;
            const auto digits = ConfigurationDigits(config_[0], config_[1], config_[2], &why);
            if (!digits) {
                answers_.ask(QStringLiteral("Program Upload Not Complete!") + kCRLF + kCRLF + why +
                                 kCRLF + kCRLF + QStringLiteral("No file was written."),
                             kTitle, link::Buttons::Ok, link::Icon::Critical);
                end();
                break;
            }
            config_ = *digits;
            startMemory();
            break;
        }
        case Phase::ReadMemory: {
            if (progress_.started < 0) progress_.started = clock_.now();
            if (reads_->step()) {
                // Two readings a byte at the least: the progress counts bytes by them.
                progress_.done = static_cast<int>(
                    std::min(reads_->readingsTaken() / 2, static_cast<long>(range_.bytes)));
                // The record being read, in either pass.
                const int record = reads_->lastRead() / 16;
                if (record >= 0 && record != shownRecord_) {
                    shownRecord_ = record;
                    CurrentProgramAdd = QString::number(range_.first + record * 16, 16).toUpper() +
                                        QStringLiteral("H");
                }
                progress_.now = clock_.now();
                break;
            }
            if (reads_->failed()) {
                readFailed(reads_->failedAddress());
                break;
            }
            for (int i = 0; i < range_.bytes; ++i)
                memory_.append(static_cast<char>(reads_->value(i) & 0xFF));
            progress_.done = range_.bytes;
            progress_.now = clock_.now();
            phase_ = Phase::Write;
            break;
        }
        case Phase::Write: {
            QString ident;
            for (int i = 0; i < 8; ++i)
                ident += QChar(ident_[i]);
            QString error;
            bool ok = WriteFileWhole(
                set_.RevisionFileName,
                (MakeRevisionLine(ident, ident_[8], ident_[9]) + kCRLF).toLatin1(), &error);
            if (ok && set_.BoardCode >= 56 && set_.BoardCode <= 65) {
                ok = WriteFileWhole(
                    set_.ConfigurationFileName,
                    (MakeConfigurationLine(set_.BoardCode, config_) + kCRLF).toLatin1(), &error);
            }
            if (ok)
                ok = WriteFileWhole(set_.ImageFileName, WriteImage(range_.first, memory_), &error);
            if (!ok) {
                answers_.ask(QStringLiteral("Error Number = 75") + kCRLF + kCRLF + error,
                             QStringLiteral("RSComm-Upload Program"), link::Buttons::Ok,
                             link::Icon::Information);
                end();
                break;
            }
            answers_.ask(QStringLiteral("Program Upload Complete!"), kTitle, link::Buttons::Ok,
                         link::Icon::Information);
            link_.OnlineMode = true;
            succeeded_ = true;
            end();
            break;
        }
        case Phase::Done:
            break;
    }
    return phase_ != Phase::Done;
}

} // namespace talvern::targetboard
