#include "Board.h"

#include "ProgramMemory.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>

namespace talvern::boards {

namespace {

constexpr std::uint8_t kAttention = 0xFF;
constexpr std::uint8_t kAck = 0x55;
constexpr std::uint8_t kReadyPoll = 0x38;
constexpr std::uint8_t kRefused = 0x00;

long long toCalendarSeconds(const CalendarTime& t) {
    using namespace std::chrono;
    const year_month_day ymd{year{t.year}, month{static_cast<unsigned>(t.month)},
                             day{static_cast<unsigned>(t.day)}};
    const auto days = sys_days{ymd}.time_since_epoch().count();
    return days * 86400LL + t.hour * 3600LL + t.minute * 60LL + t.second;
}

CalendarTime fromCalendarSeconds(long long seconds) {
    using namespace std::chrono;
    long long days = seconds / 86400;
    long long rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    const year_month_day ymd{sys_days{std::chrono::days{days}}};
    CalendarTime t;
    t.year = static_cast<int>(ymd.year());
    t.month = static_cast<int>(static_cast<unsigned>(ymd.month()));
    t.day = static_cast<int>(static_cast<unsigned>(ymd.day()));
    t.hour = static_cast<int>(rest / 3600);
    t.minute = static_cast<int>((rest / 60) % 60);
    t.second = static_cast<int>(rest % 60);
    return t;
}

CalendarTime localNow() {
    const std::time_t now = std::time(nullptr);
    const std::tm* tm = std::localtime(&now);
    CalendarTime t;
    if (tm) {
        t.year = tm->tm_year + 1900;
        t.month = tm->tm_mon + 1;
        t.day = tm->tm_mday;
        t.hour = tm->tm_hour;
        t.minute = tm->tm_min;
        t.second = tm->tm_sec;
    }
    return t;
}

int lastDayOf(int year, int month) {
    using namespace std::chrono;
    const year_month_day_last last{year_month_day_last{
        std::chrono::year{year}, month_day_last{std::chrono::month{static_cast<unsigned>(month)}}}};
    return static_cast<int>(static_cast<unsigned>(last.day()));
}

} // namespace

Board::Board(BoardId id, const Clock& clock) : clock_(clock), id_(id), lastUpdate_(clock.now()) {
    using namespace sysaddr;
    memory_.setByte(kBoardNumber, id == BoardId::K2510 ? 1 : 3);
    memory_.setByte(kNetworkAddress1, id == BoardId::K2510 ? 1 : 2);
    memory_.setByte(kNetworkAddress2, 1);
    memory_.setByte(kFirmwareRevision, id == BoardId::K2510 ? 23 : 17);
    // Configuration as a freshly dumped board keeps it (digits 1, 1, 1 of the configuration
    // file).
    memory_.setByte(kConfig1, 3);
    memory_.setByte(kConfig2, 1);
    memory_.setByte(kConfig3, 5);
    const char* ident = id == BoardId::K2510 ? "TMGPROG" : "MOTPROG";
    for (int i = 0; i < 8; ++i)
        memory_.setByte(static_cast<std::uint16_t>(kIdent + i),
                        i < 7 ? static_cast<std::uint8_t>(ident[i]) : 0);
    memory_.setByte(kIdentChecksum, id == BoardId::K2510 ? 0xA7 : 0x3C);
    memory_.setByte(kIdentRevision, id == BoardId::K2510 ? 0x12 : 0x09);
    LoadFactoryProgram(memory_, id);
    setCalendar(localNow());
}

void Board::update() {
    const double now = clock_.now();
    if (now > lastUpdate_) {
        advance(lastUpdate_, now);
        lastUpdate_ = now;
    }
    refreshCalendar();
}

void Board::setCalendar(const CalendarTime& time) {
    CalendarTime t = time;
    t.month = std::clamp(t.month, 1, 12);
    t.day = std::clamp(t.day, 1, lastDayOf(t.year, t.month));
    t.hour = std::clamp(t.hour, 0, 23);
    t.minute = std::clamp(t.minute, 0, 59);
    t.second = std::clamp(t.second, 0, 59);
    calendarOffset_ = static_cast<double>(toCalendarSeconds(t)) - clock_.now();
    refreshCalendar();
}

CalendarTime Board::calendar() {
    return fromCalendarSeconds(static_cast<long long>(std::floor(clock_.now() + calendarOffset_)));
}

void Board::refreshCalendar() {
    using namespace sysaddr;
    const CalendarTime t = calendar();
    memory_.setByte(kSeconds, static_cast<std::uint8_t>(t.second));
    memory_.setByte(kMinutes, static_cast<std::uint8_t>(t.minute));
    memory_.setByte(kHours, static_cast<std::uint8_t>(t.hour));
    memory_.setByte(kDay, static_cast<std::uint8_t>(t.day));
    memory_.setByte(kMonth, static_cast<std::uint8_t>(t.month));
    memory_.setByte(kYear, static_cast<std::uint8_t>(t.year % 100));
}

void Board::written(std::uint16_t address) {
    using namespace sysaddr;
    switch (address) {
        case kSeconds:
        case kMinutes:
        case kHours:
        case kDay:
        case kMonth:
        case kYear: {
            // The clock takes the one field that was written and keeps running from there.
            CalendarTime t = calendar();
            const int value = memory_.byte(address);
            if (address == kSeconds) t.second = value;
            if (address == kMinutes) t.minute = value;
            if (address == kHours) t.hour = value;
            if (address == kDay) t.day = value;
            if (address == kMonth) t.month = value;
            if (address == kYear) t.year = 2000 + value % 100;
            setCalendar(t);
            break;
        }
        default:
            afterWrite(address);
            break;
    }
}

std::uint8_t Board::peekByte(std::uint16_t address) {
    update();
    return memory_.byte(address);
}
std::uint16_t Board::peekWord(std::uint16_t address) {
    update();
    return memory_.word(address);
}
std::uint32_t Board::peekDouble(std::uint16_t address) {
    update();
    return memory_.baseTenThousand(address);
}
bool Board::peekBit(std::uint16_t address, int bit) {
    update();
    return memory_.bit(address, bit);
}
void Board::pokeByte(std::uint16_t address, std::uint8_t value) {
    update();
    memory_.setByte(address, value);
    written(address);
}
void Board::pokeWord(std::uint16_t address, std::uint16_t value) {
    update();
    memory_.setWord(address, value);
    written(address);
    written(static_cast<std::uint16_t>(address + 1));
}
void Board::pokeDouble(std::uint16_t address, std::uint32_t value) {
    update();
    memory_.setBaseTenThousand(address, value);
    for (int i = 0; i < 4; ++i)
        written(static_cast<std::uint16_t>(address + i));
}
void Board::pokeBit(std::uint16_t address, int bit, bool on) {
    update();
    memory_.setBit(address, bit, on);
    written(address);
}

std::uint8_t Board::attention() {
    state_ = State::AwaitMode;
    return kAck;
}

std::uint8_t Board::selectMode(std::uint8_t mode) {
    switch (mode) {
        case kAttention:
            return attention();
        case 1:
            state_ = State::ReadHigh;
            return kAck;
        case 2:
            state_ = State::WriteHigh;
            return kAck;
        case 3:
            state_ = State::ProgramCount;
            return kAck;
        default:
            break;
    }
    if (hasPls()) {
        plsCode_ = mode;
        plsParams_.clear();
        plsReplies_.clear();
        plsReplyIndex_ = 0;
        switch (mode) {
            case 24: // scale factor
            case 40: // offset
            case 72: // position
            case 88: {
                // rpm
                const std::uint16_t value = plsReadWord(mode);
                plsReplies_ = {static_cast<std::uint8_t>(value & 0xFF),
                               static_cast<std::uint8_t>(value >> 8)};
                state_ = State::PlsReplies;
                return kAck;
            }
            case 12:
                plsReplies_ = plsConfigBlock();
                state_ = State::PlsReplies;
                return kAck;
            case 42: // offset
            case 26: // scale factor
                plsParamCount_ = 2;
                state_ = State::PlsParams;
                return kAck;
            case 27: // one setpoint pair, or a clear
            case 43: // pulse train
            case 59: // configuration blocks 1..4
            case 75:
            case 91:
            case 107:
                plsParamCount_ = 6;
                state_ = State::PlsParams;
                return kAck;
            case 9: // recall: the channel, then three replies
                plsParamCount_ = 1;
                state_ = State::PlsParams;
                return kAck;
            default:
                break;
        }
    }
    state_ = State::Idle;
    return kRefused;
}

void Board::finishPlsParams() {
    if (plsCode_ == 9) {
        const auto reply = plsRecall(plsParams_[0]);
        plsReplies_.assign(reply.begin(), reply.end());
        plsReplyIndex_ = 0;
        state_ = State::PlsReplies;
        return;
    }
    ++writesHeard_;
    plsCommand(plsCode_, plsParams_);
    state_ = State::PlsDone;
}

std::optional<std::uint8_t> Board::receive(std::uint8_t byte) {
    update();
    switch (state_) {
        case State::PlsDone:
            if (byte == kReadyPoll) {
                state_ = State::ReadyAnswer;
                return kAck;
            }
            [[fallthrough]];
        case State::Idle:
        case State::ReadHigh:
            if (byte == kAttention) return attention();
            addressHigh_ = byte;
            state_ = State::ReadLow;
            return byte;
        case State::AwaitMode:
            return selectMode(byte);
        case State::ReadLow: {
            state_ = State::ReadHigh;
            const auto address = static_cast<std::uint16_t>(addressHigh_ << 8 | byte);
            return memory_.byte(address);
        }
        case State::WriteHigh:
            if (byte == kAttention) return attention();
            addressHigh_ = byte;
            state_ = State::WriteLow;
            return byte;
        case State::WriteLow:
            addressLow_ = byte;
            state_ = State::WriteData;
            return byte;
        case State::WriteData: {
            const auto address = static_cast<std::uint16_t>(addressHigh_ << 8 | addressLow_);
            memory_.setByte(address, byte);
            state_ = State::WriteHigh;
            ++writesHeard_;
            written(address);
            return byte;
        }
        case State::PlsParams:
            // Parameter bytes may take any value, 0xFF included.
            plsParams_.push_back(byte);
            if (plsParams_.size() >= plsParamCount_) finishPlsParams();
            return kAck;
        case State::PlsReplies: {
            if (byte == kAttention) return attention();
            const std::uint8_t reply = plsReplies_[plsReplyIndex_++];
            if (plsReplyIndex_ >= plsReplies_.size()) state_ = State::Idle;
            return reply;
        }
        case State::ReadyAnswer:
            if (byte == kAttention) return attention();
            if (plsReady()) {
                state_ = State::ReadyTail;
                return 0;
            }
            state_ = State::PlsDone;
            return kAck;
        case State::ReadyTail:
            if (byte == kAttention) return attention();
            state_ = State::Idle;
            return kAck;
        case State::ProgramCount:
            if (byte == kAttention) {
                state_ = State::Idle;
                return kAck;
            }
            programRemaining_ = byte;
            programSum_ = byte;
            state_ = State::ProgramHigh;
            return std::nullopt;
        case State::ProgramHigh:
            programSum_ += byte;
            programAddress_ = static_cast<std::uint16_t>(byte << 8);
            state_ = State::ProgramLow;
            return std::nullopt;
        case State::ProgramLow:
            programSum_ += byte;
            programAddress_ = static_cast<std::uint16_t>(programAddress_ | byte);
            if (programRemaining_ == 0) {
                state_ = State::ProgramCount;
                ++programRecords_;
                return static_cast<std::uint8_t>(programSum_ & 0xFF);
            }
            state_ = State::ProgramData;
            return std::nullopt;
        case State::ProgramData:
            programSum_ += byte;
            memory_.setByte(programAddress_, byte);
            programAddress_ = static_cast<std::uint16_t>(programAddress_ + 1);
            if (--programRemaining_ > 0) return std::nullopt;
            state_ = State::ProgramCount;
            ++programRecords_;
            return static_cast<std::uint8_t>(programSum_ & 0xFF);
    }
    return std::nullopt;
}

} // namespace talvern::boards
