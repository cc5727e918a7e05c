// A rows x columns matrix of 0/1 entries. As a basis matrix of a scheme, row r belongs to
// participant r, column j is one sub-pixel, and an entry 1 is a black sub-pixel; the general
// access structure also keeps sets of participants in one, a 0/1 membership row per set.
//
// Entries are bits: Set stores any non-zero value as 1, and Get answers 0 or 1. Each row is
// packed 64 columns to a word, so the widest pairs (millions of columns) take a few
// megabytes, and a column is also available as a code, bit r for row r.
//
// A matrix is a plain value: copies are independent. Not safe to change from two threads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/bits.h"

namespace quillon {

class RandomSource;

class BasisMatrix {
 public:
  // Negative sizes are taken as 0. New entries are zero.
  BasisMatrix(int32_t rows, int32_t cols);
  virtual ~BasisMatrix() = default;

  BasisMatrix(const BasisMatrix&) = default;
  BasisMatrix& operator=(const BasisMatrix&) = default;
  BasisMatrix(BasisMatrix&&) = default;
  BasisMatrix& operator=(BasisMatrix&&) = default;

  int32_t Rows() const { return static_cast<int32_t>(m_rows.size()); }
  int32_t Cols() const { return m_cols; }

  // Not range-checked: the caller keeps 0 <= row < Rows() and 0 <= col < Cols().
  int32_t Get(int32_t row, int32_t col) const {
    return static_cast<int32_t>((m_rows[row][col >> 6] >> (col & 63)) & 1u);
  }
  // Stores 1 for any non-zero value.
  void Set(int32_t row, int32_t col, int32_t value) {
    const uint64_t bit = uint64_t{1} << (col & 63);
    uint64_t& word = m_rows[row][col >> 6];
    word = value != 0 ? (word | bit) : (word & ~bit);
  }

  // The editing operations ignore positions outside their ranges. values are read as Set
  // reads them.
  void RemoveColumn(int32_t col);
  void RemoveRow(int32_t row);
  // values holds Cols() entries; position Rows() appends.
  void InsertRow(int32_t position, const int32_t* values);
  // values holds Rows() entries; position Cols() appends.
  void InsertColumn(int32_t position, const int32_t* values);

  // Keeps the columns whose flag is set, in their order; keep holds Cols() flags.
  void KeepColumns(const std::vector<bool>& keep);

  // Reorders the columns uniformly at random by Shuffle, each choice a RandBelow from random:
  // Cols() - 1 choices, none for a matrix of 0 or 1 columns.
  void PermuteColumns(RandomSource& random);

  // The column code: bit r is entry (r, col). Needs Rows() <= 32.
  uint32_t ColumnCode(int32_t col) const;
  // Every column's code, out[j] for column j; Code must hold Rows() bits.
  template <typename Code>
  void ColumnCodes(Code* out) const;

  bool operator==(const BasisMatrix& other) const;

  // Writes a matrix column by column from codes: the matrix is made at its final width
  // first, then Put(code) fills columns 0, 1, ... in turn (bit r of code is row r). The
  // columns are stored when 64 are ready, at Flush and when the writer ends: flush before
  // the matrix is returned or copied, since a returned copy may be taken before the end.
  class ColumnWriter {
   public:
    explicit ColumnWriter(BasisMatrix& matrix) : m_matrix(matrix) {}
    ~ColumnWriter() { Flush(); }
    ColumnWriter(const ColumnWriter&) = delete;
    ColumnWriter& operator=(const ColumnWriter&) = delete;

    void Put(uint64_t code) {
      m_codes[m_count++] = code;
      if (m_count == 64)
        Flush();
    }
    void Flush();

   private:
    BasisMatrix& m_matrix;
    uint64_t m_codes[64];
    int m_count = 0;
    int64_t m_word = 0;
  };

 private:
  static size_t Words(int64_t cols) { return static_cast<size_t>((cols + 63) / 64); }
  // Clears the bits past the last column, so that whole rows compare equal.
  void ClearTail();

  std::vector<std::vector<uint64_t>> m_rows;
  int32_t m_cols;
};

template <typename Code>
void BasisMatrix::ColumnCodes(Code* out) const {
  const int32_t rows = Rows();
  for (int64_t w = 0; w * 64 < m_cols; ++w) {
    const int n = static_cast<int>(m_cols - w * 64 < 64 ? m_cols - w * 64 : 64);
    uint64_t codes[64] = {};
    // Eight rows by eight columns at a time: byte j is row 8 * lane + j; transposed, byte i
    // is column 8 * g + i.
    for (int32_t lane = 0; lane * 8 < rows; ++lane) {
      for (int g = 0; g * 8 < n; ++g) {
        uint64_t x = 0;
        for (int j = 0; j < 8 && lane * 8 + j < rows; ++j)
          x |= ((m_rows[lane * 8 + j][w] >> (8 * g)) & 0xFF) << (8 * j);
        x = Transpose8(x);
        for (int i = 0; i < 8 && g * 8 + i < n; ++i)
          codes[g * 8 + i] |= ((x >> (8 * i)) & 0xFF) << (8 * lane);
      }
    }
    for (int i = 0; i < n; ++i)
      out[w * 64 + i] = static_cast<Code>(codes[i]);
  }
}

}  // namespace quillon
