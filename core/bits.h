// Bit tricks shared by the matrix and the share writers.
#pragma once

#include <cstdint>

namespace quillon {

// Transposes an 8 x 8 bit matrix held in a word: the bit at 8 * i + j moves to 8 * j + i.
// Read with byte i as row i, this swaps rows and columns whichever end of a byte holds
// column 0.
inline uint64_t Transpose8(uint64_t x) {
  uint64_t t = (x ^ (x >> 7)) & 0x00AA00AA00AA00AAull;
  x ^= t ^ (t << 7);
  t = (x ^ (x >> 14)) & 0x0000CCCC0000CCCCull;
  x ^= t ^ (t << 14);
  t = (x ^ (x >> 28)) & 0x00000000F0F0F0F0ull;
  return x ^ t ^ (t << 28);
}

}  // namespace quillon
