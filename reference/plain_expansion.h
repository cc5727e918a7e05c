// The reference of the seven methods: each written pixel by pixel with GetPixel, SetPixel and
// PermuteColumns, creating its own blank shares and drawing in the same number and order as
// the fast encoders (shares/expansion.h). Slow; for tests and benchmarks only, never linked
// into a program. Not thread-safe.
#pragma once

#include <vector>

#include "core/basis_matrix.h"
#include "core/bmp_image.h"
#include "core/kinds.h"
#include "core/random.h"

namespace quillon {

// The shares of the method for the secret, named "capa1.bmp", ...; innocents (at least the
// secret's size) are read only by the extended methods. S0 and S1 are left in the column
// order that the method's permutations reached.
std::vector<BmpImage> PlainShares(RandomSource& random, ExpansionMethod method,
                                  const BmpImage& secret, const std::vector<BmpImage>& innocents,
                                  BasisMatrix& s0, BasisMatrix& s1);

}  // namespace quillon
