// Small helpers for the scheme tests: matrices as text and the two visual-cryptography
// properties checked on a basis-matrix pair.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/basis_matrix.h"
#include "schemes/kofn.h"

namespace quillon::testing {

// The largest builds take too long under the sanitizers; those tests skip there.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitizedBuild = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(undefined_behavior_sanitizer)
constexpr bool kSanitizedBuild = true;
#else
constexpr bool kSanitizedBuild = false;
#endif
#else
constexpr bool kSanitizedBuild = false;
#endif

// Rows separated by '/', entries as digits: "0110/0101/0011". A row-less matrix is "".
// Any table with Rows, Cols and Get: basis matrices and arrangement tables.
template <typename Table>
std::string ToText(const Table& m) {
  std::string text;
  for (int32_t r = 0; r < m.Rows(); ++r) {
    if (r > 0)
      text += '/';
    for (int32_t c = 0; c < m.Cols(); ++c)
      text += std::to_string(m.Get(r, c));
  }
  return text;
}

// The inverse of ToText for single-digit entries; spaces are ignored.
inline BasisMatrix FromText(const std::string& text) {
  std::vector<std::vector<int32_t>> rows(1);
  for (char ch : text) {
    if (ch == '/') {
      rows.emplace_back();
    } else if (ch != ' ') {
      rows.back().push_back(ch - '0');
    }
  }
  BasisMatrix m(static_cast<int32_t>(rows.size()), static_cast<int32_t>(rows[0].size()));
  for (size_t r = 0; r < rows.size(); ++r) {
    for (size_t c = 0; c < rows[r].size(); ++c) {
      m.Set(static_cast<int32_t>(r), static_cast<int32_t>(c), rows[r][c]);
    }
  }
  return m;
}

// The same text as an arrangement table, whose entries may be any digit.
inline ArrangementTable ArrangementsFromText(const std::string& text) {
  const BasisMatrix shape = FromText(text);
  ArrangementTable a(shape.Rows(), shape.Cols());
  int32_t r = 0, c = 0;
  for (char ch : text) {
    if (ch == '/') {
      ++r;
      c = 0;
    } else if (ch != ' ') {
      a.Set(r, c++, ch - '0');
    }
  }
  return a;
}

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

}  // namespace quillon::testing
