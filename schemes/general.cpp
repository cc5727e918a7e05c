#include "schemes/general.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <vector>

#include "schemes/kofn.h"
#include "schemes/threshold.h"

namespace quillon {

namespace {

// Bit l of mask i is set when t[i][l] is 1: the forbidden sets that leave out participant i.
// Needs t.Cols() <= kMaxDualColumns.
uint32_t ParticipantMask(const BasisMatrix& t, int32_t i) {
  uint32_t mask = 0;
  for (int32_t l = 0; l < t.Cols() && i < t.Rows(); ++l) {
    if (t.Get(i, l) == 1)
      mask |= uint32_t{1} << l;
  }
  return mask;
}

BasisMatrix BuildGeneral(const BasisMatrix& t, int32_t n, bool black) {
  const int32_t rows = std::max(n, 0);
  const int32_t f = t.Cols();
  if (f < 1 || f > kMaxDualColumns || rows > 64)
    return BasisMatrix(rows, 0);
  // Column j of the (f,f) basis is its code: P[l][j] is bit l of codes[j], so the or over the
  // rows l selected by t is a single mask test. The f x 2^(f-1) basis itself is never built.
  const std::vector<uint32_t> codes = NofNColumnCodes(f, black);
  std::vector<uint32_t> masks(rows);
  for (int32_t i = 0; i < rows; ++i)
    masks[i] = ParticipantMask(t, i);
  BasisMatrix s(rows, static_cast<int32_t>(codes.size()));
  BasisMatrix::ColumnWriter writer(s);
  for (uint32_t column : codes) {
    uint64_t code = 0;
    for (int32_t i = 0; i < rows; ++i) {
      if (column & masks[i])
        code |= uint64_t{1} << i;
    }
    writer.Put(code);
  }
  writer.Flush();
  return s;
}

}  // namespace

bool IsQualified(const BasisMatrix& q, const std::vector<int32_t>& v) {
  const int32_t covered = static_cast<int32_t>(std::min<size_t>(v.size(), q.Cols()));
  for (int32_t r = 0; r < q.Rows(); ++r) {
    bool contained = true;
    for (int32_t j = 0; j < q.Cols() && contained; ++j) {
      if (q.Get(r, j) == 1)
        contained = j < covered && v[j] == 1;
    }
    if (contained)
      return true;
  }
  return false;
}

BasisMatrix MaximalForbiddenSets(const BasisMatrix& q, int32_t n) {
  n = std::max(n, 0);
  BasisMatrix f(0, n);
  if (n > 30)
    return f;
  std::vector<int32_t> v(n);
  const uint32_t end = uint32_t{1} << n;
  // Codes are distinct, so a row found here is never already in F.
  for (uint32_t code = 0; code < end; ++code) {
    for (int32_t t = 0; t < n; ++t)
      v[t] = static_cast<int32_t>((code >> t) & 1u);
    if (IsQualified(q, v))
      continue;
    // Maximal: adding any one absent participant makes the set qualified.
    bool maximal = true;
    for (int32_t t = 0; t < n && maximal; ++t) {
      if (v[t] != 0)
        continue;
      v[t] = 1;
      maximal = IsQualified(q, v);
      v[t] = 0;
    }
    if (maximal)
      f.InsertRow(f.Rows(), v.data());
  }
  return f;
}

BasisMatrix ComplementTranspose(const BasisMatrix& f) {
  BasisMatrix t(f.Cols(), f.Rows());
  for (int32_t i = 0; i < t.Rows(); ++i) {
    for (int32_t j = 0; j < t.Cols(); ++j)
      t.Set(i, j, f.Get(j, i) == 1 ? 0 : 1);
  }
  return t;
}

BasisMatrix BuildGeneralS1(const BasisMatrix& t, int32_t n) {
  return BuildGeneral(t, n, true);
}

BasisMatrix BuildGeneralS0(const BasisMatrix& t, int32_t n) {
  return BuildGeneral(t, n, false);
}

void BuildGeneralPair(const BasisMatrix& t, int32_t n, BasisMatrix& s1, BasisMatrix& s0) {
  const int32_t rows = std::max(n, 0);
  const int32_t f = t.Cols();
  if (rows > kMaxPairRows || f < 1 || f > kMaxDualColumns) {
    s1 = BasisMatrix(rows, 0);
    s0 = BasisMatrix(rows, 0);
    return;
  }
  std::vector<uint32_t> masks(rows);
  for (int32_t i = 0; i < rows; ++i)
    masks[i] = ParticipantMask(t, i);
  // Column j of the (f,f) basis is its code j: odd ones are S1's, even ones S0's.
  const auto generate = [&](auto visit) {
    const uint32_t end = uint32_t{1} << f;
    for (uint32_t column = 0; column < end; ++column) {
      uint32_t code = 0;
      for (int32_t i = 0; i < rows; ++i) {
        if (column & masks[i])
          code |= uint32_t{1} << i;
      }
      visit((std::popcount(column) & 1) != 0, code);
    }
  };
  BuildCancelledPair(rows, generate, s1, s0);
}

}  // namespace quillon
