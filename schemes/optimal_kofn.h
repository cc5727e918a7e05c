// The contrast-optimal (k,n)-threshold scheme. Among the schemes whose S0 and S1 hold every
// column of a weight w equally often, the best contrast of k stacked shares is the optimum of
// a linear program over those frequencies: the (k-1)-sets must see the same column patterns
// in S0 and S1, and the contrast of a k-set is maximized. Its optimum is the best contrast
// known for (k,n) (Hofmeister, Krause and Simon). The pair is built from an optimal solution
// over the common denominator of its frequencies, which is the pixel expansion m. Pure
// functions: nothing shared, safe from any thread.
#pragma once

#include <cstdint>
#include <vector>

#include "core/basis_matrix.h"
#include "schemes/exact_lp.h"

namespace quillon {

// Participants the program is solved for; beyond that the pairs get too wide to build.
constexpr int kMaxOptimalParticipants = 12;

struct OptimalKofN {
  bool solved = false;  // false outside 2 <= k <= n <= kMaxOptimalParticipants, or on overflow
  int n = 0;
  int k = 0;
  Rational contrast;           // (h - l) / m of any k participants: the program's optimum
  std::vector<int64_t> white;  // white[w]: copies of every weight-w column in S0, w = 0..n
  std::vector<int64_t> black;  // the same for S1
  int64_t m = 0;               // sum over w of binom(n, w) * (white[w]) = the same for black
};

// Solves the program exactly. Of the optimal vertices it keeps one with the smallest common
// denominator, so m is as small as a weight-symmetric optimal scheme from a vertex allows.
OptimalKofN SolveOptimalKofN(int n, int k);

// The pair: for every column code in increasing order (bit r = row r), as many copies as its
// weight asks, in S0 and in S1. Needs a solved result; the caller checks m against its limits.
void BuildOptimalKofNPair(const OptimalKofN& optimal, BasisMatrix& s1, BasisMatrix& s0);

}  // namespace quillon
