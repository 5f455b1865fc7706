#pragma once
// The two boards of the bodymaker behind one virtual RS-232 cable. The host side of the wire is
// byte by byte, exactly as a serial port sees it; the front-panel controls start and stop the
// machine, raise alarms, move or pull the cable and inject faults for demonstrations and tests.

#include "Board.h"
#include "Clock.h"
#include "K2510Board.h"
#include "ProgramMemory.h"
#include "R7520Board.h"

#include <cstdint>
#include <deque>
#include <optional>

namespace talvern::boards {

class SimulatedBoards {
public:
    // The machine runs from the start. Its crank starts where the wall clock puts a machine that
    // has been running at its low speed all along, so that separate runs continue each other;
    // tests may pin it instead.
    explicit SimulatedBoards(Clock& clock, std::optional<double> crankAtStart = std::nullopt);

    // --- The cable ---
    void moveCable(BoardId board);
    BoardId cableBoard() const { return cable_; }
    void unplug() { plugged_ = false; }
    void plug() { plugged_ = true; }
    bool plugged() const { return plugged_; }

    // --- The machine ---
    void startMachine() { k2510_.start(); }
    void stopMachine() { k2510_.stop(); }
    bool machineRunning() const { return k2510_.running(); }
    // Runs at the high running speed (W1028) instead of the low one (W1026).
    void setHighSpeed(bool high);
    bool highSpeed() const { return k2510_.highSpeed(); }

    // --- System alarms 1..11: 1..7 = B101 bits 1..7 (5 and 7 active-low), 8 = B100.4,
    // 9 = F4, 10 = F8, 11 = B111.7. Other numbers are ignored (false). ---
    void setAlarm(int alarm, bool active);
    bool alarmActive(int alarm);

    // --- Board memory (brought up to date before each access; a poke acts as a write) ---
    Board& board(BoardId id);
    K2510Board& k2510() { return k2510_; }
    R7520Board& r7520() { return r7520_; }
    std::uint8_t peekByte(BoardId id, std::uint16_t address) { return board(id).peekByte(address); }
    std::uint16_t peekWord(BoardId id, std::uint16_t address) {
        return board(id).peekWord(address);
    }
    std::uint32_t peekDouble(BoardId id, std::uint16_t address) {
        return board(id).peekDouble(address);
    }
    bool peekBit(BoardId id, std::uint16_t address, int bit) {
        return board(id).peekBit(address, bit);
    }
    void pokeByte(BoardId id, std::uint16_t address, std::uint8_t value) {
        board(id).pokeByte(address, value);
    }
    void pokeWord(BoardId id, std::uint16_t address, std::uint16_t value) {
        board(id).pokeWord(address, value);
    }
    void pokeDouble(BoardId id, std::uint16_t address, std::uint32_t value) {
        board(id).pokeDouble(address, value);
    }
    void pokeBit(BoardId id, std::uint16_t address, int bit, bool on) {
        board(id).pokeBit(address, bit, on);
    }

    // --- Fault injection ---
    // The board on the cable neither hears nor answers while silent.
    void setSilent(bool silent) { silent_ = silent; }
    bool silent() const { return silent_; }
    // The next `count` replies, after letting `skip` pass untouched, arrive corrupted (a wrong
    // echo or data byte); the board itself acted on what it heard.
    void corruptReplies(int count, int skip = 0);
    // The next `count` replies, after `skip`, are lost on the wire.
    void dropReplies(int count, int skip = 0);
    // Every reply arrives this many seconds late (0 = on time).
    void setReplyDelay(double seconds) { replyDelay_ = seconds < 0 ? 0 : seconds; }
    double replyDelay() const { return replyDelay_; }
    // The PLS keeps answering busy to every READY poll.
    void setPlsStuckBusy(bool stuck) { k2510_.setPlsStuckBusy(stuck); }
    // A signature recording, once started, never completes.
    void setCaptureStuck(bool stuck) { r7520_.setCaptureStuck(stuck); }
    // One fault at a chosen byte of an exchange. `position` counts the bytes the host sends from
    // now on (0 = the next one, whether a board hears it or not). The reply to that byte is lost,
    // arrives disturbed, or arrives twice (a stray byte after it); or from that byte on the board
    // neither hears nor answers for `seconds`; or the cable is pulled out there.
    enum class Fault { LostReply, CorruptedReply, StrayByte, Silence, CablePulled };
    void injectFault(Fault fault, long position, double seconds = 1.5);
    // Bytes the host has sent since construction.
    long bytesSent() const { return sent_; }
    // A dump meets a fault once `afterRecords` more records have been answered.
    void injectProgramFault(ProgramFault fault, int afterRecords);
    // Back to a healthy cable: no silence, corruption, losses, delay, busy PLS or stuck capture.
    void clearFaults();

    // --- Pacing: the wire's own speed, 10 bits a byte each way (0 = off, replies are there at
    // once). A byte from the host takes 10 bits / baud to reach the board, which starts its reply
    // at once; the reply takes as long again to come back. ---
    void setPacing(int baud) { baud_ = baud > 0 ? baud : 0; }
    int pacing() const { return baud_; }

    // --- The host side of the wire ---
    void hostSend(std::uint8_t byte);
    bool replyAvailable();
    // Number of replies that have arrived and wait to be taken.
    int repliesAvailable();
    // The oldest arrived reply, or -1 when none has arrived.
    int takeReply();
    // Drops the replies that have arrived (late ones still on the wire arrive later).
    void discardReplies();
    // When the oldest pending reply arrives (it may already have), or nothing when none is due.
    std::optional<double> nextReplyTime() const;

    // Bytes that reached a board since construction (for tests and the front panel).
    long bytesDelivered() const { return delivered_; }
    // Replies the host has taken since construction.
    long repliesSent() const { return repliesSent_; }

private:
    struct Reply {
        double at;
        std::uint8_t byte;
    };
    struct Countdown {
        int skip = 0;
        int count = 0;
        // True when this reply is the one to act on.
        bool take();
    };

    Clock& clock_;
    K2510Board k2510_;
    R7520Board r7520_;
    BoardId cable_ = BoardId::K2510;
    bool plugged_ = true;
    bool silent_ = false;
    Countdown corrupt_;
    Countdown drop_;
    double replyDelay_ = 0;
    std::optional<Fault> fault_;
    long faultAt_ = 0;
    double faultSeconds_ = 0;
    double silentUntil_ = 0;
    long sent_ = 0;
    ProgramFault programFault_ = ProgramFault::None;
    long programFaultAt_ = 0; // the board's record count at which the fault strikes
    int baud_ = 0;
    double hostLineFreeAt_ = 0; // when the host's last byte has left the wire
    std::deque<Reply> replies_;
    long delivered_ = 0;
    long repliesSent_ = 0;
};

} // namespace talvern::boards
