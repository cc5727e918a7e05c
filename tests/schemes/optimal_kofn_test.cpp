#include "schemes/optimal_kofn.h"

#include <gtest/gtest.h>

#include <bit>

#include "schemes/analysis.h"
#include "schemes/scheme_pair.h"
#include "tests/schemes/checks.h"

namespace quillon {
namespace {

SchemeParams KofN(int n, int k, bool optimal) {
  SchemeParams params;
  params.scheme = SchemeKind::SchemeKofN;
  params.n = n;
  params.k = k;
  params.optimal = optimal;
  return params;
}

// Every pair 2 <= k <= n <= 9, built as the commands build it and checked exactly: each
// forbidden set sees S0 and S1 alike, each k-set sees the program's optimum, and no larger
// set sees less.
TEST(OptimalKofNTest, EveryPairIsSecureAndReachesTheOptimum) {
  for (int n = 2; n <= 9; ++n) {
    for (int k = 2; k <= n; ++k) {
      SCOPED_TRACE("k=" + std::to_string(k) + " n=" + std::to_string(n));
      const OptimalKofN optimal = SolveOptimalKofN(n, k);
      ASSERT_TRUE(optimal.solved);
      const SchemeParams params = KofN(n, k, true);
      const SchemePair pair = BuildSchemePair(params);
      ASSERT_EQ(pair.error, Code::kOk);
      ASSERT_EQ(pair.s0.Cols(), optimal.m);
      const SchemeAnalysis a =
          AnalyzePair(pair.s0, pair.s1, [&](uint32_t s) { return SchemeQualifies(params, s); });
      ASSERT_TRUE(a.analysed);
      EXPECT_TRUE(a.allSecure);
      EXPECT_EQ(a.minContrast, optimal.contrast);
      for (const SetAnalysis& s : a.sets) {
        if (std::popcount(s.members) == k) {
          EXPECT_EQ(Rational::Fraction(s.h - s.l, a.m), optimal.contrast) << s.members;
        }
      }
      // No column pattern in both matrices: cancelling would only widen nothing.
      for (int w = 0; w <= n; ++w)
        EXPECT_TRUE(optimal.white[w] == 0 || optimal.black[w] == 0) << w;
    }
  }
}

TEST(OptimalKofNTest, MatchesPublishedOptimaAndBeatsTheArrangementConstruction) {
  const struct {
    int k, n;
    int64_t num, den;
  } published[] = {{2, 2, 1, 2}, {2, 3, 1, 3},  {3, 4, 1, 6}, {2, 7, 2, 7},
                   {2, 8, 2, 7}, {4, 5, 1, 15}, {3, 3, 1, 4}, {9, 9, 1, 256}};
  for (const auto& p : published) {
    EXPECT_EQ(SolveOptimalKofN(p.n, p.k).contrast, Rational::Fraction(p.num, p.den))
        << p.k << "," << p.n;
  }
  // (2,n): floor(n/2) ceil(n/2) / (n (n - 1)).
  for (int n = 2; n <= 9; ++n) {
    EXPECT_EQ(SolveOptimalKofN(n, 2).contrast,
              Rational::Fraction((n / 2) * ((n + 1) / 2), n * (n - 1)));
  }
  // The arrangement construction is a weight-symmetric scheme too: never above the optimum.
  const int maxN = testing::kSanitizedBuild ? 5 : 6;
  for (int n = 2; n <= maxN; ++n) {
    for (int k = 2; k <= n; ++k) {
      const SchemeParams params = KofN(n, k, false);
      const SchemePair pair = BuildSchemePair(params);
      const SchemeAnalysis a =
          AnalyzePair(pair.s0, pair.s1, [&](uint32_t s) { return SchemeQualifies(params, s); });
      EXPECT_FALSE(SolveOptimalKofN(n, k).contrast < a.minContrast) << k << "," << n;
    }
  }
  EXPECT_FALSE(SolveOptimalKofN(2, 3).solved);
  EXPECT_FALSE(SolveOptimalKofN(2, 1).solved);
  EXPECT_FALSE(SolveOptimalKofN(kMaxOptimalParticipants + 1, 2).solved);
}

}  // namespace
}  // namespace quillon
