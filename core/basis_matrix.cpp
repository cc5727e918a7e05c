#include "core/basis_matrix.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdlib>
#include <new>
#include <numeric>

#include "core/random.h"

namespace quillon {
namespace {

constexpr size_t kHugePage = size_t{2} << 20;
// Rows from a quarter of a huge page on take whole huge pages: a matrix has few rows, so the
// rounding costs little, and faulting in 4 KiB pages costs more than filling them.
constexpr size_t kHugeRowBytes = kHugePage / 4;

size_t RoundToHugePages(size_t bytes) {
  return (bytes + kHugePage - 1) / kHugePage * kHugePage;
}

}  // namespace

template <typename T>
void* LargeRowAllocator<T>::AllocateRowBytes(size_t bytes) {
  if (bytes < kHugeRowBytes)
    return ::operator new(bytes);
  const size_t rounded = RoundToHugePages(bytes);
  void* p = std::aligned_alloc(kHugePage, rounded);
  if (p == nullptr)
    throw std::bad_alloc();
  madvise(p, rounded, MADV_HUGEPAGE);  // only advice: without huge pages it still works
  return p;
}

template <typename T>
void LargeRowAllocator<T>::FreeRowBytes(void* p, size_t bytes) {
  if (bytes < kHugeRowBytes) {
    ::operator delete(p);
  } else {
    std::free(p);
  }
}

template struct LargeRowAllocator<int32_t>;

BasisMatrix::BasisMatrix(int32_t rows, int32_t cols)
    : m_rows(std::max(rows, 0),
             std::vector<int32_t, LargeRowAllocator<int32_t>>(std::max(cols, 0))),
      m_cols(std::max(cols, 0)) {}

void BasisMatrix::RemoveColumn(int32_t col) {
  if (col < 0 || col >= m_cols)
    return;
  for (auto& row : m_rows)
    row.erase(row.begin() + col);
  --m_cols;
}

void BasisMatrix::RemoveRow(int32_t row) {
  if (row < 0 || row >= Rows())
    return;
  m_rows.erase(m_rows.begin() + row);
}

void BasisMatrix::InsertRow(int32_t position, const int32_t* values) {
  if (position < 0 || position > Rows())
    return;
  m_rows.emplace(m_rows.begin() + position, values, values + m_cols);
}

void BasisMatrix::InsertColumn(int32_t position, const int32_t* values) {
  if (position < 0 || position > m_cols)
    return;
  for (int32_t r = 0; r < Rows(); ++r)
    m_rows[r].insert(m_rows[r].begin() + position, values[r]);
  ++m_cols;
}

void BasisMatrix::KeepColumns(const std::vector<bool>& keep) {
  int32_t kept = 0;
  for (auto& row : m_rows) {
    kept = 0;
    for (int32_t j = 0; j < m_cols; ++j) {
      if (keep[j])
        row[kept++] = row[j];
    }
    row.resize(kept);
  }
  if (m_rows.empty()) {
    kept = static_cast<int32_t>(std::count(keep.begin(), keep.begin() + m_cols, true));
  }
  m_cols = kept;
}

void BasisMatrix::PermuteColumns() {
  const int32_t c = m_cols;
  std::vector<int32_t> order(c);
  std::iota(order.begin(), order.end(), 0);
  Shuffle(
      c, [](uint32_t bound) { return RandBelow(static_cast<int32_t>(bound)); },
      [&](int64_t i, int64_t j) { std::swap(order[i], order[j]); });
  std::vector<int32_t> moved(c);
  for (auto& row : m_rows) {
    for (int32_t p = 0; p < c; ++p)
      moved[p] = row[order[p]];
    std::copy(moved.begin(), moved.end(), row.begin());
  }
}

uint64_t BasisMatrix::ColumnCode(int32_t col) const {
  uint64_t code = 0;
  for (int32_t r = 0; r < Rows(); ++r) {
    if (m_rows[r][col] != 0)
      code |= uint64_t{1} << r;
  }
  return code;
}

bool BasisMatrix::operator==(const BasisMatrix& other) const {
  return m_cols == other.m_cols && m_rows == other.m_rows;
}

}  // namespace quillon
