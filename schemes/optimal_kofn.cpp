#include "schemes/optimal_kofn.h"

#include <bit>

#include "schemes/threshold.h"

namespace quillon {
namespace {

// Vertices of the optimal face tried at most; beyond that the simplex's own vertex stands.
constexpr int64_t kMaxVertexTrials = 200000;

// Variables: u[w] (w = 0..n), the frequency of each weight-w column in S0, then v[w] for S1.
LinearProgram BuildProgram(int n, int k) {
  const int vars = 2 * (n + 1);
  LinearProgram lp;
  auto row = [&]() { return std::vector<Rational>(vars, Rational(0)); };
  // Frequencies add up to one column in each matrix.
  for (int matrix = 0; matrix < 2; ++matrix) {
    std::vector<Rational> sum = row();
    for (int w = 0; w <= n; ++w)
      sum[matrix * (n + 1) + w] = Binomial(n, w);
    lp.a.push_back(sum);
    lp.b.push_back(1);
  }
  // A fixed (k-1)-set sees a given pattern of i black rows in binom(n-k+1, w-i) columns of
  // weight w: equal counts in S0 and S1 for every i keep every (k-1)-set (and so every
  // smaller set) from telling the two apart.
  for (int i = 0; i < k; ++i) {
    std::vector<Rational> seen = row();
    for (int w = 0; w <= n; ++w) {
      const int64_t count = Binomial(n - k + 1, w - i);
      seen[w] = count;
      seen[n + 1 + w] = -count;
    }
    lp.a.push_back(seen);
    lp.b.push_back(0);
  }
  // A k-set sees all white in binom(n-k, w) columns of weight w; the contrast is the share of
  // such columns in S0 minus that in S1.
  lp.c = row();
  for (int w = 0; w <= n; ++w) {
    lp.c[w] = Binomial(n - k, w);
    lp.c[n + 1 + w] = -Binomial(n - k, w);
  }
  return lp;
}

// Visits every subset of size r of items in lexicographic order; stops when visit says so.
template <typename Visit>
void ForEachSubset(const std::vector<int>& items, size_t r, Visit visit) {
  if (r > items.size())
    return;
  std::vector<size_t> pick(r);
  for (size_t i = 0; i < r; ++i)
    pick[i] = i;
  while (true) {
    if (!visit(pick))
      return;
    size_t i = r;
    while (i > 0 && pick[i - 1] == items.size() - r + i - 1)
      --i;
    if (i == 0)
      return;
    ++pick[i - 1];
    for (size_t j = i; j < r; ++j)
      pick[j] = pick[j - 1] + 1;
  }
}

int64_t SubsetCount(size_t n, size_t r) {
  return Binomial(static_cast<int64_t>(n), static_cast<int64_t>(r));
}

}  // namespace

OptimalKofN SolveOptimalKofN(int n, int k) {
  OptimalKofN result;
  result.n = n;
  result.k = k;
  if (k < 2 || k > n || n > kMaxOptimalParticipants)
    return result;
  const LpSolution lp = SolveLinearProgram(BuildProgram(n, k));
  if (lp.status != LpStatus::Optimal)
    return result;

  // Every optimal solution is zero where the reduced cost is negative; the vertices of the
  // optimal face are the basic solutions over the other columns. The one with the smallest
  // common denominator gives the narrowest matrices.
  std::vector<Rational> best = lp.x;
  std::optional<__int128> bestDen = CommonDenominator(best);
  if (!bestDen)
    return result;
  std::vector<int> free;
  for (size_t j = 0; j < lp.reduced.size(); ++j) {
    if (lp.reduced[j].IsZero())
      free.push_back(static_cast<int>(j));
  }
  const size_t r = lp.rows.size();
  if (SubsetCount(free.size(), r) <= kMaxVertexTrials) {
    ForEachSubset(free, r, [&](const std::vector<size_t>& pick) {
      std::vector<std::vector<Rational>> a(r, std::vector<Rational>(r));
      for (size_t i = 0; i < r; ++i) {
        for (size_t j = 0; j < r; ++j)
          a[i][j] = lp.rows[i][free[pick[j]]];
      }
      auto x = SolveSquareSystem(std::move(a), lp.rhs);
      if (!x)
        return true;
      std::vector<Rational> full(lp.x.size(), Rational(0));
      for (size_t j = 0; j < r; ++j) {
        if ((*x)[j].Sign() < 0)
          return true;
        full[free[pick[j]]] = (*x)[j];
      }
      auto den = CommonDenominator(full);
      if (den && *den < *bestDen) {
        best = std::move(full);
        bestDen = den;
      }
      return true;
    });
  }

  if (*bestDen > INT64_MAX)
    return result;
  const int64_t m = static_cast<int64_t>(*bestDen);
  result.white.assign(n + 1, 0);
  result.black.assign(n + 1, 0);
  for (int w = 0; w <= n; ++w) {
    const Rational white = best[w] * Rational(m);
    const Rational black = best[n + 1 + w] * Rational(m);
    if (!white.Valid() || !black.Valid() || white.Den() != 1 || black.Den() != 1)
      return result;
    result.white[w] = static_cast<int64_t>(white.Num());
    result.black[w] = static_cast<int64_t>(black.Num());
  }
  result.m = m;
  result.contrast = lp.value;
  result.solved = true;
  return result;
}

void BuildOptimalKofNPair(const OptimalKofN& optimal, BasisMatrix& s1, BasisMatrix& s0) {
  const int n = optimal.n;
  const auto build = [n, &optimal](const std::vector<int64_t>& copies) {
    // The width follows from the copies; anything but m (or beyond 32 bits) builds nothing.
    int64_t width = 0;
    for (int w = 0; w <= n && width <= INT32_MAX; ++w)
      width += Binomial(n, w) * copies[w];
    if (!optimal.solved || width != optimal.m || width > INT32_MAX)
      return BasisMatrix(n, 0);
    BasisMatrix s(n, static_cast<int32_t>(width));
    int32_t col = 0;
    for (uint32_t code = 0; code < (uint32_t{1} << n); ++code) {
      for (int64_t c = 0; c < copies[std::popcount(code)]; ++c, ++col) {
        for (int r = 0; r < n; ++r)
          s.Set(r, col, static_cast<int32_t>((code >> r) & 1u));
      }
    }
    return s;
  };
  s1 = build(optimal.black);
  s0 = build(optimal.white);
}

}  // namespace quillon
