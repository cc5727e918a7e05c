#include "schemes/kofn_counts.h"

#include <gtest/gtest.h>

#include <bit>

#include "schemes/analysis.h"
#include "schemes/kofn.h"
#include "schemes/scheme_pair.h"
#include "tests/schemes/checks.h"

namespace quillon {
namespace {

// The counts against the built pair, column pattern by column pattern, for every pair that
// builds quickly; the wider ones are only counted.
TEST(KofNWeightCountsTest, MatchTheBuiltPairsColumnForColumn) {
  const int64_t maxBuilt = testing::kSanitizedBuild ? int64_t{1} << 16 : int64_t{1} << 21;
  int built = 0;
  for (int n = 2; n <= 9; ++n) {
    for (int k = 2; k <= n; ++k) {
      SCOPED_TRACE("k=" + std::to_string(k) + " n=" + std::to_string(n));
      const WeightCounts counts = KofNWeightCounts(n, k);
      ASSERT_TRUE(counts.counted);
      EXPECT_GT(WeightContrast(n, counts.white, counts.black, counts.m, k), Rational(0));
      if (KofNColumnCount(n, k) > maxBuilt)
        continue;
      ++built;
      SchemeParams params;
      params.scheme = SchemeKind::SchemeKofN;
      params.n = n;
      params.k = k;
      const SchemePair pair = BuildSchemePair(params);
      ASSERT_EQ(pair.error, Code::kOk);
      ASSERT_EQ(pair.s0.Cols(), counts.m);
      std::vector<int64_t> white(size_t{1} << n, 0), black(size_t{1} << n, 0);
      for (int32_t c = 0; c < pair.s0.Cols(); ++c) {
        uint32_t code0 = 0, code1 = 0;
        for (int r = 0; r < n; ++r) {
          code0 |= uint32_t(pair.s0.Get(r, c) != 0) << r;
          code1 |= uint32_t(pair.s1.Get(r, c) != 0) << r;
        }
        ++white[code0];
        ++black[code1];
      }
      for (uint32_t code = 0; code < white.size(); ++code) {
        ASSERT_EQ(white[code], counts.white[std::popcount(code)]) << code;
        ASSERT_EQ(black[code], counts.black[std::popcount(code)]) << code;
      }
      const SchemeAnalysis a =
          AnalyzePair(pair.s0, pair.s1, [&](uint32_t s) { return SchemeQualifies(params, s); });
      EXPECT_EQ(a.minContrast, WeightContrast(n, counts.white, counts.black, counts.m, k));
    }
  }
  EXPECT_GE(built, testing::kSanitizedBuild ? 15 : 25);
  // (4,3) loses 144 of its 360 columns to the reduction.
  EXPECT_EQ(KofNWeightCounts(4, 3).m, 216);
  EXPECT_FALSE(KofNWeightCounts(2, 3).counted);
  EXPECT_FALSE(KofNWeightCounts(13, 2).counted);
}

}  // namespace
}  // namespace quillon
