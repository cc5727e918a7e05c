// A rows x columns table of 32-bit integers. As a basis matrix of a scheme, row r belongs
// to participant r, column j is one sub-pixel, and an entry 1 is a black sub-pixel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quillon {

// Row storage. The widest matrices hold millions of entries per row, and touching that much
// fresh memory page by page costs more than building it: rows of 512 KiB and more are asked
// for in huge pages.
template <typename T>
struct LargeRowAllocator {
  using value_type = T;
  LargeRowAllocator() = default;
  template <typename U>
  LargeRowAllocator(const LargeRowAllocator<U>&) {}
  T* allocate(std::size_t count) { return static_cast<T*>(AllocateRowBytes(count * sizeof(T))); }
  void deallocate(T* p, std::size_t count) { FreeRowBytes(p, count * sizeof(T)); }
  template <typename U>
  bool operator==(const LargeRowAllocator<U>&) const {
    return true;
  }
  static void* AllocateRowBytes(std::size_t bytes);
  static void FreeRowBytes(void* p, std::size_t bytes);
};

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
  int32_t Get(int32_t row, int32_t col) const { return m_rows[row][col]; }
  void Set(int32_t row, int32_t col, int32_t value) { m_rows[row][col] = value; }
  const int32_t* RowData(int32_t row) const { return m_rows[row].data(); }
  int32_t* RowData(int32_t row) { return m_rows[row].data(); }

  // The editing operations ignore positions outside their ranges.
  void RemoveColumn(int32_t col);
  void RemoveRow(int32_t row);
  // values holds Cols() entries; position Rows() appends.
  void InsertRow(int32_t position, const int32_t* values);
  // values holds Rows() entries; position Cols() appends.
  void InsertColumn(int32_t position, const int32_t* values);

  // Keeps the columns whose flag is set, in their order; keep holds Cols() flags.
  void KeepColumns(const std::vector<bool>& keep);

  // Reorders the columns uniformly at random by Shuffle, each choice a RandBelow: Cols() - 1
  // choices, none for a matrix of 0 or 1 columns.
  void PermuteColumns();

  // The column code: bit r is set when entry (r, col) is non-zero. Needs Rows() <= 64.
  uint64_t ColumnCode(int32_t col) const;

  bool operator==(const BasisMatrix& other) const;

 private:
  std::vector<std::vector<int32_t, LargeRowAllocator<int32_t>>> m_rows;
  int32_t m_cols;
};

}  // namespace quillon
