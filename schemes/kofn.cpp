#include "schemes/kofn.h"

#include <algorithm>
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
int64_t KofNWidth(const BasisMatrix& a, int32_t k, int32_t rows) {
  if (a.Cols() == 0)
    return 0;
  if (k < 1 || k > 31 || rows > a.Rows())
    return -1;
  const int64_t width = (int64_t{1} << (k - 1)) * a.Cols();
  if (width > kInt32Max)
    return -1;
  for (int32_t t = 0; t < rows; ++t) {
    const int32_t* arrangement = a.RowData(t);
    for (int32_t i = 0; i < a.Cols(); ++i) {
      if (arrangement[i] < 0 || arrangement[i] >= k)
        return -1;
    }
  }
  return width;
}

BasisMatrix BuildKofN(const BasisMatrix& a, int32_t k, int32_t n, bool black) {
  const int32_t rows = std::max(n, 0);
  const int64_t width = KofNWidth(a, k, rows);
  if (width <= 0)
    return BasisMatrix(rows, 0);
  const int64_t per = int64_t{1} << (k - 1);

  const BasisMatrix e = black ? BuildNofNS1(k) : BuildNofNS0(k);
  BasisMatrix s(rows, static_cast<int32_t>(width));
  // Participant t's row is, block by block, the row of E that arrangement i deals to place t.
  for (int32_t t = 0; t < rows; ++t) {
    const int32_t* arrangement = a.RowData(t);
    int32_t* out = s.RowData(t);
    for (int32_t i = 0; i < a.Cols(); ++i) {
      const int32_t* source = e.RowData(arrangement[i]);
      std::copy(source, source + per, out + per * i);
    }
  }
  return s;
}

// Column codes over the first `rows` rows; false when an entry there is neither 0 nor 1,
// since codes would then merge columns that differ.
bool BinaryColumnCodes(const BasisMatrix& m, int32_t rows, std::vector<uint64_t>& codes) {
  codes.assign(m.Cols(), 0);
  for (int32_t r = 0; r < rows; ++r) {
    const int32_t* row = m.RowData(r);
    for (int32_t j = 0; j < m.Cols(); ++j) {
      if (static_cast<uint32_t>(row[j]) > 1u)
        return false;
      codes[j] |= static_cast<uint64_t>(row[j]) << r;
    }
  }
  return true;
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

BasisMatrix BuildArrangements(int32_t q, int32_t k) {
  const int64_t count = ArrangementCount(q, k);
  if (count == 0 || count > kInt32Max)
    return BasisMatrix(std::max(q, 0), 0);

  // The smallest rank giving an arrangement t picks its digits from place q-1 down, so the
  // ranks first meet the arrangements in lexicographic order of (t[q-1], ..., t[0]).
  std::vector<int32_t> reversed(q);
  for (int32_t p = 0; p < q; ++p)
    reversed[p] = p / (q / k);
  BasisMatrix a(q, static_cast<int32_t>(count));
  int32_t col = 0;
  do {
    for (int32_t t = 0; t < q; ++t)
      a.RowData(t)[col] = reversed[q - 1 - t];
    ++col;
  } while (std::next_permutation(reversed.begin(), reversed.end()));
  return a;
}

BasisMatrix BuildKofNS0(const BasisMatrix& a, int32_t k, int32_t n) {
  return BuildKofN(a, k, n, false);
}

BasisMatrix BuildKofNS1(const BasisMatrix& a, int32_t k, int32_t n) {
  return BuildKofN(a, k, n, true);
}

void CancelCommonColumns(BasisMatrix& s1, BasisMatrix& s0) {
  const int32_t rows = s0.Rows();
  if (s1.Rows() < rows || s0.Cols() == 0 || s1.Cols() == 0)
    return;
  std::vector<uint64_t> codes0, codes1;
  if (rows > 63 || !BinaryColumnCodes(s0, rows, codes0) || !BinaryColumnCodes(s1, rows, codes1)) {
    CancelPairwise(s1, s0, rows);
    return;
  }
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

void BuildKofNPair(const BasisMatrix& a, int32_t k, int32_t n, BasisMatrix& s1, BasisMatrix& s0) {
  const int32_t rows = std::max(n, 0);
  if (rows > kMaxPairRows || KofNWidth(a, k, rows) <= 0) {
    s1 = BasisMatrix(rows, 0);
    s0 = BasisMatrix(rows, 0);
    return;
  }
  const std::vector<uint32_t> white = NofNColumnCodes(k, false), black = NofNColumnCodes(k, true);
  std::vector<uint32_t> places(k);
  const auto forEachCode = [&](bool isBlack, auto visit) {
    const std::vector<uint32_t>& e = isBlack ? black : white;
    for (int32_t i = 0; i < a.Cols(); ++i) {
      // places[v]: the participants to whom arrangement i deals row v of E.
      std::fill(places.begin(), places.end(), 0u);
      for (int32_t t = 0; t < rows; ++t)
        places[a.Get(t, i)] |= uint32_t{1} << t;
      for (uint32_t column : e) {
        uint32_t code = 0;
        for (int32_t v = 0; v < k; ++v) {
          if ((column >> v) & 1u)
            code |= places[v];
        }
        visit(code);
      }
    }
  };
  BuildCancelledPair(rows, forEachCode, s1, s0);
}

}  // namespace quillon
