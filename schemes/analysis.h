// What a basis-matrix pair gives each set of participants: the black sub-pixels of its
// stacked rows for a white (l) and a black (h) secret pixel, and, for a forbidden set,
// whether S0 and S1 restricted to its rows hold the same columns the same number of times
// (then its shares tell nothing about the secret). Everything is counted exactly. The
// functions only read their arguments: safe from any thread.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "core/basis_matrix.h"
#include "schemes/exact_lp.h"
#include "schemes/scheme_pair.h"

namespace quillon {

// Rows analysed at most: every one of the 2^rows - 1 sets is examined.
constexpr int kMaxAnalysisRows = 12;

struct SetAnalysis {
  uint32_t members = 0;  // bit t: participant t (row t)
  bool qualified = false;
  int64_t l = 0;       // black sub-pixels of the stacked rows of S0
  int64_t h = 0;       // the same for S1
  bool secure = true;  // forbidden sets: S0 and S1 look the same to them
};

struct SchemeAnalysis {
  bool analysed = false;  // false when the pair cannot be analysed (sizes, rows)
  int32_t n = 0;
  int64_t m = 0;
  std::vector<SetAnalysis> sets;  // members = 1 .. 2^n - 1, in increasing order
  bool hasQualified = false;
  Rational minContrast;  // smallest (h - l) / m over the qualified sets (0 without any)
  bool allSecure = true;
};

// Whether a set of participants may see the secret under the scheme's access structure:
// at least two (2of2, 2ofn), all n (nofn), at least k (kofn), or a superset of a chosen
// minimal qualified set (general; participants the sets name beyond n count as absent).
bool SchemeQualifies(const SchemeParams& params, uint32_t members);

// Analyses the pair against the given access structure. Needs s0 and s1 of equal size with
// 1 to kMaxAnalysisRows rows; otherwise answers analysed = false. Entries other than 0 count
// as black. Reads the matrices only through Rows, Cols and Get.
SchemeAnalysis AnalyzePair(const BasisMatrix& s0, const BasisMatrix& s1,
                           const std::function<bool(uint32_t)>& qualified);

}  // namespace quillon
