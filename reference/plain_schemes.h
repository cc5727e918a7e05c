// Plain, step-by-step versions of the slow constructions: the rank walk over all q! ranks,
// column-by-column appends and pairwise cancellation. The fast constructions must give the
// very same matrices; the benchmarks time the plain walk beside them.
#pragma once

#include <cstdint>
#include <set>
#include <vector>

#include "core/basis_matrix.h"
#include "schemes/kofn.h"
#include "schemes/threshold.h"

namespace quillon::reference {

inline int64_t PlainFactorial(int32_t a) {
  return a <= 1 ? 1 : a * PlainFactorial(a - 1);
}

// Reorders values[0..length) by the permutation of rank p in factorial base: rank 0
// reverses the array, rank length!-1 leaves it as it is.
inline void PermuteByRank(int32_t* values, int64_t p, int32_t length) {
  if (length <= 0)
    return;
  std::vector<int32_t> perm(length);
  perm[0] = 0;
  int64_t a = p;
  for (int32_t i = 1; i < length; ++i) {
    const int32_t d = static_cast<int32_t>(a % (i + 1));
    a /= i + 1;
    for (int32_t j = 0; j < i; ++j) {
      if (perm[j] >= d)
        ++perm[j];
    }
    perm[i] = d;
  }
  std::vector<int32_t> source(values, values + length);
  for (int32_t i = 0; i < length; ++i)
    values[i] = source[perm[i]];
}

// True when some column of m equals values[0..m.Rows()) in every row.
template <typename Table>
bool HasColumn(const int32_t* values, const Table& m) {
  for (int32_t j = 0; j < m.Cols(); ++j) {
    bool equal = true;
    for (int32_t r = 0; r < m.Rows() && equal; ++r)
      equal = m.Get(r, j) == values[r];
    if (equal)
      return true;
  }
  return false;
}

// Walks every rank in increasing order and appends each arrangement the first time it
// appears. HasColumn is quadratic in the number of columns, so bigger walks may look
// arrangements up in a set instead; the order still comes from the ranks.
inline ArrangementTable BuildArrangements(int32_t q, int32_t k, bool useHasColumn) {
  ArrangementTable a(q, 0);
  std::vector<int32_t> base(q);
  for (int32_t i = 0; i < k; ++i) {
    for (int32_t j = 0; j < q / k; ++j)
      base[i * (q / k) + j] = i;
  }
  std::set<std::vector<int32_t>> seen;
  const int64_t ranks = PlainFactorial(q);
  for (int64_t p = 0; p < ranks; ++p) {
    std::vector<int32_t> work = base;
    PermuteByRank(work.data(), p, q);
    const bool known = useHasColumn ? HasColumn(work.data(), a) : !seen.insert(work).second;
    if (!known)
      a.AppendColumn(work.data());
  }
  return a;
}

inline BasisMatrix BuildKofN(const ArrangementTable& a, int32_t k, int32_t n, bool black) {
  const BasisMatrix e = black ? BuildNofNS1(k) : BuildNofNS0(k);
  BasisMatrix s(n, 0);
  std::vector<int32_t> v(n);
  for (int32_t i = 0; i < a.Cols(); ++i) {
    for (int32_t j = 0; j < e.Cols(); ++j) {
      for (int32_t t = 0; t < n; ++t)
        v[t] = e.Get(a.Get(t, i), j);
      s.InsertColumn(s.Cols(), v.data());
    }
  }
  return s;
}

inline void CancelCommonColumns(BasisMatrix& s1, BasisMatrix& s0) {
  int32_t i = 0;
  while (i < s0.Cols()) {
    int32_t match = -1;
    for (int32_t j = 0; j < s1.Cols() && match < 0; ++j) {
      bool equal = true;
      for (int32_t r = 0; r < s0.Rows() && equal; ++r)
        equal = s1.Get(r, j) == s0.Get(r, i);
      if (equal)
        match = j;
    }
    if (match >= 0) {
      s1.RemoveColumn(match);
      s0.RemoveColumn(i);
    } else {
      ++i;
    }
  }
}

// The general-access bases with the (f,f) basis built in full and the triple loop.
inline BasisMatrix BuildGeneral(const BasisMatrix& t, int32_t n, bool black) {
  const int32_t f = t.Cols();
  const BasisMatrix p = black ? BuildNofNS1(f) : BuildNofNS0(f);
  BasisMatrix s(n, p.Cols());
  for (int32_t i = 0; i < n; ++i) {
    for (int32_t j = 0; j < p.Cols(); ++j) {
      s.Set(i, j, 0);
      for (int32_t l = 0; l < f; ++l) {
        if (t.Get(i, l) == 1 && p.Get(l, j) == 1)
          s.Set(i, j, 1);
      }
    }
  }
  return s;
}

}  // namespace quillon::reference
