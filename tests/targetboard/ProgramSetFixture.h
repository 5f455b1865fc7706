#pragma once
// A program file set in a temporary folder, and the simulated boards behind a real link.

#include "FakePlatform.h"
#include "ProgramFiles.h"
#include "QtPlatform.h"
#include "RSComm.h"
#include "SimulatedRig.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace talvern::testing {

inline void WriteText(const QString& path, const QByteArray& text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
}

inline QByteArray ReadText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The rig's line with every byte the link sends recorded.
class TappedLine final : public link::SerialLine {
public:
    explicit TappedLine(link::SerialLine& inner) : inner_(inner) {}
    bool open(const link::PortSettings& s, int* n, QString* t) override {
        return inner_.open(s, n, t);
    }
    void close() override { inner_.close(); }
    bool isOpen() const override { return inner_.isOpen(); }
    void sendByte(std::uint8_t byte) override {
        sent.push_back(byte);
        inner_.sendByte(byte);
    }
    int bytesWaiting() override { return inner_.bytesWaiting(); }
    int takeByte() override { return inner_.takeByte(); }
    void discardInput() override { inner_.discardInput(); }
    bool waitForInput(double deadline) override { return inner_.waitForInput(deadline); }
    std::vector<std::uint8_t> sent;

private:
    link::SerialLine& inner_;
};

class ProgramTest : public ::testing::Test, protected SimulatedRig {
protected:
    ProgramTest() : link(clock, answers, events, folder.path()) {
        link.SetUserConfigFolder(folder.filePath(QStringLiteral("user")));
        sim.stopMachine();
    }
    QString path(const QString& name) const { return folder.filePath(name); }
    // Writes NAME.bxl/.rev/.hex (and .lcf when given) and returns the .bxl path.
    QString writeSet(const QString& name, const QByteArray& bxl, const QByteArray& rev,
                     const QByteArray& hex, const QByteArray& lcf = {}) {
        const QString base = path(name);
        WriteText(base + ".bxl", bxl);
        if (!rev.isNull()) WriteText(base + ".rev", rev);
        if (!hex.isNull()) WriteText(base + ".hex", hex);
        if (!lcf.isNull()) WriteText(base + ".lcf", lcf);
        return base + ".bxl";
    }
    void goOnline(boards::BoardId board) {
        sim.moveCable(board);
        link.OnlineMode = true;
        link.OpenRSComm(tap);
        ASSERT_TRUE(link.OnlineMode);
        tap.sent.clear();
    }
    // The titles of the messages shown, in order.
    QStringList titles() const {
        QStringList t;
        for (const AskedQuestion& q : answers.asked)
            t << q.title;
        return t;
    }
    QString lastText() const {
        return answers.asked.empty() ? QString() : answers.asked.back().text;
    }

    QTemporaryDir folder;
    TappedLine tap{line};
    ScriptedAnswers answers;
    link::NoEventPump events;
    link::RSComm link;
};

} // namespace talvern::testing
