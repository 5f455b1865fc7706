// talvern-cli's signature commands: acquisition from the motion board into a cupfeed data file,
// a file's contents as the text export, and the graph, which talvern-render draws.
#include "AcquireSignatures.h"
#include "CliCommands.h"
#include "CpfdText.h"
#include "OnlineState.h"
#include "QtPlatform.h"
#include "SdtFile.h"
#include "SetupData.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <csignal>

namespace talvern::app {

namespace {

volatile std::sig_atomic_t gInterrupted = 0;

extern "C" void OnInterrupt(int) {
    gInterrupted = 1;
}

// Ctrl+C cancels the acquisition as the Cancel button does, instead of ending the program
// with the board still recording.
class InterruptAsCancel {
public:
    InterruptAsCancel() {
        gInterrupted = 0;
        struct sigaction action {};
        action.sa_handler = OnInterrupt;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &previous_);
    }
    ~InterruptAsCancel() { sigaction(SIGINT, &previous_, nullptr); }
    bool interrupted() const { return gInterrupted != 0; }

private:
    struct sigaction previous_ {};
};

int Acquire(CliContext& c, const QString& path) {
    if (!c.ensureOnline()) return kLinkFailure;
    link::NoEventPump events;
    if (!setup::CheckTargetBoard(c.link, c.answers, events, setup::kBoardR7520,
                                 [&] { c.link.CloseRSComm(); }))
        return c.link.CommError ? kLinkFailure : kFailed;

    signatures::SignatureRecord record;
    signatures::SignatureAcquisition acquisition(c.link, record, c.answers);
    {
        InterruptAsCancel interrupt;
        while (acquisition.step())
            if (interrupt.interrupted()) acquisition.cancel();
    }
    using Outcome = signatures::SignatureAcquisition::Outcome;
    switch (acquisition.outcome()) {
        case Outcome::Acquired:
            break;
        case Outcome::Cancelled:
            c.complain(QStringLiteral("Cancelled; nothing written."));
            return kFailed;
        default:
            return kLinkFailure;
    }
    QString message;
    if (!signatures::SaveCfdFile(path, record.CpfdData, &message)) {
        c.tell(kSignatureFileTitle, message);
        return kFailed;
    }
    c.print(QStringLiteral("%1 samples").arg(record.CpfdData.Samples));
    return kDone;
}

int Signature(CliContext& c, const QStringList& args) {
    if (args.size() != 2 || args.at(0) != QLatin1String("acquire")) return kUsage;
    return Acquire(c, args.at(1));
}

int Cfd(CliContext& c, const QStringList& args) {
    const bool show = args.size() == 2 && args.at(0) == QLatin1String("show");
    const bool exportText = args.size() == 3 && args.at(0) == QLatin1String("export");
    if (!show && !exportText) return kUsage;
    QString message;
    const std::optional<signatures::CpfdData> data = signatures::LoadCfdFile(args.at(1), &message);
    if (!data) {
        c.tell(kSignatureFileTitle, message);
        return kFailed;
    }
    if (show) {
        const QByteArray text = signatures::ExportText(*data, QLocale(), QStringLiteral("\n"));
        std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), c.out);
        std::fflush(c.out);
        return kDone;
    }
    if (!setup::SaveTextFile(args.at(2), signatures::ExportText(*data), &message)) {
        c.tell(kSignatureFileTitle, message);
        return kFailed;
    }
    return kDone;
}

// Pictures and pages are drawn by talvern-render beside this program; its output and exit
// status are passed on.
int RunInRender(CliContext& c, const QString& command, const QStringList& args) {
    const QString render =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("talvern-render"));
    QProcess process;
    process.setInputChannelMode(QProcess::ForwardedInputChannel);
    process.start(render, QStringList{command} + args);
    if (!process.waitForStarted(-1)) {
        c.complain(QStringLiteral("Cannot start \"%1\": %2").arg(render, process.errorString()));
        return kFailed;
    }
    process.waitForFinished(-1);
    const QByteArray out = process.readAllStandardOutput();
    const QByteArray err = process.readAllStandardError();
    std::fwrite(out.constData(), 1, static_cast<size_t>(out.size()), c.out);
    std::fwrite(err.constData(), 1, static_cast<size_t>(err.size()), c.err);
    std::fflush(c.out);
    std::fflush(c.err);
    if (process.exitStatus() != QProcess::NormalExit) {
        c.complain(QStringLiteral("\"%1\" ended abnormally.").arg(render));
        return kFailed;
    }
    return process.exitCode();
}

} // namespace

void AddSignatureCommands(CliCommandTable& table) {
    table[QStringLiteral("signature")] = Signature;
    table[QStringLiteral("cfd")] = Cfd;
    for (const char* command : {"graph", "report", "signature-report"}) {
        const QString word = QString::fromLatin1(command);
        table[word] = [word](CliContext& c, const QStringList& args) {
            return RunInRender(c, word, args);
        };
    }
}

} // namespace talvern::app
