// The basis-matrix pairs of the simple threshold schemes: (2,2), (2,n) and (n,n). Row r is
// participant r, column j a sub-pixel; the column order is part of each result. The (n,n)
// pair is also the building block of the (k,n) and general constructions.
#pragma once

#include <cstdint>
#include <vector>

#include "core/basis_matrix.h"

namespace quillon {

// 2 x 2: rows [0 1] / [0 1] (white) and [0 1] / [1 0] (black).
BasisMatrix Build2of2S0();
BasisMatrix Build2of2S1();

// n x binom(n, n/2). S0: binom(n-1, h) all-white columns, then all-black ones. S1: every
// column with exactly h = n/2 ones, in increasing column code. Meant for n >= 2.
BasisMatrix Build2ofNS0(int32_t n);
BasisMatrix Build2ofNS1(int32_t n);

// n x 2^(n-1): every column of even (S0) or odd (S1) weight once, in increasing column
// code (bit r of the code is row r). 0 x 0 for n <= 0. Meant for n <= 25;
// n > 31 cannot be represented and gives no columns.
BasisMatrix BuildNofNS0(int32_t n);
BasisMatrix BuildNofNS1(int32_t n);

// The column codes of BuildNofNS0 (odd false) or BuildNofNS1 (odd true), in column order.
std::vector<uint32_t> NofNColumnCodes(int32_t n, bool odd);

// a! for a >= 2 and 1 for a <= 1. Exact up to 12!; larger values wrap modulo 2^32.
int32_t Factorial(int32_t a);

// binom(n, n/2), computed exactly (fits for n <= 33).
int32_t CentralBinomial(int32_t n);

// binom(a, b) in 64 bits, 0 when b < 0 or b > a; results beyond 64 bits give INT64_MAX.
int64_t Binomial(int64_t a, int64_t b);

}  // namespace quillon
