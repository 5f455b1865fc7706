#include "ProgramDump.h"

#include "VerifiedTransfer.h"

#include <QFile>
#include <QFileInfo>

namespace talvern::targetboard {

namespace {
const QString kCRLF = QStringLiteral("\r\n");
const QString kTab = QStringLiteral("\t");
const QString kTitle = QStringLiteral("Program Download");

QString Hex2(int value) {
    return QStringLiteral("%1").arg(value & 0xFF, 2, 16, QLatin1Char('0')).toUpper();
}
} // namespace

const QString kLoadAgain =
    QStringLiteral("The board holds no valid program now: it must be loaded again.");

ImageRecord RecordAsSent(const ImageRecord& record) {
    ImageRecord sent = record;
    for (int i = 0; i < sent.data.size(); ++i) {
        const int address = sent.address + i;
        if (address >= kIdentBlockAddress && address < kIdentBlockAddress + kIdentBytes)
            sent.data[i] = 0;
    }
    return sent;
}

std::array<int, 10> IdentBlock(const QString& ident, int checksum, int revision) {
    std::array<int, 10> block{};
    const QString padded = ident.trimmed() + QString(8, QChar(0));
    for (int i = 0; i < 8; ++i)
        block[i] = padded.at(i).unicode() & 0xFF;
    block[8] = checksum;
    block[9] = revision;
    return block;
}

QString DumpConfirmationTitle(const ProgramSet& set) {
    return QStringLiteral("Program Download - [") + set.ProgramIdent + QStringLiteral("]");
}

QString DumpConfirmation(const ProgramSet& set, const std::array<int, 10>& board) {
    QString boardIdent;
    for (int i = 0; i < 8; ++i)
        if (board[i] > 31) boardIdent += QChar(board[i]);
    if (!IdentNamesProgram(board[0])) boardIdent = kNoValidProgram;
    return QStringLiteral("Program to be loaded into module (on disk):") + kCRLF +
           QStringLiteral("  Program Ident: ") + kTab + kTab + set.ProgramIdent + kCRLF +
           QStringLiteral("  Program Revision: ") + kTab + kTab + set.ProgramRevision + kCRLF +
           QStringLiteral("  Program Checksum: ") + kTab + set.ProgramChecksum + kCRLF +
           QStringLiteral("  Target Board: ") + kTab + kTab + set.TargetBoardName + kCRLF + kCRLF +
           QStringLiteral("Program currently loaded in module:") + kCRLF +
           QStringLiteral("  Program Ident: ") + kTab + kTab + boardIdent + kCRLF +
           QStringLiteral("  Program Revision: ") + kTab + kTab + QString::number(board[9]) +
           kCRLF + QStringLiteral("  Program Checksum: ") + kTab + QString::number(board[8]) +
           kCRLF + kCRLF + QStringLiteral("Entire program file will be dumped to the PLC.") +
           kCRLF + QStringLiteral("All outputs are off while program dump occurrs.") + kCRLF +
           kCRLF + QStringLiteral("Do You Wish to Continue?") + kCRLF;
}

ProgramDump::ProgramDump(link::RSComm& link, ProgramSet& set, link::UserAnswers& answers,
                         link::Clock& clock, int boardNumber,
                         std::function<bool(int)> checkTargetBoard)
    : link_(link), set_(set), answers_(answers), clock_(clock), boardNumber_(boardNumber),
      checkTargetBoard_(std::move(checkTargetBoard)) {}

void ProgramDump::runToEnd() {
    while (step())
        clock_.sleepUntil(resumeAt_);
}

bool ProgramDump::message(const QString& text, link::Icon icon, const QString& title) {
    answers_.ask(text, title, link::Buttons::Ok, icon);
    return false;
}

void ProgramDump::end() {
    InProgramMode = false;
    WritingIdent = false;
    phase_ = Phase::Done;
}

void ProgramDump::wait(double seconds) {
    resumeAt_ = clock_.now() + seconds;
}

void ProgramDump::halted(const QString& text, link::Icon icon) {
    message(text + kCRLF + kCRLF + kLoadAgain, icon, kTitle);
}

bool ProgramDump::step() {
    if (phase_ == Phase::Done) return false;
    if (clock_.now() < resumeAt_) return true;
    progress_.now = clock_.now();
    switch (phase_) {
        case Phase::Start: {
            InProgramMode = true;
            WritingIdent = false;
            CurrentProgramAdd = QStringLiteral(" ");
            if (!link_.OnlineMode) {
                message(QStringLiteral("Program is Currently OFFLINE.") + kCRLF + kCRLF +
                            QStringLiteral("Switch to ONLINE MODE to Continue."),
                        link::Icon::Information, kTitle);
                end();
                break;
            }
            if (!set_.ValidProgram) {
                message(QStringLiteral("Currently Selected Program is Invalid.") + kCRLF + kCRLF +
                            QStringLiteral("Program Download Halted!"),
                        link::Icon::Exclamation, kTitle);
                end();
                break;
            }
            // The whole image is read and checked before the first byte goes to the board.
            const QFileInfo file(set_.ImageFileName);
            if (!file.isFile()) {
                message(set_.ImageFileName + QStringLiteral(" File Does Not Exist.") + kCRLF +
                            kCRLF + QStringLiteral("Program Downloaded Halted"),
                        link::Icon::Information, kTitle);
                end();
                break;
            }
            if (file.size() == 0) {
                message(set_.ImageFileName + QStringLiteral(" File is Not Valid") + kCRLF + kCRLF +
                            QStringLiteral("Program Downloaded Halted"),
                        link::Icon::Exclamation, kTitle);
                end();
                break;
            }
            image_ = CheckImageFile(set_.ImageFileName, set_.BoardCode);
            if (!image_.ok) {
                message(QStringLiteral("Currently Selected Program is Invalid.") + kCRLF + kCRLF +
                            image_.reason + kCRLF + kCRLF +
                            QStringLiteral("Program Download Halted!"),
                        link::Icon::Exclamation, QStringLiteral("Program Dump"));
                set_.ValidProgram = false;
                end();
                break;
            }
            progress_.total = image_.dataBytes();
            phase_ = Phase::CheckBoard;
            break;
        }
        case Phase::CheckBoard:
            if (boardNumber_ != 0 && checkTargetBoard_ && !checkTargetBoard_(boardNumber_)) {
                end();
                break;
            }
            phase_ = Phase::MemoryMap;
            break;
        case Phase::MemoryMap: {
            const std::vector<ImageRecord> outside = RecordsOutside(image_.records, set_.BoardCode);
            phase_ = Phase::ReadIdent;
            index_ = 0;
            if (outside.empty()) break;
            const MemoryRange range = ProgramMemoryRange(set_.BoardCode);
            QString text = QStringLiteral("%1 of the %2 records of %3 lie outside the program "
                                          "memory of the %4 (%5 to %6):")
                               .arg(outside.size())
                               .arg(image_.records.size())
                               .arg(QFileInfo(set_.ImageFileName).fileName(), set_.TargetBoardName,
                                    AddressText(range.first), AddressText(range.last()));
            for (std::size_t i = 0; i < outside.size() && i < 5; ++i)
                text += kCRLF + QStringLiteral("  line %1 at %2 (%3 bytes)")
                                    .arg(outside[i].line)
                                    .arg(AddressText(outside[i].address))
                                    .arg(outside[i].data.size());
            if (outside.size() > 5) text += kCRLF + QStringLiteral("  ...");
            text += kCRLF + kCRLF + QStringLiteral("Do you wish to continue?");
            if (answers_.ask(text, kTitle, link::Buttons::YesNo, link::Icon::Question) !=
                link::Answer::Yes)
                end();
            break;
        }
        case Phase::ReadIdent: {
            const QString address = ByteAddress(kIdentBlockAddress + index_);
            const std::optional<QString> value = link::ReadVerified(link_, address);
            if (!value) {
                if (!link_.CommError)
                    message(QStringLiteral("Could Not Read Program Ident from PLC at ") + address +
                                QStringLiteral("."),
                            link::Icon::Critical, kTitle);
                end();
                break;
            }
            boardIdent_[index_] = value->toInt();
            if (++index_ == 10) phase_ = Phase::Confirm;
            break;
        }
        case Phase::Confirm:
            if (answers_.ask(DumpConfirmation(set_, boardIdent_), DumpConfirmationTitle(set_),
                             link::Buttons::YesNoCancel,
                             link::Icon::Question) != link::Answer::Yes) {
                end();
                break;
            }
            // No other screen polls the board while it is being programmed.
            link_.OnlineMode = false;
            phase_ = Phase::Mark;
            index_ = 0;
            break;
        case Phase::Mark: {
            // From here until its own ident is written, the board holds no program an ident
            // could name: the block says so before the first record goes in.
            if (index_ == 0) markStarted_ = clock_.now();
            const QString address = ByteAddress(kIdentBlockAddress + index_);
            if (!link::WriteVerified(link_, address, QStringLiteral("0"))) {
                if (!link_.CommError)
                    message(QStringLiteral("The board did not take the value written to ") +
                                address + QStringLiteral("."),
                            link::Icon::Critical, kTitle);
                failed_ = true;
                phase_ = Phase::Report;
                break;
            }
            if (++index_ == kIdentBytes) {
                identWriteTime_ = (clock_.now() - markStarted_) / kIdentBytes;
                progress_.tailSeconds = 2.0 + kIdentBytes * identWriteTime_;
                phase_ = Phase::Prepare;
                index_ = 0;
            }
            break;
        }
        case Phase::Prepare: {
            const QString address = index_ == 0 ? QStringLiteral("B8181") : QStringLiteral("B8176");
            if (!link::WriteVerified(link_, address,
                                     index_ == 0 ? QStringLiteral("86") : QStringLiteral("0"))) {
                if (!link_.CommError)
                    message(QStringLiteral("The board did not take the value written to ") +
                                address + QStringLiteral("."),
                            link::Icon::Critical, kTitle);
                failed_ = true;
                phase_ = Phase::Report;
                break;
            }
            if (++index_ == 2) {
                phase_ = Phase::Attention;
                wait(0.1);
            }
            break;
        }
        case Phase::Attention:
            link_.SendAttention();
            if (link_.CommError) {
                phase_ = Phase::Report;
                break;
            }
            index_ = 0;
            phase_ = ProgramClassOf(set_.BoardCode) == ProgramClass::RevisionAndConfiguration
                         ? Phase::Configure
                         : Phase::EnterMode;
            break;
        case Phase::Configure: {
            static const char* const kAddresses[3] = {"B8188", "B8189", "B8190"};
            const std::array<int, 3> values = ConfigurationValues(set_.ConfigDigits);
            const int value = values[2 - index_];
            if (!link::WriteVerified(link_, QString::fromLatin1(kAddresses[index_]),
                                     QString::number(value))) {
                message(QStringLiteral("Could Not Set Program Configuration in PLC!"),
                        link::Icon::Critical, QStringLiteral("Program Config Download"));
                failed_ = true;
                phase_ = Phase::Settle;
                break;
            }
            if (++index_ == 3) phase_ = Phase::ConfigAttention;
            break;
        }
        case Phase::ConfigAttention:
            link_.SendAttention();
            phase_ = link_.CommError ? Phase::Settle : Phase::EnterMode;
            break;
        case Phase::EnterMode:
            link_.EnterProgramMode();
            index_ = 0;
            phase_ = link_.CommError          ? Phase::Settle
                     : image_.records.empty() ? Phase::Leave
                                              : Phase::Records;
            break;
        case Phase::Records: {
            const ImageRecord record =
                RecordAsSent(image_.records[static_cast<std::size_t>(index_)]);
            CurrentProgramAdd = AddressText(record.address);
            if (progress_.started < 0) progress_.started = clock_.now();
            const int reply = link_.SendProgramRecord(record.address, record.data);
            if (reply != record.sum()) {
                const QString where = QStringLiteral("the record at %1 (line %2 of %3)")
                                          .arg(AddressText(record.address))
                                          .arg(record.line)
                                          .arg(QFileInfo(set_.ImageFileName).fileName());
                if (reply < 0)
                    halted(QStringLiteral("No Reply from PLC, Program Download Halted!") + kCRLF +
                               kCRLF + QStringLiteral("The board did not answer ") + where +
                               QStringLiteral(": check the cable."),
                           link::Icon::Exclamation);
                else
                    halted(QStringLiteral("Checksum Error, Program Download Halted!") + kCRLF +
                               kCRLF + QStringLiteral("The board answered ") + where +
                               QStringLiteral(" with the sum %1H; its bytes add up to %2H.")
                                   .arg(Hex2(reply), Hex2(record.sum())),
                           link::Icon::Exclamation);
                link_.OnlineMode = false;
                end();
                break;
            }
            progress_.done += record.data.size();
            progress_.now = clock_.now();
            if (++index_ == static_cast<int>(image_.records.size())) phase_ = Phase::Leave;
            break;
        }
        case Phase::Leave: {
            const int reply = link_.SendAttention();
            if (!link_.CommError && reply != 0x55) {
                halted(QStringLiteral("PLC did not Exit Program Mode!"), link::Icon::Critical);
                link_.OnlineMode = false;
                end();
                break;
            }
            phase_ = Phase::Settle;
            break;
        }
        case Phase::Settle:
            wait(2.0);
            progress_.tailStarted = clock_.now();
            index_ = 0;
            phase_ = link_.CommError || failed_ ? Phase::Report : Phase::WriteIdent;
            break;
        case Phase::WriteIdent: {
            WritingIdent = true;
            const std::array<int, 10> block = IdentBlock(
                set_.ProgramIdent, set_.ProgramChecksum.toInt(), set_.ProgramRevision.toInt());
            const int byte = kIdentWriteOrder[static_cast<std::size_t>(index_)];
            if (!link::WriteVerified(link_, ByteAddress(kIdentBlockAddress + byte),
                                     QString::number(block[static_cast<std::size_t>(byte)]))) {
                message(QStringLiteral("Could Not Send Program Ident and Revision to PLC!"),
                        link::Icon::Critical, kTitle);
                failed_ = true;
                phase_ = Phase::Report;
                break;
            }
            if (++index_ == kIdentBytes) phase_ = Phase::Report;
            break;
        }
        case Phase::Report: {
            set_.ValidProgram = false;
            WritingIdent = false;
            succeeded_ = !link_.CommError && !failed_;
            if (succeeded_)
                message(QStringLiteral("Program Download Complete!"), link::Icon::Information,
                        kTitle);
            else
                halted(QStringLiteral("Program Download Not Complete!"), link::Icon::Critical);
            link_.OnlineMode = succeeded_;
            end();
            break;
        }
        case Phase::Done:
            break;
    }
    return phase_ != Phase::Done;
}

} // namespace talvern::targetboard
