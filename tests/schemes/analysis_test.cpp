#include "schemes/analysis.h"

#include <gtest/gtest.h>

#include <bit>

#include "tests/schemes/checks.h"

namespace quillon {
namespace {

using testing::FromText;

struct Case {
  const char* name;
  SchemeKind kind;
  int n, k;
  const char* sets;  // general: rows of the qualified-set matrix as text
};

SchemePair Build(const Case& c, SchemeParams& params, BasisMatrix& sets) {
  params.scheme = c.kind;
  params.n = c.n;
  params.k = c.k;
  if (c.sets != nullptr) {
    sets = FromText(c.sets);
    params.qualifiedSets = &sets;
  }
  return BuildSchemePair(params);
}

// The analysis against the plain definitions, set by set: stacked black counts and, for
// forbidden sets, the sorted column patterns they see.
TEST(AnalysisTest, AgreesWithThePlainCountsForEverySet) {
  const Case cases[] = {
      {"2of2", SchemeKind::Scheme2of2, 2, 2, nullptr},
      {"2of5", SchemeKind::Scheme2ofN, 5, 2, nullptr},
      {"nofn4", SchemeKind::SchemeNofN, 4, 4, nullptr},
      {"kofn 3,4", SchemeKind::SchemeKofN, 4, 3, nullptr},
      {"kofn 2,5", SchemeKind::SchemeKofN, 5, 2, nullptr},
      {"general 12,34", SchemeKind::SchemeGeneral, 4, 0, "1100/0011"},
      {"general 12,23,34", SchemeKind::SchemeGeneral, 4, 0, "1100/0110/0011"},
      // Participant 4 does not exist for n = 3: the set {1,4} never qualifies.
      {"general 14,23", SchemeKind::SchemeGeneral, 3, 0, "1001/0110"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SchemeParams params;
    BasisMatrix sets(0, 0);
    const SchemePair pair = Build(c, params, sets);
    ASSERT_EQ(pair.error, Code::kOk);
    const auto qualified = [&params](uint32_t s) { return SchemeQualifies(params, s); };
    const SchemeAnalysis a = AnalyzePair(pair.s0, pair.s1, qualified);
    ASSERT_TRUE(a.analysed);
    EXPECT_EQ(a.m, pair.s0.Cols());
    ASSERT_EQ(a.sets.size(), (size_t{1} << c.n) - 1);
    int64_t minDifference = INT64_MAX;
    for (const SetAnalysis& s : a.sets) {
      EXPECT_EQ(s.l, testing::StackedBlack(pair.s0, s.members)) << s.members;
      EXPECT_EQ(s.h, testing::StackedBlack(pair.s1, s.members)) << s.members;
      if (s.qualified) {
        EXPECT_GT(s.h, s.l) << s.members;
        minDifference = std::min(minDifference, s.h - s.l);
      } else {
        EXPECT_EQ(s.secure, testing::SeenPatterns(pair.s0, s.members) ==
                                testing::SeenPatterns(pair.s1, s.members));
        EXPECT_TRUE(s.secure) << s.members;
      }
    }
    EXPECT_TRUE(a.allSecure);
    EXPECT_EQ(a.minContrast, Rational::Fraction(minDifference, a.m));
  }
}

TEST(AnalysisTest, KnownContrastsAndQualification) {
  SchemeParams params;
  params.scheme = SchemeKind::SchemeKofN;
  params.n = 3;
  params.k = 2;
  SchemePair pair = BuildSchemePair(params);
  SchemeAnalysis a =
      AnalyzePair(pair.s0, pair.s1, [&](uint32_t s) { return SchemeQualifies(params, s); });
  // Two participants: 6 of 12 black for white pixels, 10 of 12 for black ones.
  EXPECT_EQ(a.sets[0b011 - 1].l, 6);
  EXPECT_EQ(a.sets[0b011 - 1].h, 10);
  EXPECT_FALSE(a.sets[0b100 - 1].qualified);
  EXPECT_EQ(a.minContrast, Rational::Fraction(1, 3));

  // {1,2} and {3,4} of four: every qualified set sees 4 and 5 of 5.
  BasisMatrix sets = FromText("1100/0011");
  params = {SchemeKind::SchemeGeneral, 4, 2, &sets, false};
  pair = BuildSchemePair(params);
  a = AnalyzePair(pair.s0, pair.s1, [&](uint32_t s) { return SchemeQualifies(params, s); });
  EXPECT_EQ(a.minContrast, Rational::Fraction(1, 5));
  EXPECT_TRUE(SchemeQualifies(params, 0b1101));
  EXPECT_FALSE(SchemeQualifies(params, 0b0101));
  params.qualifiedSets = nullptr;
  EXPECT_FALSE(SchemeQualifies(params, 0b1111));
}

TEST(AnalysisTest, FindsLeaksAndRefusesWhatItCannotRead) {
  const auto none = [](uint32_t) { return false; };
  // Both rows stacked show 2 of 2 in either matrix, but each row alone differs: the pair
  // is not secure for {1}, {2} and {1,2}, although l == h for the pair.
  SchemeAnalysis a = AnalyzePair(FromText("11/00"), FromText("00/11"), none);
  ASSERT_TRUE(a.analysed);
  EXPECT_EQ(a.sets[2].l, a.sets[2].h);
  EXPECT_FALSE(a.sets[2].secure);
  EXPECT_FALSE(a.sets[0].secure);
  EXPECT_FALSE(a.allSecure);
  EXPECT_FALSE(a.hasQualified);
  EXPECT_EQ(a.minContrast, Rational(0));
  // Same columns in another order: secure.
  EXPECT_TRUE(AnalyzePair(FromText("10/01"), FromText("01/10"), none).allSecure);

  EXPECT_FALSE(AnalyzePair(FromText("10/01"), FromText("1/0"), none).analysed);
  EXPECT_FALSE(AnalyzePair(BasisMatrix(0, 3), BasisMatrix(0, 3), none).analysed);
  EXPECT_FALSE(
      AnalyzePair(BasisMatrix(kMaxAnalysisRows + 1, 1), BasisMatrix(kMaxAnalysisRows + 1, 1), none)
          .analysed);
}

}  // namespace
}  // namespace quillon
