// The (k,n)-threshold pair: the (k,k) pair lifted to n participants through the matrix of
// every arrangement of the row numbers 0..k-1 over q places, then the reduction that
// removes the columns S0 and S1 have in common (shared with the general scheme).
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "core/basis_matrix.h"

namespace quillon {

// q = k * ceil(n / k), the smallest multiple of k not below n (k >= 1, n >= 0); 0 otherwise.
int32_t ArrangementLength(int32_t n, int32_t k);

// The number of columns of BuildArrangements(q, k): q! / ((q/k)!)^k when k >= 1 divides
// q >= 0, otherwise 0. Results beyond 64 bits give INT64_MAX.
int64_t ArrangementCount(int32_t q, int32_t k);

// Columns of the (k,n) pair before the reduction: ArrangementCount(q, k) * 2^(k-1) with
// q = ArrangementLength(n, k); 0 outside k >= 1, n >= 0. Results beyond 64 bits give INT64_MAX.
int64_t KofNColumnCount(int32_t n, int32_t k);

// A table of small integers, q rows by any number of columns: column i is one arrangement
// of the row numbers of the (k,k) basis over q places. Kept column by column.
class ArrangementTable {
 public:
  // Negative sizes are taken as 0. New entries are zero.
  ArrangementTable(int32_t rows, int32_t cols)
      : m_rows(std::max(rows, 0)),
        m_cols(std::max(cols, 0)),
        m_values(static_cast<size_t>(m_rows) * m_cols) {}
  int32_t Rows() const { return m_rows; }
  int32_t Cols() const { return m_cols; }
  // Not range-checked: 0 <= row < Rows(), 0 <= col < Cols(); values fit in 8 bits.
  int32_t Get(int32_t row, int32_t col) const {
    return m_values[static_cast<size_t>(col) * m_rows + row];
  }
  void Set(int32_t row, int32_t col, int32_t value) {
    m_values[static_cast<size_t>(col) * m_rows + row] = static_cast<int8_t>(value);
  }
  // Appends a column of Rows() values.
  void AppendColumn(const int32_t* values) {
    for (int32_t t = 0; t < m_rows; ++t)
      m_values.push_back(static_cast<int8_t>(values[t]));
    ++m_cols;
  }
  bool operator==(const ArrangementTable& other) const {
    return m_rows == other.m_rows && m_cols == other.m_cols && m_values == other.m_values;
  }

 private:
  int32_t m_rows;
  int32_t m_cols;
  std::vector<int8_t> m_values;
};

// q rows; column p lists one arrangement of the values 0..k-1, each q/k times. Every
// arrangement appears once, in the order in which the ranks 0, 1, ..., q!-1 of the
// factorial-base permutation (rank 0 reverses the sorted base, rank q!-1 keeps it) first
// produce it. A q x 0 table when k does not divide q or the count does not fit in 32 bits.
ArrangementTable BuildArrangements(int32_t q, int32_t k);

// n rows, a.Cols() * 2^(k-1) columns: for column i of a and column j of the (k,k) basis E,
// entry t is E[a[t][i]][j]. Needs rows 0..n-1 of a to hold values 0..k-1 (otherwise the
// result has no columns).
BasisMatrix BuildKofNS0(const ArrangementTable& a, int32_t k, int32_t n);
BasisMatrix BuildKofNS1(const ArrangementTable& a, int32_t k, int32_t n);

// For every column pattern, removes min(count in S0, count in S1) occurrences from both:
// the first ones in S0 and the first ones in S1; the remaining columns keep their order.
// Columns are compared in the rows of s0; if s1 has fewer rows nothing matches.
void CancelCommonColumns(BasisMatrix& s1, BasisMatrix& s0);

// The most participants the one-pass pair builders take: a column pattern in 16 bits.
constexpr int32_t kMaxPairRows = 16;

// BuildKofNS1, BuildKofNS0 and CancelCommonColumns in one: the same two matrices, built at
// their final width without ever holding the columns the reduction removes. Needs n <=
// kMaxPairRows; more gives two matrices without columns.
void BuildKofNPair(const ArrangementTable& a, int32_t k, int32_t n, BasisMatrix& s1,
                   BasisMatrix& s0);

// The pair that CancelCommonColumns leaves, built from column codes alone: generate(visit)
// calls visit(black, code) for every column of S1 (black) and of S0, each matrix's columns
// in column order, bit r of code being the entry in row r; the two matrices' columns may
// come interleaved. generate runs twice: once to count the patterns, once to write the
// columns kept. Needs 0 <= rows <= kMaxPairRows and widths below 2^31.
template <typename Generate>
void BuildCancelledPair(int32_t rows, Generate generate, BasisMatrix& s1, BasisMatrix& s0) {
  // [code][black]: the columns of each pattern, then how many of them still to skip.
  std::vector<std::array<int64_t, 2>> in(size_t{1} << rows), skip(size_t{1} << rows);
  generate([&in](bool black, uint32_t code) { ++in[code][black]; });
  int64_t width[2] = {0, 0};
  for (size_t code = 0; code < in.size(); ++code) {
    // The first min(in1, in0) columns of each pattern go, in both matrices.
    const int64_t common = std::min(in[code][0], in[code][1]);
    skip[code] = {common, common};
    width[0] += in[code][0] - common;
    width[1] += in[code][1] - common;
  }
  s1 = BasisMatrix(rows, static_cast<int32_t>(width[1]));
  s0 = BasisMatrix(rows, static_cast<int32_t>(width[0]));
  BasisMatrix::ColumnWriter writers[2] = {BasisMatrix::ColumnWriter(s0),
                                          BasisMatrix::ColumnWriter(s1)};
  generate([&](bool black, uint32_t code) {
    int64_t& left = skip[code][black];
    if (left > 0) {
      --left;
      return;
    }
    writers[black].Put(code);
  });
  writers[0].Flush();
  writers[1].Flush();
}

}  // namespace quillon
