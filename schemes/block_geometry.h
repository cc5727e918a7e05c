// Block geometry of the expansion methods: the block sides that follow from a basis matrix's
// column count, and the size of the shares a method makes. Encoding (shares/) and exact
// decoding (combine/) both read it, so it sits below both. Pure functions, safe from any
// thread.
#pragma once

#include <cstdint>

#include "core/kinds.h"
#include "schemes/method_table.h"

namespace quillon {

// The smallest f >= 1 for which f * c is a perfect square, found by testing the square root
// of i * c in double precision for i = 1, 2, ...; c for c <= 1 or when no i below c passes.
int64_t SmallestSquareFactor(int64_t c);

// sqrt(f * c) with f = SmallestSquareFactor(c): the block side of pixel sampling, the
// smallest square without filler and the extended preserve-detail method (there of c + m).
int64_t SquareBlockSide(int64_t c);

// ceil(sqrt(c)): the block side of the smallest square with filler.
int64_t FillerBlockSide(int64_t c);

// The method's block side for a pair of m x c basis matrices, by its row's BlockSide over
// its columns (c, plus m with innocent images); 1 for the methods without blocks.
int64_t MethodBlockSide(ExpansionMethod method, int64_t m, int64_t c);

struct ShareSize {
  int64_t width = 0;
  int64_t height = 0;
};

// The size of every share that the method makes from a width x height secret and a pair of
// m x c basis matrices: s times the secret's size, or the secret's size cut to whole s x s
// blocks for a sampling method. Computed in 64 bits, so that oversized shares can be
// refused. Needs c >= 1.
ShareSize MethodShareSize(ExpansionMethod method, int64_t width, int64_t height, int64_t m,
                          int64_t c);

// Whether a 1-bit BMP of that size can be held and written: both sides within int32, and
// pixel data plus the 62 bytes of headers and colour table within 2^31 - 1 bytes.
bool ShareSizeFits(const ShareSize& size);

}  // namespace quillon
