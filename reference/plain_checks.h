// The two properties of a visual cryptography scheme checked the plain way, set by set and
// column by column: what the analysis (schemes/analysis.h) counts fast is checked against
// these. For tests and benchmarks only. Pure functions of their arguments.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/basis_matrix.h"

namespace quillon::reference {

// Number of columns that are black in at least one row of the set (bit t = row t).
inline int64_t StackedBlack(const BasisMatrix& m, uint32_t set) {
  int64_t black = 0;
  for (int32_t c = 0; c < m.Cols(); ++c) {
    bool any = false;
    for (int32_t r = 0; r < m.Rows() && !any; ++r)
      any = ((set >> r) & 1u) && m.Get(r, c) != 0;
    black += any;
  }
  return black;
}

// The columns of m restricted to the rows of the set, as sorted codes: what the set's
// participants see, up to the order of the sub-pixels.
inline std::vector<uint32_t> SeenPatterns(const BasisMatrix& m, uint32_t set) {
  std::vector<uint32_t> patterns(m.Cols(), 0);
  for (int32_t r = 0; r < m.Rows(); ++r) {
    if (!((set >> r) & 1u))
      continue;
    for (int32_t c = 0; c < m.Cols(); ++c)
      patterns[c] |= uint32_t(m.Get(r, c) != 0) << r;
  }
  std::sort(patterns.begin(), patterns.end());
  return patterns;
}

// Returns the first set violating the properties ("" when none): a qualified set must see
// more black in S1 than in S0, a forbidden set the same column patterns in both.
inline std::string FirstViolation(const BasisMatrix& s0, const BasisMatrix& s1,
                                  const std::function<bool(uint32_t)>& qualified) {
  if (s0.Rows() != s1.Rows() || s0.Cols() != s1.Cols())
    return "sizes differ";
  for (uint32_t set = 1; set < (uint32_t{1} << s0.Rows()); ++set) {
    const bool ok = qualified(set) ? StackedBlack(s1, set) > StackedBlack(s0, set)
                                   : SeenPatterns(s0, set) == SeenPatterns(s1, set);
    if (!ok)
      return (qualified(set) ? "qualified set " : "forbidden set ") + std::to_string(set);
  }
  return "";
}

}  // namespace quillon::reference
