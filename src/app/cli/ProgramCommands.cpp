// talvern-cli program check|dump|upload|verify and board reset-faults|set-clock: the program
// transfers and the target-board actions of the windows, for service work without a display.
#include "CliCommands.h"
#include "ProgramDump.h"
#include "ProgramFiles.h"
#include "ProgramImage.h"
#include "ProgramUpload.h"
#include "ProgramVerify.h"
#include "TargetBoardPage.h"

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
    QFile image(set.ImageFileName);
    if (!image.open(QIODevice::ReadOnly)) {
        c.complain(set.ImageFileName + QStringLiteral(" File Does Not Exist."));
        return kFailed;
    }
    const ImageCheck check = CheckImage(image.readAll(), set.ImageFileName);
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

int Dump(CliContext& c, const QString& path) {
    if (!ExistingFile(c, path)) return kFailed;
    if (!c.ensureOnline()) return kLinkFailure;
    ProgramSet set;
    set.DownloadFile(path, c.answers);
    if (!set.ValidProgram) return kFailed;
    ProgramDump dump(c.link, set, c.answers, c.link.LinkClock());
    ProgressLine progress(c.err);
    while (dump.step()) {
        c.link.LinkClock().sleepUntil(dump.resumeAt());
        if (dump.InProgramMode && dump.progress().started >= 0)
            progress.show(dump.WritingIdent ? QStringLiteral("Writing Program Ident ... ")
                                            : QStringLiteral("Writing to Program Address: ") +
                                                  dump.CurrentProgramAdd,
                          dump.progress());
    }
    progress.done();
    return dump.succeeded() ? kDone : kFailed;
}

int Upload(CliContext& c, const QString& path) {
    if (!ExistingFile(c, path)) return kFailed;
    if (!c.ensureOnline()) return kLinkFailure;
    ProgramSet set;
    set.UploadFile(path, c.answers);
    ProgramUpload upload(c.link, set, c.answers, c.link.LinkClock());
    upload.InUploadMode = true;
    ProgressLine progress(c.err);
    while (upload.step())
        if (upload.progress().started >= 0)
            progress.show(QStringLiteral("Reading From Program Address: ") +
                              upload.CurrentProgramAdd,
                          upload.progress());
    progress.done();
    return upload.succeeded() ? kDone : kFailed;
}

int Verify(CliContext& c, const QString& path) {
    if (!ExistingFile(c, path)) return kFailed;
    if (!c.ensureOnline()) return kLinkFailure;
    ProgramSet set;
    set.UploadFile(path, c.answers);
    ProgramVerify verify(c.link, set, c.answers, c.link.LinkClock());
    ProgressLine progress(c.err);
    while (verify.step())
        if (verify.progress().started >= 0)
            progress.show(QStringLiteral("Verifying Program Address: ") + verify.CurrentProgramAdd,
                          verify.progress());
    progress.done();
    c.print(verify.report());
    return verify.matches() ? kDone : kFailed;
}

int Program(CliContext& c, const QStringList& args) {
    if (args.size() != 2) return kUsage;
    const QString& sub = args.at(0);
    if (sub == QLatin1String("check")) return Check(c, args.at(1));
    if (sub == QLatin1String("dump")) return Dump(c, args.at(1));
    if (sub == QLatin1String("upload")) return Upload(c, args.at(1));
    if (sub == QLatin1String("verify")) return Verify(c, args.at(1));
    return kUsage;
}

int BoardActions(CliContext& c, const QStringList& args, const CliCommand& others) {
    if (args == QStringList{QStringLiteral("reset-faults")}) {
        if (!c.ensureOnline()) return kLinkFailure;
        return ResetFaults(c.link, c.answers) ? kDone : kFailed;
    }
    if (args == QStringList{QStringLiteral("set-clock")}) {
        if (!c.ensureOnline()) return kLinkFailure;
        const QDateTime now = QDateTime::currentDateTime();
        const bool ok = SetBoardTime(c.link, now.time()) && SetBoardDate(c.link, now.date());
        if (ok)
            c.print(QStringLiteral("Board clock set to ") + ClockTimeText(now.time()) +
                    QStringLiteral(", ") + ClockDateText(now.date()));
        return ok ? kDone : kFailed;
    }
    return others ? others(c, args) : kUsage;
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
