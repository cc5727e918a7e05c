#include "core/basis_matrix.h"

#include <algorithm>
#include <numeric>
#include <utility>

#include "core/bits.h"
#include "core/random.h"

namespace quillon {

BasisMatrix::BasisMatrix(int32_t rows, int32_t cols)
    : m_rows(std::max(rows, 0), std::vector<uint64_t>(Words(std::max(cols, 0)))),
      m_cols(std::max(cols, 0)) {}

void BasisMatrix::ClearTail() {
  if (m_cols % 64 == 0)
    return;
  const uint64_t keep = (uint64_t{1} << (m_cols % 64)) - 1;
  for (auto& row : m_rows)
    row.back() &= keep;
}

void BasisMatrix::RemoveColumn(int32_t col) {
  if (col < 0 || col >= m_cols)
    return;
  std::vector<bool> keep(m_cols, true);
  keep[col] = false;
  KeepColumns(keep);
}

void BasisMatrix::RemoveRow(int32_t row) {
  if (row < 0 || row >= Rows())
    return;
  m_rows.erase(m_rows.begin() + row);
}

void BasisMatrix::InsertRow(int32_t position, const int32_t* values) {
  if (position < 0 || position > Rows())
    return;
  std::vector<uint64_t> row(Words(m_cols));
  for (int32_t j = 0; j < m_cols; ++j) {
    if (values[j] != 0)
      row[j >> 6] |= uint64_t{1} << (j & 63);
  }
  m_rows.insert(m_rows.begin() + position, std::move(row));
}

void BasisMatrix::InsertColumn(int32_t position, const int32_t* values) {
  if (position < 0 || position > m_cols)
    return;
  const int32_t cols = m_cols + 1;
  for (int32_t r = 0; r < Rows(); ++r) {
    std::vector<uint64_t>& row = m_rows[r];
    row.resize(Words(cols));
    // Bits from position on move one place up, the top word first.
    const size_t at = static_cast<size_t>(position >> 6);
    for (size_t w = row.size() - 1; w > at; --w)
      row[w] = (row[w] << 1) | (row[w - 1] >> 63);
    const uint64_t low = (uint64_t{1} << (position & 63)) - 1;
    row[at] = (row[at] & low) | ((row[at] & ~low) << 1);
    if (values[r] != 0)
      row[position >> 6] |= uint64_t{1} << (position & 63);
  }
  m_cols = cols;
  ClearTail();
}

void BasisMatrix::KeepColumns(const std::vector<bool>& keep) {
  int32_t kept = 0;
  for (int32_t j = 0; j < m_cols; ++j)
    kept += keep[j] ? 1 : 0;
  for (auto& row : m_rows) {
    std::vector<uint64_t> out(Words(kept));
    int32_t next = 0;
    for (int32_t j = 0; j < m_cols; ++j) {
      if (!keep[j])
        continue;
      if ((row[j >> 6] >> (j & 63)) & 1u)
        out[next >> 6] |= uint64_t{1} << (next & 63);
      ++next;
    }
    row = std::move(out);
  }
  m_cols = kept;
}

void BasisMatrix::PermuteColumns(RandomSource& random) {
  const int32_t c = m_cols;
  std::vector<int32_t> order(c);
  std::iota(order.begin(), order.end(), 0);
  Shuffle(
      c, [&](uint32_t bound) { return RandBelow(random, static_cast<int32_t>(bound)); },
      [&](int64_t i, int64_t j) { std::swap(order[i], order[j]); });
  for (auto& row : m_rows) {
    std::vector<uint64_t> moved(row.size());
    for (int32_t p = 0; p < c; ++p) {
      const int32_t j = order[p];
      moved[p >> 6] |= ((row[j >> 6] >> (j & 63)) & 1u) << (p & 63);
    }
    row = std::move(moved);
  }
}

uint32_t BasisMatrix::ColumnCode(int32_t col) const {
  uint32_t code = 0;
  for (int32_t r = 0; r < Rows(); ++r)
    code |= static_cast<uint32_t>(Get(r, col)) << r;
  return code;
}

bool BasisMatrix::operator==(const BasisMatrix& other) const {
  return m_cols == other.m_cols && m_rows == other.m_rows;
}

void BasisMatrix::ColumnWriter::Flush() {
  if (m_count == 0)
    return;
  const int32_t rows = m_matrix.Rows();
  for (int32_t lane = 0; lane * 8 < rows; ++lane) {
    uint64_t words[8] = {};
    for (int g = 0; g * 8 < m_count; ++g) {
      // Byte i: rows 8 * lane .. + 7 of column 8 * g + i; transposed, byte j is row
      // 8 * lane + j over those eight columns.
      uint64_t x = 0;
      for (int i = 0; i < 8 && g * 8 + i < m_count; ++i)
        x |= ((m_codes[g * 8 + i] >> (8 * lane)) & 0xFF) << (8 * i);
      x = Transpose8(x);
      for (int j = 0; j < 8; ++j)
        words[j] |= ((x >> (8 * j)) & 0xFF) << (8 * g);
    }
    for (int j = 0; j < 8 && lane * 8 + j < rows; ++j)
      m_matrix.m_rows[lane * 8 + j][m_word] = words[j];
  }
  ++m_word;
  m_count = 0;
}

}  // namespace quillon
