#include "schemes/kofn.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <limits>
#include <unordered_map>
#include <vector>

#include "schemes/threshold.h"

namespace quillon {

namespace {

constexpr int64_t kInt32Max = std::numeric_limits<int32_t>::max();

// The width of the (k,n) matrices built from a, or -1 when a cannot be used: too few rows,
// a value outside 0..k-1 among the participants' rows, or a width beyond 32 bits.
int64_t KofNWidth(const ArrangementTable& a, int32_t k, int32_t rows) {
  if (a.Cols() == 0)
    return 0;
  if (k < 1 || k > 31 || rows > a.Rows())
    return -1;
  const int64_t width = (int64_t{1} << (k - 1)) * a.Cols();
  if (width > kInt32Max)
    return -1;
  for (int32_t i = 0; i < a.Cols(); ++i) {
    for (int32_t t = 0; t < rows; ++t) {
      if (a.Get(t, i) < 0 || a.Get(t, i) >= k)
        return -1;
    }
  }
  return width;
}

// For every arrangement i (column of a), in order, and every set v of the rows of the (k,k)
// basis E in increasing order, calls visit(black, code): code holds the participants dealt
// a row of v, which is E's column v dealt by the arrangement, and black is the parity of v
// (the odd sets are S1's columns, the even ones S0's). rows <= 32.
template <typename Visit>
void ForEachKofNColumn(const ArrangementTable& a, int32_t k, int32_t rows, Visit visit) {
  // The union of a set of rows is the union over its low half and over its high half, each
  // looked up in a small table built one place at a time.
  const int32_t low = k / 2;
  std::vector<uint32_t> places(k), lower(size_t{1} << low), upper(size_t{1} << (k - low));
  const size_t lowMask = lower.size() - 1;
  const size_t sets = size_t{1} << k;
  for (int32_t i = 0; i < a.Cols(); ++i) {
    // places[v]: the participants to whom arrangement i deals row v of E.
    std::fill(places.begin(), places.end(), 0u);
    for (int32_t t = 0; t < rows; ++t)
      places[a.Get(t, i)] |= uint32_t{1} << t;
    for (size_t v = 1; v < lower.size(); ++v)
      lower[v] = lower[v & (v - 1)] | places[std::countr_zero(v)];
    for (size_t v = 1; v < upper.size(); ++v)
      upper[v] = upper[v & (v - 1)] | places[low + std::countr_zero(v)];
    for (size_t v = 0; v < sets; ++v)
      visit((std::popcount(v) & 1) != 0, lower[v & lowMask] | upper[v >> low]);
  }
}

BasisMatrix BuildKofN(const ArrangementTable& a, int32_t k, int32_t n, bool black) {
  const int32_t rows = std::max(n, 0);
  const int64_t width = KofNWidth(a, k, rows);
  if (width <= 0 || rows > 32)
    return BasisMatrix(rows, 0);
  BasisMatrix s(rows, static_cast<int32_t>(width));
  BasisMatrix::ColumnWriter writer(s);
  ForEachKofNColumn(a, k, rows, [&](bool isBlack, uint32_t code) {
    if (isBlack == black)
      writer.Put(code);
  });
  writer.Flush();
  return s;
}

bool SameColumn(const BasisMatrix& a, int32_t i, const BasisMatrix& b, int32_t j, int32_t rows) {
  for (int32_t r = 0; r < rows; ++r) {
    if (a.Get(r, i) != b.Get(r, j))
      return false;
  }
  return true;
}

// Pairs every column of S0, left to right, with the leftmost unpaired equal column of S1.
void CancelPairwise(BasisMatrix& s1, BasisMatrix& s0, int32_t rows) {
  std::vector<bool> keep0(s0.Cols(), true), keep1(s1.Cols(), true);
  for (int32_t i = 0; i < s0.Cols(); ++i) {
    for (int32_t j = 0; j < s1.Cols(); ++j) {
      if (keep1[j] && SameColumn(s0, i, s1, j, rows)) {
        keep0[i] = false;
        keep1[j] = false;
        break;
      }
    }
  }
  s0.KeepColumns(keep0);
  s1.KeepColumns(keep1);
}

struct PatternCounts {
  int32_t in0 = 0;
  int32_t in1 = 0;
  int32_t removed0 = 0;
  int32_t removed1 = 0;
};

// counts(code) gives the PatternCounts slot of a code.
template <typename Lookup>
void CancelByCounting(BasisMatrix& s1, BasisMatrix& s0, const std::vector<uint64_t>& codes1,
                      const std::vector<uint64_t>& codes0, Lookup counts) {
  for (uint64_t code : codes0)
    ++counts(code).in0;
  for (uint64_t code : codes1)
    ++counts(code).in1;
  std::vector<bool> keep0(codes0.size(), true), keep1(codes1.size(), true);
  for (size_t j = 0; j < codes0.size(); ++j) {
    PatternCounts& c = counts(codes0[j]);
    if (c.removed0 < std::min(c.in0, c.in1)) {
      ++c.removed0;
      keep0[j] = false;
    }
  }
  for (size_t j = 0; j < codes1.size(); ++j) {
    PatternCounts& c = counts(codes1[j]);
    if (c.removed1 < std::min(c.in0, c.in1)) {
      ++c.removed1;
      keep1[j] = false;
    }
  }
  s0.KeepColumns(keep0);
  s1.KeepColumns(keep1);
}

}  // namespace

int32_t ArrangementLength(int32_t n, int32_t k) {
  if (k < 1 || n < 0)
    return 0;
  const int64_t q = (int64_t{n} + k - 1) / k * k;
  return q > kInt32Max ? 0 : static_cast<int32_t>(q);
}

int64_t ArrangementCount(int32_t q, int32_t k) {
  if (k < 1 || q < 0 || q % k != 0)
    return 0;
  const int32_t s = q / k;
  // q! / (s!)^k as a product of binomials: choose the places of each value in turn.
  int64_t count = 1;
  for (int32_t i = 0; i < k; ++i) {
    if (__builtin_mul_overflow(count, Binomial(q - int64_t{i} * s, s), &count)) {
      return std::numeric_limits<int64_t>::max();
    }
  }
  return count;
}

int64_t KofNColumnCount(int32_t n, int32_t k) {
  if (k < 1 || n < 0)
    return 0;
  const int64_t arrangements = ArrangementCount(ArrangementLength(n, k), k);
  if (k > 62)
    return arrangements == 0 ? 0 : std::numeric_limits<int64_t>::max();
  int64_t count;
  if (__builtin_mul_overflow(arrangements, int64_t{1} << (k - 1), &count)) {
    return std::numeric_limits<int64_t>::max();
  }
  return count;
}

ArrangementTable BuildArrangements(int32_t q, int32_t k) {
  const int64_t count = ArrangementCount(q, k);
  if (count == 0 || count > kInt32Max)
    return ArrangementTable(std::max(q, 0), 0);

  // The smallest rank giving an arrangement t picks its digits from place q-1 down, so the
  // ranks first meet the arrangements in lexicographic order of (t[q-1], ..., t[0]).
  std::vector<int32_t> reversed(q);
  for (int32_t p = 0; p < q; ++p)
    reversed[p] = p / (q / k);
  ArrangementTable a(q, static_cast<int32_t>(count));
  int32_t col = 0;
  do {
    for (int32_t t = 0; t < q; ++t)
      a.Set(t, col, reversed[q - 1 - t]);
    ++col;
  } while (std::next_permutation(reversed.begin(), reversed.end()));
  return a;
}

BasisMatrix BuildKofNS0(const ArrangementTable& a, int32_t k, int32_t n) {
  return BuildKofN(a, k, n, false);
}

BasisMatrix BuildKofNS1(const ArrangementTable& a, int32_t k, int32_t n) {
  return BuildKofN(a, k, n, true);
}

void CancelCommonColumns(BasisMatrix& s1, BasisMatrix& s0) {
  const int32_t rows = s0.Rows();
  if (s1.Rows() < rows || s0.Cols() == 0 || s1.Cols() == 0)
    return;
  if (rows > 64) {
    CancelPairwise(s1, s0, rows);
    return;
  }
  // S1's rows beyond S0's are not compared.
  BasisMatrix top1 = s1;
  while (top1.Rows() > rows)
    top1.RemoveRow(top1.Rows() - 1);
  std::vector<uint64_t> codes0(s0.Cols()), codes1(s1.Cols());
  s0.ColumnCodes(codes0.data());
  top1.ColumnCodes(codes1.data());
  if (rows <= 20) {
    std::vector<PatternCounts> table(size_t{1} << rows);
    CancelByCounting(s1, s0, codes1, codes0,
                     [&table](uint64_t code) -> PatternCounts& { return table[code]; });
  } else {
    std::unordered_map<uint64_t, PatternCounts> table;
    CancelByCounting(s1, s0, codes1, codes0,
                     [&table](uint64_t code) -> PatternCounts& { return table[code]; });
  }
}

void BuildKofNPair(const ArrangementTable& a, int32_t k, int32_t n, BasisMatrix& s1,
                   BasisMatrix& s0) {
  const int32_t rows = std::max(n, 0);
  if (rows > kMaxPairRows || KofNWidth(a, k, rows) <= 0) {
    s1 = BasisMatrix(rows, 0);
    s0 = BasisMatrix(rows, 0);
    return;
  }
  // Both matrices from one pass over the arrangements.
  const auto generate = [&](auto visit) { ForEachKofNColumn(a, k, rows, visit); };
  BuildCancelledPair(rows, generate, s1, s0);
}

}  // namespace quillon
