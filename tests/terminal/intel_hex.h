// Reading the board emulator's memory dump (Intel HEX) back into bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vorlan::terminal_test {

using Bytes = std::vector<std::uint8_t>;

// The bytes at addresses 0 to size - 1 of the HEX text; addresses the text
// does not mention are erased (0xFF), data at or above size is left out.
// Malformed lines are left out too: the comparison with the expected memory
// then shows where.
Bytes ProgramMemoryFromHex(const std::string& text, std::size_t size);

}  // namespace vorlan::terminal_test
