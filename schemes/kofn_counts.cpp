#include "schemes/kofn_counts.h"

#include <algorithm>

#include "schemes/kofn.h"
#include "schemes/threshold.h"

namespace quillon {
namespace {

// a * b, or -1 when it leaves 64 bits (or an operand is already -1).
int64_t Times(int64_t a, int64_t b) {
  int64_t product = 0;
  if (a < 0 || b < 0 || __builtin_mul_overflow(a, b, &product))
    return -1;
  return product;
}

int64_t Plus(int64_t a, int64_t b) {
  int64_t sum = 0;
  if (a < 0 || b < 0 || __builtin_add_overflow(a, b, &sum))
    return -1;
  return sum;
}

// Ways to fill `places` places with `values` values, each exactly s times.
int64_t Deals(int values, int s) {
  return values == 0 ? 1 : ArrangementCount(values * s, values);
}

}  // namespace

WeightCounts KofNWeightCounts(int n, int k) {
  WeightCounts result;
  result.n = n;
  if (k < 1 || k > n || n > 12)
    return result;
  const int q = ArrangementLength(n, k);
  const int s = q / k;
  // Column j of the (k,k) basis is black in the rows of a set J of row numbers (odd |J| in
  // S1, even in S0); participant t is black when the arrangement gives place t a value in J.
  // A fixed set of w participants is exactly the black ones when the e * s places holding
  // J's values are those w and e * s - w of the q - n places beyond the participants.
  std::vector<int64_t> counts[2] = {std::vector<int64_t>(n + 1, 0), std::vector<int64_t>(n + 1, 0)};
  for (int e = 0; e <= k; ++e) {
    const int64_t fill = Times(Deals(e, s), Deals(k - e, s));
    for (int w = 0; w <= n; ++w) {
      const int64_t beyond = Binomial(q - n, int64_t{e} * s - w);
      const int64_t ways = Times(Times(Binomial(k, e), beyond), fill);
      counts[e % 2][w] = Plus(counts[e % 2][w], ways);
    }
  }
  result.white.assign(n + 1, 0);
  result.black.assign(n + 1, 0);
  int64_t m = 0, m1 = 0;
  for (int w = 0; w <= n; ++w) {
    if (counts[0][w] < 0 || counts[1][w] < 0)
      return result;
    // The reduction removes every pattern's smaller count from both matrices.
    const int64_t common = std::min(counts[0][w], counts[1][w]);
    result.white[w] = counts[0][w] - common;
    result.black[w] = counts[1][w] - common;
    m = Plus(m, Times(Binomial(n, w), result.white[w]));
    m1 = Plus(m1, Times(Binomial(n, w), result.black[w]));
  }
  if (m < 0 || m != m1)
    return result;
  result.m = m;
  result.counted = true;
  return result;
}

Rational WeightContrast(int n, const std::vector<int64_t>& white, const std::vector<int64_t>& black,
                        int64_t m, int j) {
  Rational sum(0);
  for (int w = 0;
       w <= n && static_cast<size_t>(w) < white.size() && static_cast<size_t>(w) < black.size();
       ++w)
    sum = sum + Rational(Binomial(n - j, w)) * (Rational(white[w]) - Rational(black[w]));
  return sum / Rational(m);
}

}  // namespace quillon
