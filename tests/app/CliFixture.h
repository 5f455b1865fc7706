#pragma once
// talvern-cli's commands against the simulated boards, in virtual time: each run gets a fresh
// link, as a fresh process would, and its standard output and error are kept for the test.

#include "CliCommands.h"
#include "ConsoleAnswers.h"
#include "QtPlatform.h"
#include "SimulatedRig.h"
#include "WireRecorder.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <gtest/gtest.h>
#include <memory>

namespace talvern::testing {

// Everything written to a temporary file so far.
inline QString Slurp(std::FILE* f) {
    std::fflush(f);
    std::rewind(f);
    QByteArray bytes;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        bytes.append(buffer, static_cast<int>(n));
    return QString::fromLocal8Bit(bytes);
}

class CliFixture : public ::testing::Test, protected SimulatedRig {
protected:
    int runCli(const QStringList& command, bool yes, bool retry) {
        closeOutput();
        out = std::tmpfile();
        err = std::tmpfile();
        answers = std::make_unique<app::ConsoleAnswers>(err, false, yes, retry, nullptr);
        rscomm = std::make_unique<link::RSComm>(clock, *answers, events, folder.path());
        app::CliContext context{*rscomm, line, *answers, out, err};
        link::WireRecorder recorder(0, 16);
        if (changes) {
            recorder.setBoardAddress(QStringLiteral("B698"));
            recorder.onTransaction = [this](const link::WireTransaction& t) { changes->heard(t); };
            rscomm->SetObserver(&recorder);
            context.changes = changes.get();
        }
        const int status = app::RunCliCommand(context, command);
        if (rscomm->OnlineMode) rscomm->CloseRSComm();
        return status;
    }
    QString output() { return Slurp(out); }
    QString errors() { return Slurp(err); }
    QString file(const QString& name) const { return folder.filePath(name); }
    QByteArray bytes(const QString& name) const {
        QFile f(file(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void TearDown() override { closeOutput(); }

    QTemporaryDir folder;
    link::NoEventPump events;
    std::unique_ptr<app::ConsoleAnswers> answers;
    std::unique_ptr<link::RSComm> rscomm;
    std::FILE* out = nullptr;
    std::FILE* err = nullptr;
    std::unique_ptr<setup::ChangeLog> changes; // set: the commands' writes are logged in it

private:
    void closeOutput() {
        if (out) std::fclose(out);
        if (err) std::fclose(err);
        out = err = nullptr;
    }
};

} // namespace talvern::testing
