#pragma once
// One controller board as seen from the cable: its memory, the byte protocol it answers, and the
// system area every board carries (fault codes, network addresses, firmware revision, clock and
// calendar, program ident and configuration). The machine-specific working lives in subclasses.

#include "Clock.h"
#include "Memory.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace talvern::boards {

enum class BoardId { K2510, R7520 };

// Fixed addresses shared by both boards.
namespace sysaddr {
inline constexpr std::uint16_t kBoardNumber = 698;
inline constexpr std::uint16_t kFirmwareRevision = 8159;
inline constexpr std::uint16_t kCoCpuSlot = 8175;
inline constexpr std::uint16_t kCurrentFault = 8176;
inline constexpr std::uint16_t kLastFault = 8177;
inline constexpr std::uint16_t kLastCommError = 8178;
inline constexpr std::uint16_t kCurrentCommError = 8179;
inline constexpr std::uint16_t kNetworkAddress1 = 8180;
inline constexpr std::uint16_t kDumpPrepare = 8181;
inline constexpr std::uint16_t kConfig3 = 8188;
inline constexpr std::uint16_t kConfig2 = 8189;
inline constexpr std::uint16_t kConfig1 = 8190;
inline constexpr std::uint16_t kNetworkAddress2 = 8191;
inline constexpr std::uint16_t kSeconds = 43008;
inline constexpr std::uint16_t kMinutes = 43010;
inline constexpr std::uint16_t kHours = 43012;
inline constexpr std::uint16_t kDay = 43015;
inline constexpr std::uint16_t kMonth = 43016;
inline constexpr std::uint16_t kYear = 43017;
inline constexpr std::uint16_t kIdent = 61424; // 8 characters, then checksum and revision
inline constexpr std::uint16_t kIdentChecksum = 61432;
inline constexpr std::uint16_t kIdentRevision = 61433;
} // namespace sysaddr

// A civil date and time as the board's real-time clock keeps it.
struct CalendarTime {
    int year = 2000; // four digits
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

class Board {
public:
    Board(BoardId id, const Clock& clock);
    virtual ~Board() = default;
    Board(const Board&) = delete;
    Board& operator=(const Board&) = delete;

    BoardId id() const { return id_; }

    // Brings the board's working up to the clock's present time. Every access does this first.
    void update();

    // One byte arriving from the cable; the byte the board sends back, if any.
    std::optional<std::uint8_t> receive(std::uint8_t byte);

    // Direct access for the front panel and for tests (brought up to date first). A poke acts
    // as a write from the cable would (End of Shift, clock setting, capture command).
    std::uint8_t peekByte(std::uint16_t address);
    std::uint16_t peekWord(std::uint16_t address);
    std::uint32_t peekDouble(std::uint16_t address);
    bool peekBit(std::uint16_t address, int bit);
    void pokeByte(std::uint16_t address, std::uint8_t value);
    void pokeWord(std::uint16_t address, std::uint16_t value);
    void pokeDouble(std::uint16_t address, std::uint32_t value);
    void pokeBit(std::uint16_t address, int bit, bool on);

    // Raw memory, without bringing the board up to date.
    Memory& memory() { return memory_; }

    void setCalendar(const CalendarTime& time);
    CalendarTime calendar();

    // Forgets a half-received transaction (the cable was moved or pulled); the board then
    // takes addresses as in read mode until a handshake chooses another mode.
    void resetLink() { state_ = State::Idle; }

    // Program-mode records answered with their sum since construction.
    long programRecords() const { return programRecords_; }
    // Bytes written and PLS commands carried out at the cable's word since construction.
    long writesHeard() const { return writesHeard_; }

protected:
    // The machine-specific working between two instants of the clock.
    virtual void advance(double from, double to) = 0;
    // A byte at this address has just been written from the cable or by a poke.
    virtual void afterWrite(std::uint16_t address) {}

    // The PLS side, present only on a board that carries a PLS.
    virtual bool hasPls() const { return false; }
    virtual std::uint16_t plsReadWord(std::uint8_t code) { return 0; }
    virtual void plsCommand(std::uint8_t code, const std::vector<std::uint8_t>& params) {}
    virtual std::vector<std::uint8_t> plsConfigBlock() { return {}; }
    virtual std::array<std::uint8_t, 3> plsRecall(std::uint8_t channel) { return {2, 0, 0}; }
    // Asked once per READY poll.
    virtual bool plsReady() { return true; }

    const Clock& clock_;
    Memory memory_;

private:
    enum class State {
        Idle, // no mode chosen: addresses are taken as in read mode
        AwaitMode,
        ReadHigh,
        ReadLow,
        WriteHigh,
        WriteLow,
        WriteData,
        PlsParams,
        PlsReplies,
        PlsDone, // a change is being digested; the READY poll is expected
        ReadyAnswer,
        ReadyTail,
        ProgramCount,
        ProgramHigh,
        ProgramLow,
        ProgramData,
    };

    std::uint8_t attention();
    std::uint8_t selectMode(std::uint8_t mode);
    void finishPlsParams();
    void written(std::uint16_t address);
    void refreshCalendar();

    BoardId id_;
    double lastUpdate_;
    State state_ = State::Idle;

    std::uint8_t addressHigh_ = 0;
    std::uint8_t addressLow_ = 0;

    std::uint8_t plsCode_ = 0;
    std::size_t plsParamCount_ = 0;
    std::vector<std::uint8_t> plsParams_;
    std::vector<std::uint8_t> plsReplies_;
    std::size_t plsReplyIndex_ = 0;

    int programRemaining_ = 0;
    unsigned programSum_ = 0;
    std::uint16_t programAddress_ = 0;
    long programRecords_ = 0;
    long writesHeard_ = 0;

    // Calendar seconds (days since 1970 × 86400 + time of day, civil) minus clock seconds.
    double calendarOffset_ = 0;
};

} // namespace talvern::boards
