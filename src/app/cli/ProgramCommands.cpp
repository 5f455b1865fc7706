// talvern-cli program check|dump|upload|verify and board status|reset-faults|set-clock: the
// program transfers and the target-board actions of the windows, for service work without a
// display.
#include "CliCommands.h"
#include "OnlineState.h"
#include "ProgramDump.h"
#include "ProgramFiles.h"
#include "ProgramImage.h"
#include "ProgramUpload.h"
#include "ProgramVerify.h"
#include "QtPlatform.h"
#include "TargetBoardPage.h"
#include "VerifiedTransfer.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <unistd.h>

namespace talvern::app {

namespace {

using namespace targetboard;

// A progress line on standard error, redrawn in place, only when standard error is a terminal.
class ProgressLine {
public:
    explicit ProgressLine(std::FILE* err) : err_(err), shown_(isatty(fileno(err)) != 0) {}
    ~ProgressLine() { done(); }
    void show(const QString& what, const TransferProgress& p) {
        if (!shown_) return;
        const double now = p.now;
        if (now - last_ < 0.2 && p.done < p.total) return;
        last_ = now;
        const QString text = what + QStringLiteral("  ") + p.text();
        std::fprintf(err_, "\r%-72s", text.toLocal8Bit().constData());
        std::fflush(err_);
        dirty_ = true;
    }
    void done() {
        if (!dirty_) return;
        std::fputc('\n', err_);
        dirty_ = false;
    }

private:
    std::FILE* err_;
    bool shown_;
    bool dirty_ = false;
    double last_ = -1;
};

bool ExistingFile(CliContext& c, const QString& path) {
    if (QFileInfo(path).isFile()) return true;
    c.complain(QStringLiteral("no such file: ") + path);
    return false;
}

int Check(CliContext& c, const QString& path) {
    if (!ExistingFile(c, path)) return kFailed;
    ProgramSet set;
    set.DownloadFile(path, c.answers);
    c.print(QStringLiteral("Program file: ") + set.ProgramFileName);
    c.print(QStringLiteral("Revision file: ") + set.RevisionFileName);
    c.print(QStringLiteral("Image file: ") + set.ImageFileName);
    c.print(QStringLiteral("Configuration file: ") + set.ConfigurationFileName);
    c.print(QStringLiteral("Board: %1 (%2)").arg(set.BoardCode).arg(set.TargetBoardName));
    c.print(QStringLiteral("Ident: ") + set.ProgramIdent);
    c.print(QStringLiteral("Revision: ") + set.ProgramRevision);
    c.print(QStringLiteral("Checksum: ") + set.ProgramChecksum);
    if (ProgramClassOf(set.BoardCode) == ProgramClass::RevisionAndConfiguration)
        c.print(QStringLiteral("Configuration: %1 %2 %3")
                    .arg(set.ConfigDigits[0])
                    .arg(set.ConfigDigits[1])
                    .arg(set.ConfigDigits[2]));
    if (!set.ValidProgram) return kFailed;
    if (!QFileInfo(set.ImageFileName).isFile()) {
        c.complain(set.ImageFileName + QStringLiteral(" File Does Not Exist."));
        return kFailed;
    }
    const ImageCheck check = CheckImageFile(set.ImageFileName, set.BoardCode);
    if (!check.ok) {
        c.complain(QStringLiteral("Currently Selected Program is Invalid. ") + check.reason);
        return kFailed;
    }
    c.print(QStringLiteral("Image: %1 records, %2 bytes")
                .arg(check.records.size())
                .arg(check.dataBytes()));
    const std::vector<ImageRecord> outside = RecordsOutside(check.records, set.BoardCode);
    if (!outside.empty())
        c.print(QStringLiteral("Records outside the program memory: %1, the first at line %2")
                    .arg(outside.size())
                    .arg(outside.front().line));
    return kDone;
}

// The board chosen on the command line, confirmed on the cable as the windows confirm it: the
// engineer is asked to move the cable until it is there, or the command ends.
std::function<bool(int)> BoardCheck(CliContext& c) {
    return [&c](int board) {
        link::NoEventPump events;
        return setup::CheckTargetBoard(c.link, c.answers, events, board,
                                       [&c] { c.link.CloseRSComm(); });
    };
}

// A transfer stepped to its end, its progress on standard error.
template <class Transfer, class Showing, class Label>
void RunTransfer(CliContext& c, Transfer& transfer, Showing showing, Label label) {
    ProgressLine progress(c.err);
    while (transfer.step()) {
        if constexpr (requires { transfer.resumeAt(); })
            c.link.LinkClock().sleepUntil(transfer.resumeAt());
        if (showing(transfer) && transfer.progress().started >= 0)
            progress.show(label(transfer), transfer.progress().at(c.link.LinkClock().now()));
    }
}

int Dump(CliContext& c, int board, const QString& path) {
    if (!ExistingFile(c, path)) return kFailed;
    if (!c.ensureOnline()) return kLinkFailure;
    ProgramSet set;
    set.DownloadFile(path, c.answers);
    if (!set.ValidProgram) return kFailed;
    ProgramDump dump(c.link, set, c.answers, c.link.LinkClock(), board, BoardCheck(c));
    const int writesBefore = c.changes ? c.changes->writesHeard() : 0;
    std::optional<setup::ChangeSource> grouped;
    if (c.changes) grouped.emplace(c.changes, QStringLiteral("talvern-cli program dump"), true);
    RunTransfer(
        c, dump, [](const ProgramDump& d) { return d.InProgramMode; },
        [](const ProgramDump& d) {
            return d.WritingIdent
                       ? QStringLiteral("Writing Program Ident ... ")
                       : QStringLiteral("Writing to Program Address: ") + d.CurrentProgramAdd;
        });
    if (c.changes && c.changes->writesHeard() != writesBefore)
        c.changes->recordProgramDump(board, set.ProgramFileName, set.ProgramIdent,
                                     dump.succeeded());
    return dump.succeeded() ? kDone : kFailed;
}

int Upload(CliContext& c, int board, const QString& path) {
    if (!ExistingFile(c, path)) return kFailed;
    if (!c.ensureOnline()) return kLinkFailure;
    ProgramSet set;
    set.UploadFile(path, c.answers);
    ProgramUpload upload(c.link, set, c.answers, c.link.LinkClock(), board, BoardCheck(c));
    upload.InUploadMode = true;
    RunTransfer(
        c, upload, [](const ProgramUpload&) { return true; },
        [](const ProgramUpload& u) {
            return QStringLiteral("Reading From Program Address: ") + u.CurrentProgramAdd;
        });
    return upload.succeeded() ? kDone : kFailed;
}

int Verify(CliContext& c, int board, const QString& path) {
    if (!ExistingFile(c, path)) return kFailed;
    if (!c.ensureOnline()) return kLinkFailure;
    ProgramSet set;
    set.UploadFile(path, c.answers);
    ProgramVerify verify(c.link, set, c.answers, c.link.LinkClock(), board, BoardCheck(c));
    RunTransfer(
        c, verify, [](const ProgramVerify&) { return true; },
        [](const ProgramVerify& v) {
            return QStringLiteral("Verifying Program Address: ") + v.CurrentProgramAdd;
        });
    c.print(verify.report());
    return verify.matches() ? kDone : kFailed;
}

// k2510 is board 1, r7520 board 3 (as the board holds it at B698); 0 for any other word.
int BoardNumber(const QString& word) {
    const QString w = word.toLower();
    return w == QLatin1String("k2510") ? 1 : w == QLatin1String("r7520") ? 3 : 0;
}

// program check FILE | dump BOARD FILE | upload [BOARD] FILE | verify [BOARD] FILE. A dump must
// name its board: it is confirmed on the cable before the dump asks to go on.
int Program(CliContext& c, const QStringList& args) {
    if (args.size() < 2 || args.size() > 3) return kUsage;
    const QString& sub = args.at(0);
    const QString& path = args.last();
    const int board = args.size() == 3 ? BoardNumber(args.at(1)) : 0;
    if (args.size() == 3 && board == 0) return kUsage;
    if (sub == QLatin1String("check") && args.size() == 2) return Check(c, path);
    if (sub == QLatin1String("dump") && board != 0) return Dump(c, board, path);
    if (sub == QLatin1String("upload")) return Upload(c, board, path);
    if (sub == QLatin1String("verify")) return Verify(c, board, path);
    return kUsage;
}

// The program the board's ident block names, as "TMGPROG, revision 18, checksum 167".
QString BoardProgramText(link::RSComm& link) {
    std::array<int, kIdentBytes> block{};
    for (int i = 0; i < kIdentBytes; ++i) {
        const std::optional<QString> value =
            link::ReadVerified(link, ByteAddress(kIdentBlockAddress + i));
        if (!value) return QStringLiteral("-");
        block[static_cast<std::size_t>(i)] = value->toInt();
    }
    if (!IdentNamesProgram(block[0]))
        return kNoValidProgram + QStringLiteral(" (the board must be loaded again)");
    QString name;
    for (int i = 0; i < kIdentLength; ++i)
        if (block[static_cast<std::size_t>(i)] > 31)
            name += QChar(block[static_cast<std::size_t>(i)]);
    return QStringLiteral("%1, revision %2, checksum %3").arg(name).arg(block[9]).arg(block[8]);
}

int BoardActions(CliContext& c, const QStringList& args, const CliCommand& others) {
    // A write the board did not take is named with its address.
    auto result = [&c](bool ok, const QString& failed) {
        if (!ok && !failed.isEmpty() && !c.link.CommError)
            c.complain(link::WriteFailedMessage(failed));
        return ok ? kDone : kFailed;
    };
    QString failed;
    if (args == QStringList{QStringLiteral("reset-faults")}) {
        if (!c.ensureOnline()) return kLinkFailure;
        return result(ResetFaults(c.link, c.answers, &failed), failed);
    }
    if (args == QStringList{QStringLiteral("set-clock")}) {
        if (!c.ensureOnline()) return kLinkFailure;
        const QDateTime now = QDateTime::currentDateTime();
        const bool ok =
            SetBoardTime(c.link, now.time(), &failed) && SetBoardDate(c.link, now.date(), &failed);
        if (ok)
            c.print(QStringLiteral("Board clock set to ") + ClockTimeText(now.time()) +
                    QStringLiteral(", ") + ClockDateText(now.date()));
        return result(ok, failed);
    }
    if (!others) return kUsage;
    const int status = others(c, args);
    if (status == kDone && args == QStringList{QStringLiteral("status")})
        c.print(QStringLiteral("Program: ") + BoardProgramText(c.link));
    return status;
}

} // namespace

void AddProgramCommands(CliCommandTable& table) {
    table[QStringLiteral("program")] = Program;
    const CliCommand others = table[QStringLiteral("board")];
    table[QStringLiteral("board")] = [others](CliContext& c, const QStringList& args) {
        return BoardActions(c, args, others);
    };
}

} // namespace talvern::app
