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
#include <algorithm>
#include <gtest/gtest.h>
#include <optional>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

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

// The rig's line with every byte the link sends recorded with its time; it can also play a
// board that does not take one value at one address (its echo of that data byte is wrong).
class TappedLine final : public link::SerialLine {
public:
    TappedLine(link::SerialLine& inner, const link::Clock& clock) : inner_(inner), clock_(clock) {}
    bool open(const link::PortSettings& s, int* n, QString* t) override {
        return inner_.open(s, n, t);
    }
    void close() override { inner_.close(); }
    bool isOpen() const override { return inner_.isOpen(); }
    void sendByte(std::uint8_t byte) override {
        sent.push_back(byte);
        times.push_back(clock_.now());
        if (expectMode_ && byte != 0xFF) {
            mode_ = byte;
            expectMode_ = false;
            position_ = 0;
        } else if (byte == 0xFF && (mode_ != 2 || position_ % 3 == 0)) {
            expectMode_ = true;
        } else if (mode_ == 2 && position_++ % 3 == 2) {
            const std::size_t n = sent.size();
            const int address = sent[n - 3] << 8 | sent[n - 2];
            flipNext_ = refused && refused->first == address && refused->second == byte;
        }
        inner_.sendByte(byte);
    }
    int bytesWaiting() override { return inner_.bytesWaiting(); }
    int takeByte() override {
        const int reply = inner_.takeByte();
        if (reply < 0 || !flipNext_) return reply;
        flipNext_ = false;
        return reply ^ 1;
    }
    void discardInput() override { inner_.discardInput(); }
    bool waitForInput(double deadline) override { return inner_.waitForInput(deadline); }
    // Where a run of bytes was sent (sent.size() when it was not).
    std::size_t find(const std::vector<std::uint8_t>& run, std::size_t from = 0) const {
        return std::search(sent.begin() + from, sent.end(), run.begin(), run.end()) - sent.begin();
    }

    std::vector<std::uint8_t> sent;
    std::vector<double> times;
    std::optional<std::pair<int, int>> refused; // address, value

private:
    link::SerialLine& inner_;
    const link::Clock& clock_;
    bool expectMode_ = false;
    int mode_ = 0;
    int position_ = 0;
    bool flipNext_ = false;
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
        tap.times.clear();
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
    TappedLine tap{line, clock};
    ScriptedAnswers answers;
    link::NoEventPump events;
    link::RSComm link;
};

} // namespace talvern::testing
