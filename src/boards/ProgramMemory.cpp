#include "ProgramMemory.h"

namespace talvern::boards {

int FactoryProgramCode(BoardId id) {
    return id == BoardId::K2510 ? 58 : 52;
}

std::uint32_t FactoryProgramBytes(BoardId id) {
    return id == BoardId::K2510 ? 0x6000 : 0x2000;
}

void LoadFactoryProgram(Memory& memory, BoardId id) {
    // A small linear congruential sequence: looks like code, costs nothing, repeats exactly.
    std::uint32_t x = id == BoardId::K2510 ? 0x2510u : 0x7520u;
    const std::uint32_t bytes = FactoryProgramBytes(id);
    for (std::uint32_t i = 0; i < bytes; ++i) {
        x = x * 1103515245u + 12345u;
        memory.setByte(static_cast<std::uint16_t>(kProgramFirst + i),
                       static_cast<std::uint8_t>(x >> 16));
    }
}

} // namespace talvern::boards
