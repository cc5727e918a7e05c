#include "schemes/scheme_pair.h"

#include <gtest/gtest.h>

#include <bit>
#include <set>
#include <utility>

#include "schemes/general.h"
#include "schemes/threshold.h"
#include "tests/schemes/checks.h"

namespace quillon {
namespace {

using testing::FirstViolation;
using testing::FromText;
using testing::ToText;

SchemeParams Params(SchemeKind scheme, int n, int k, const BasisMatrix* sets = nullptr) {
  SchemeParams params;
  params.scheme = scheme;
  params.n = n;
  params.k = k;
  params.qualifiedSets = sets;
  return params;
}

// A refusal leaves both matrices empty. CheckSchemeParams sees it too unless it needs the
// chosen sets (checked apart).
void ExpectRefused(const SchemeParams& params, Code error) {
  if (params.scheme != SchemeKind::SchemeGeneral || error == Code::kBadParameters) {
    EXPECT_EQ(CheckSchemeParams(params), error);
  }
  const SchemePair pair = BuildSchemePair(params);
  EXPECT_EQ(pair.error, error);
  EXPECT_EQ(pair.s0, BasisMatrix(0, 0));
  EXPECT_EQ(pair.s1, BasisMatrix(0, 0));
}

TEST(SchemePair, BadParameters) {
  const BasisMatrix sets = FromText("11");
  for (SchemeKind scheme : {SchemeKind::Scheme2ofN, SchemeKind::SchemeNofN, SchemeKind::SchemeKofN,
                            SchemeKind::SchemeGeneral}) {
    for (int n : {-1, 0, 1, 10}) {
      SCOPED_TRACE(::testing::Message() << static_cast<int>(scheme) << " n=" << n);
      ExpectRefused(Params(scheme, n, 2, &sets), Code::kBadParameters);
    }
  }
  for (int k : {-2, 0, 1, 5, 6})
    ExpectRefused(Params(SchemeKind::SchemeKofN, 4, k), Code::kBadParameters);
  ExpectRefused(Params(static_cast<SchemeKind>(7), 3, 2), Code::kBadParameters);
}

TEST(SchemePair, ParametersEachSchemeIgnores) {
  SchemePair pair = BuildSchemePair(Params(SchemeKind::Scheme2of2, 1, 50));
  EXPECT_EQ(pair.error, Code::kOk);
  EXPECT_EQ(ToText(pair.s0), "01/01");
  EXPECT_EQ(ToText(pair.s1), "01/10");

  pair = BuildSchemePair(Params(SchemeKind::Scheme2ofN, 4, 0));
  EXPECT_EQ(pair.error, Code::kOk);
  EXPECT_EQ(pair.s0, Build2ofNS0(4));
  EXPECT_EQ(pair.s1, Build2ofNS1(4));

  pair = BuildSchemePair(Params(SchemeKind::SchemeNofN, 9, 12));
  EXPECT_EQ(pair.error, Code::kOk);
  EXPECT_EQ(pair.s0, BuildNofNS0(9));
  EXPECT_EQ(pair.s1, BuildNofNS1(9));
}

TEST(SchemePair, SizeLimit) {
  const std::set<std::pair<int, int>> tooLarge = {{6, 7}, {6, 8}, {6, 9}, {7, 8},
                                                  {7, 9}, {8, 9}, {9, 9}};
  for (int n = 2; n <= 9; ++n) {
    for (int k = 2; k <= n; ++k) {
      const bool refused = tooLarge.count({k, n}) > 0;
      EXPECT_EQ(CheckSchemeParams(Params(SchemeKind::SchemeKofN, n, k)),
                refused ? Code::kMatricesTooLarge : Code::kOk)
          << "k=" << k << " n=" << n;
    }
  }
  ExpectRefused(Params(SchemeKind::SchemeKofN, 7, 6), Code::kMatricesTooLarge);
  ExpectRefused(Params(SchemeKind::SchemeKofN, 8, 7), Code::kMatricesTooLarge);
  ExpectRefused(Params(SchemeKind::SchemeKofN, 9, 9), Code::kMatricesTooLarge);

  // Every set of five of nine participants: 126 maximal forbidden sets, 2^125 columns.
  BasisMatrix fives(0, 9);
  std::vector<int32_t> v(9);
  for (uint32_t set = 0; set < 512; ++set) {
    if (std::popcount(set) != 5)
      continue;
    for (int t = 0; t < 9; ++t)
      v[t] = (set >> t) & 1u;
    fives.InsertRow(fives.Rows(), v.data());
  }
  EXPECT_EQ(CheckSchemeParams(Params(SchemeKind::SchemeGeneral, 9, 2, &fives)), Code::kOk);
  ExpectRefused(Params(SchemeKind::SchemeGeneral, 9, 2, &fives), Code::kMatricesTooLarge);
}

TEST(SchemePair, ThresholdPairs) {
  SchemePair pair = BuildSchemePair(Params(SchemeKind::SchemeKofN, 3, 2));
  EXPECT_EQ(pair.error, Code::kOk);
  EXPECT_EQ(ToText(pair.s0), "010101010101/010101010101/010101010101");
  EXPECT_EQ(ToText(pair.s1), "010110011010/011001100110/100101101001");

  pair = BuildSchemePair(Params(SchemeKind::SchemeKofN, 6, 5));
  EXPECT_EQ(pair.error, Code::kOk);
  EXPECT_EQ(pair.s0.Rows(), 6);
  EXPECT_EQ(pair.s0.Cols(), 432000);
  EXPECT_EQ(pair.s1.Cols(), 432000);
}

TEST(SchemePair, LargestThresholdPairs) {
  if (testing::kSanitizedBuild)
    GTEST_SKIP() << "hundreds of megabytes per matrix";
  SchemePair pair = BuildSchemePair(Params(SchemeKind::SchemeKofN, 9, 4));
  EXPECT_EQ(pair.error, Code::kOk);
  EXPECT_EQ(pair.s1.Rows(), 9);
  EXPECT_EQ(pair.s1.Cols(), 2540160);
  EXPECT_EQ(pair.s0.Cols(), 2540160);
  // k = n: S0 holds only even-weight columns and S1 only odd ones, so nothing cancels.
  pair = BuildSchemePair(Params(SchemeKind::SchemeKofN, 8, 8));
  EXPECT_EQ(pair.error, Code::kOk);
  EXPECT_EQ(pair.s1.Cols(), 5160960);
  EXPECT_EQ(pair.s0.Cols(), 5160960);
}

TEST(SchemePair, ThresholdSchemesRevealOnlyToQualifiedSets) {
  for (int n = 2; n <= 5; ++n) {
    for (int k = 2; k <= n; ++k) {
      const SchemePair pair = BuildSchemePair(Params(SchemeKind::SchemeKofN, n, k));
      ASSERT_EQ(pair.error, Code::kOk);
      EXPECT_EQ(
          FirstViolation(pair.s0, pair.s1, [k](uint32_t set) { return std::popcount(set) >= k; }),
          "")
          << "k=" << k << " n=" << n;
    }
    SchemePair pair = BuildSchemePair(Params(SchemeKind::Scheme2ofN, n, 0));
    EXPECT_EQ(
        FirstViolation(pair.s0, pair.s1, [](uint32_t set) { return std::popcount(set) >= 2; }), "");
    pair = BuildSchemePair(Params(SchemeKind::SchemeNofN, n, 0));
    EXPECT_EQ(
        FirstViolation(pair.s0, pair.s1, [n](uint32_t set) { return std::popcount(set) == n; }),
        "");
  }
}

TEST(SchemePair, GeneralAccessStructure) {
  const BasisMatrix sets = FromText("1100/0011");
  SchemePair pair = BuildSchemePair(Params(SchemeKind::SchemeGeneral, 4, 0, &sets));
  EXPECT_EQ(pair.error, Code::kOk);
  EXPECT_EQ(ToText(pair.s0), "01011/01101/00111/01110");
  EXPECT_EQ(ToText(pair.s1), "01011/10101/00111/11001");

  // The same sets with a smaller n: participant 4 is absent from every set.
  pair = BuildSchemePair(Params(SchemeKind::SchemeGeneral, 3, 0, &sets));
  EXPECT_EQ(pair.error, Code::kOk);
  EXPECT_EQ(pair.s0.Rows(), 3);
  const BasisMatrix first = FromText("110");
  const SchemePair expected = BuildSchemePair(Params(SchemeKind::SchemeGeneral, 3, 0, &first));
  EXPECT_EQ(pair.s0, expected.s0);
  EXPECT_EQ(pair.s1, expected.s1);
}

TEST(SchemePair, NoQualifiedSet) {
  const BasisMatrix none(0, 3);
  ExpectRefused(Params(SchemeKind::SchemeGeneral, 3, 2, &none), Code::kNoQualifiedSet);
  ExpectRefused(Params(SchemeKind::SchemeGeneral, 3, 2, nullptr), Code::kNoQualifiedSet);
  // Only sets naming participants beyond n: nothing is qualified either.
  const BasisMatrix beyond = FromText("00011");
  ExpectRefused(Params(SchemeKind::SchemeGeneral, 3, 2, &beyond), Code::kNoQualifiedSet);
  EXPECT_EQ(CheckSchemeParams(Params(SchemeKind::SchemeGeneral, 3, 2, &none)), Code::kOk);
}

}  // namespace
}  // namespace quillon
