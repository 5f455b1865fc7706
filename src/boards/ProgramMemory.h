#pragma once
// A board's program memory as the simulated boards keep it: each board leaves the factory with a
// program (deterministic bytes, different per board) over the memory of the board code it
// stands for, so that an upload has something to save and a verify something to compare.

#include "Board.h"
#include "Memory.h"

#include <cstdint>

namespace talvern::boards {

// The board-type code whose program memory a board carries: the K2510 stands for a "K2010"
// (58: 0x2000..0x7FFF, with a configuration file), the R7520 for an "R6021" (52: 0x2000..0x3FFF).
int FactoryProgramCode(BoardId id);
inline constexpr std::uint16_t kProgramFirst = 0x2000;
std::uint32_t FactoryProgramBytes(BoardId id);

// Fills the board's program memory with its factory program.
void LoadFactoryProgram(Memory& memory, BoardId id);

// Faults a dump can meet, injected after a number of records have been answered.
enum class ProgramFault {
    None,
    WrongSum, // the next record's sum comes back wrong
    Silence,  // the board falls silent before answering the next record
};

} // namespace talvern::boards
