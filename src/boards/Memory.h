#pragma once
// 64 KiB of board memory. Multi-byte values sit low byte first; a double is two words in base
// 10000 (the word at the lower address holds value mod 10000, the next one value div 10000).

#include <array>
#include <cstdint>

namespace talvern::boards {

class Memory {
public:
    std::uint8_t byte(std::uint16_t address) const { return bytes_[address]; }
    void setByte(std::uint16_t address, std::uint8_t value) { bytes_[address] = value; }

    std::uint16_t word(std::uint16_t address) const {
        return static_cast<std::uint16_t>(byte(address) | (byte(next(address)) << 8));
    }
    void setWord(std::uint16_t address, std::uint16_t value) {
        setByte(address, static_cast<std::uint8_t>(value & 0xFF));
        setByte(next(address), static_cast<std::uint8_t>(value >> 8));
    }

    std::uint32_t baseTenThousand(std::uint16_t address) const {
        return std::uint32_t{word(next(next(address)))} * 10000u + word(address);
    }
    void setBaseTenThousand(std::uint16_t address, std::uint32_t value) {
        setWord(address, static_cast<std::uint16_t>(value % 10000u));
        setWord(next(next(address)), static_cast<std::uint16_t>((value / 10000u) & 0xFFFF));
    }

    bool bit(std::uint16_t address, int bit) const { return (byte(address) >> bit) & 1; }
    void setBit(std::uint16_t address, int bit, bool on) {
        const auto mask = static_cast<std::uint8_t>(1u << bit);
        setByte(address,
                static_cast<std::uint8_t>(on ? (byte(address) | mask) : (byte(address) & ~mask)));
    }

    void clear() { bytes_.fill(0); }

private:
    static std::uint16_t next(std::uint16_t address) {
        return static_cast<std::uint16_t>(address + 1);
    }
    std::array<std::uint8_t, 65536> bytes_{};
};

} // namespace talvern::boards
