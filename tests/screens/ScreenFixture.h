#pragma once
// The program's globals wired to the real link over the simulated boards, answers scripted.

#include "BoardScreen.h"
#include "FakePlatform.h"
#include "QtPlatform.h"
#include "RSComm.h"
#include "SimulatedSerialLine.h"
#include "boards/SimulatedBoards.h"
#include "modUtility.h"

#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <utility>
#include <vector>

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace talvern::testing {

// The one question asked, as "title|text".
inline QString OnlyQuestion(const ScriptedAnswers& answers) {
    if (answers.asked.size() != 1) return QStringLiteral("%1 questions").arg(answers.asked.size());
    return answers.asked[0].title + '|' + answers.asked[0].text;
}

// Records what the link sends and decodes the write transactions (FF, mode 2, then
// address-high, address-low, data triples).
class RecordingLine final : public link::SerialLine {
public:
    explicit RecordingLine(link::SerialLine& inner) : inner_(&inner) {}
    void setInner(link::SerialLine& inner) { inner_ = &inner; }
    bool open(const link::PortSettings& s, int* n, QString* t) override {
        return inner_->open(s, n, t);
    }
    void close() override { inner_->close(); }
    bool isOpen() const override { return inner_->isOpen(); }
    void sendByte(std::uint8_t byte) override {
        sent.push_back(byte);
        inner_->sendByte(byte);
    }
    int bytesWaiting() override { return inner_->bytesWaiting(); }
    int takeByte() override {
        const int reply = inner_->takeByte();
        if (reply < 0 || spoilAt_ != static_cast<long>(sent.size()) - 1) return reply;
        spoilAt_ = -1;
        return reply ^ spoilMask_;
    }
    void discardInput() override { inner_->discardInput(); }
    bool waitForInput(double deadline) override { return inner_->waitForInput(deadline); }
    // The reply to the n-th byte sent from now (0 = the next) arrives with the mask's bits
    // flipped.
    void spoilReply(long n, std::uint8_t mask) {
        spoilAt_ = static_cast<long>(sent.size()) + n;
        spoilMask_ = mask;
    }
    // Where the read of a byte address begins among the bytes sent (its two address bytes).
    long readAt(int byteAddress) const {
        for (std::size_t i = 1; i < sent.size(); ++i)
            if (sent[i - 1] == (byteAddress >> 8) && sent[i] == (byteAddress & 0xFF))
                return static_cast<long>(i) - 1;
        return -1;
    }

    // The byte address of every byte written, in order. Read mode sends address pairs, write
    // mode address/data triples; 0xFF at a pair or triple boundary starts a new handshake.
    std::vector<int> bytesWritten() const {
        std::vector<int> writes;
        enum { Idle, Mode, Read, Write } state = Idle;
        std::vector<std::uint8_t> group;
        for (std::uint8_t byte : sent) {
            if (byte == 0xFF && group.empty() && state != Mode) {
                state = Mode;
                continue;
            }
            if (state == Mode) {
                state = byte == 1 ? Read : byte == 2 ? Write : Idle;
                continue;
            }
            if (state == Idle) continue;
            group.push_back(byte);
            const std::size_t size = state == Read ? 2 : 3;
            if (group.size() == size) {
                if (state == Write) writes.push_back(group[0] << 8 | group[1]);
                group.clear();
            }
        }
        return writes;
    }
    // How many times a value was written whose first byte is at this address.
    int writesTo(int byteAddress) const {
        int n = 0;
        for (int address : bytesWritten())
            n += address == byteAddress ? 1 : 0;
        return n;
    }
    bool nothingWritten() const { return bytesWritten().empty(); }
    std::vector<std::uint8_t> sent;

private:
    link::SerialLine* inner_;
    long spoilAt_ = -1;
    std::uint8_t spoilMask_ = 0;
};

// The program's globals wired to one link with fresh working data, for as long as it lives.
struct ProgramGlobals {
    ProgramGlobals(link::RSComm& link, link::SerialLine& port, link::UserAnswers& answers,
                   link::EventPump& events) {
        shell::gLink = &link;
        shell::gCommPort = &port;
        shell::gAnswers = &answers;
        shell::gEvents = &events;
        shell::gOnlineView = nullptr;
        shell::InitSetupTables();
        shell::gOfflineEditing = false;
    }
    ~ProgramGlobals() {
        shell::gLink = nullptr;
        shell::gCommPort = nullptr;
        shell::gAnswers = nullptr;
        shell::gEvents = nullptr;
    }
};

// Runs steps until the current (or next) pass has ended.
inline void RunPass(setup::RefreshCycle& cycle) {
    const int before = cycle.passesCompleted();
    for (int k = 0; k < 200 && cycle.passesCompleted() == before; ++k)
        cycle.runStep();
    ASSERT_GT(cycle.passesCompleted(), before) << "a pass that never ends";
}

class ScreenFixture : public ::testing::Test {
protected:
    ScreenFixture() : link(clock, answers, events, folder.path()) {
        link.SetUserConfigFolder(folder.filePath(QStringLiteral("user")));
        sim.stopMachine();
    }

    void goOnline() {
        link.OnlineMode = true;
        shell::UpdateOnlineState();
        ASSERT_TRUE(link.OnlineMode);
        line.sent.clear();
    }
    void goOffline() {
        link.OnlineMode = false;
        shell::UpdateOnlineState();
    }
    // Each question takes the activation from the screens while it is open, as a message box does;
    // the test hands it back.
    void questionsTakeTheActivation() {
        messageWindow.show();
        answers.onAsk = [this](const AskedQuestion&) {
            QApplication::setActiveWindow(&messageWindow);
        };
    }
    // Shows the screen as the active window (this starts its cycle).
    void open(QWidget& screen) {
        screen.resize(screen.sizeHint());
        screen.show();
        QApplication::setActiveWindow(&screen);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&screen));
    }
    static void runPass(setup::RefreshCycle& cycle) { RunPass(cycle); }
    static void runPass(screens::BoardScreen& screen) { runPass(screen.cycle()); }
    // A new screen shown as the active window, after `passes` passes of its cycle.
    template <class Screen> std::unique_ptr<Screen> show(int passes) {
        auto screen = std::make_unique<Screen>();
        open(*screen);
        for (int k = 0; k < passes; ++k)
            runPass(screen->cycle());
        return screen;
    }
    // Clicks into a box, types over what it shows and leaves it with Tab.
    static void typeOver(QLineEdit* box, const QString& text) {
        QTest::mouseClick(box, Qt::LeftButton);
        box->selectAll();
        QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Tab);
    }
    // A bare memory board instead of the simulated machine: values stay as poked.
    void useTinyBoard(int boardType) {
        tiny.memory[698] = static_cast<std::uint8_t>(boardType);
        scripted.setResponder([this](std::uint8_t byte) { return tiny(byte); });
        line.setInner(scripted);
    }
    void pokeTinyWord(int address, int value) {
        tiny.memory[address] = static_cast<std::uint8_t>(value & 0xFF);
        tiny.memory[address + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
    }
    std::uint16_t boardWord(boards::BoardId id, int address) { return sim.peekWord(id, address); }

    QTemporaryDir folder;
    FakeClock clock;
    app::BoardsClockFromLinkClock boardsClock{clock};
    boards::SimulatedBoards sim{boardsClock};
    app::SimulatedSerialLine simLine{sim, clock};
    ScriptedLine scripted{clock};
    TinyBoard tiny;
    RecordingLine line{simLine};
    ScriptedAnswers answers;
    link::NoEventPump events;
    link::RSComm link;
    ProgramGlobals globals{link, line, answers, events};
    QWidget messageWindow;
};

} // namespace talvern::testing
