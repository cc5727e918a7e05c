// Small helpers for the scheme tests: matrices as text, and the two visual-cryptography
// properties checked on a basis-matrix pair (reference/plain_checks.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/basis_matrix.h"
#include "reference/plain_checks.h"
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

// The plain checks of the visual-cryptography properties, as the tests call them.
using reference::FirstViolation;
using reference::SeenPatterns;
using reference::StackedBlack;

}  // namespace quillon::testing
