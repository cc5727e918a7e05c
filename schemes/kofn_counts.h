// The (k,n) pair of the arrangement construction counted instead of built. Its arrangements
// are every way to deal the row numbers over the q places, so any permutation of the
// participants maps the pair onto itself: a column's count depends only on its weight, and
// those counts follow from binomial coefficients. This gives m and the contrast of the pairs
// too wide to build (up to 2^40 and more columns before the reduction). Pure functions.
#pragma once

#include <cstdint>
#include <vector>

#include "schemes/exact_lp.h"

namespace quillon {

struct WeightCounts {
  bool counted = false;  // false outside 1 <= k <= n <= 12, or beyond 64 bits
  int n = 0;
  std::vector<int64_t> white;  // white[w]: copies of every weight-w column in S0, w = 0..n
  std::vector<int64_t> black;  // the same for S1
  int64_t m = 0;               // columns of each matrix
};

// The pair that BuildKofNPair (construction and reduction) gives, as counts per weight.
WeightCounts KofNWeightCounts(int n, int k);

// (h - l) / m of any j participants of a pair given by its weight counts: a weight-w column
// stays white under j stacked rows in binom(n - j, w) of its binom(n, w) placements.
Rational WeightContrast(int n, const std::vector<int64_t>& white, const std::vector<int64_t>& black,
                        int64_t m, int j);

}  // namespace quillon
