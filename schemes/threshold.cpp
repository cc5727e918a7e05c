#include "schemes/threshold.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <limits>
#include <vector>

namespace quillon {

namespace {

// Writes the column codes, in order, into an n-row matrix: bit r of codes[j] is entry (r, j).
BasisMatrix MatrixFromCodes(int32_t n, const std::vector<uint32_t>& codes) {
  BasisMatrix m(n, static_cast<int32_t>(codes.size()));
  {
    BasisMatrix::ColumnWriter writer(m);
    for (uint32_t code : codes)
      writer.Put(code);
  }
  return m;
}

// The n-bit codes of the given weight, in increasing order.
std::vector<uint32_t> CodesOfWeight(int32_t n, int weight) {
  std::vector<uint32_t> codes;
  if (n <= 0 || n > 31)
    return codes;
  const uint32_t end = uint32_t{1} << n;
  for (uint32_t i = 0; i < end; ++i) {
    if (std::popcount(i) == weight)
      codes.push_back(i);
  }
  return codes;
}

}  // namespace

BasisMatrix Build2of2S0() {
  BasisMatrix m(2, 2);
  m.Set(0, 1, 1);
  m.Set(1, 1, 1);
  return m;
}

BasisMatrix Build2of2S1() {
  BasisMatrix m(2, 2);
  m.Set(0, 1, 1);
  m.Set(1, 0, 1);
  return m;
}

BasisMatrix Build2ofNS0(int32_t n) {
  const int32_t h = n / 2;
  const int32_t c = CentralBinomial(n);
  // The first binom(n-1, h) columns are white; the rest (binom(n-1, h-1) of them for n >= 2)
  // black. Clamped to the matrix, so that n = 1 cannot write past it.
  const int64_t z = std::min<int64_t>(Binomial(n - 1, h), c);
  BasisMatrix m(n, c);
  for (int32_t r = 0; r < m.Rows(); ++r) {
    for (int64_t j = z; j < c; ++j)
      m.Set(r, static_cast<int32_t>(j), 1);
  }
  return m;
}

BasisMatrix Build2ofNS1(int32_t n) {
  return MatrixFromCodes(n, CodesOfWeight(n, n / 2));
}

BasisMatrix BuildNofNS0(int32_t n) {
  return MatrixFromCodes(std::max(n, 0), NofNColumnCodes(n, false));
}

BasisMatrix BuildNofNS1(int32_t n) {
  return MatrixFromCodes(std::max(n, 0), NofNColumnCodes(n, true));
}

std::vector<uint32_t> NofNColumnCodes(int32_t n, bool odd) {
  std::vector<uint32_t> codes;
  if (n <= 0 || n > 31)
    return codes;
  const uint32_t end = uint32_t{1} << n;
  const int parity = odd ? 1 : 0;
  codes.reserve(end / 2);
  for (uint32_t i = 0; i < end; ++i) {
    if ((std::popcount(i) & 1) == parity)
      codes.push_back(i);
  }
  return codes;
}

int32_t Factorial(int32_t a) {
  // Unsigned, so that values past 12! wrap instead of overflowing a signed integer.
  uint32_t f = 1;
  for (int32_t i = 2; i <= a; ++i)
    f *= static_cast<uint32_t>(i);
  return static_cast<int32_t>(f);
}

int32_t CentralBinomial(int32_t n) {
  return static_cast<int32_t>(Binomial(n, n / 2));
}

int64_t Binomial(int64_t a, int64_t b) {
  if (b < 0 || b > a)
    return 0;
  b = std::min(b, a - b);
  int64_t c = 1;
  for (int64_t j = 0; j < b; ++j) {
    // c = binom(a, j) here, so c * (a - j) is divisible by j + 1; 128 bits hold the product.
    const __int128 next = static_cast<__int128>(c) * (a - j) / (j + 1);
    if (next > std::numeric_limits<int64_t>::max())
      return std::numeric_limits<int64_t>::max();
    c = static_cast<int64_t>(next);
  }
  return c;
}

}  // namespace quillon
