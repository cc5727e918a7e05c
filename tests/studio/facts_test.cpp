// The facts before encrypting: the analysis summed up per set size, the warnings that follow
// from it, and the share sizes of each method.
#include "studio/facts.h"

#include <gtest/gtest.h>

namespace quillon::studio {
namespace {

SchemeSetup Choices(SchemeKind kind, int n, int k, bool optimal = false, const char* sets = "") {
  SchemeSetup setup;
  setup.SetKind(SchemeKind::SchemeKofN);
  setup.SetOptimal(optimal);
  setup.SetParticipants(n);
  setup.SetThreshold(k);
  setup.SetSetsText(sets);
  setup.SetKind(kind);
  return setup;
}

TEST(Facts, SchemesSummedUp) {
  const Rational none;
  struct Case {
    const char* name;
    SchemeSetup setup;
    int64_t m;
    Rational minContrast;
    std::vector<int> qualifiedBySize;
    bool low;
    int lone;
    bool offered;
    Rational offer;
  } cases[] = {
      {"2of2",
       Choices(SchemeKind::Scheme2of2, 2, 2),
       2,
       Rational::Fraction(1, 2),
       {0, 1},
       false,
       -1,
       false,
       none},
      {"2ofn n=4",
       Choices(SchemeKind::Scheme2ofN, 4, 2),
       6,
       Rational::Fraction(1, 3),
       {0, 6, 4, 1},
       false,
       -1,
       false,
       none},
      // The arrangement construction reaches 9/112; the optimal pair does better.
      {"kofn 3,9",
       Choices(SchemeKind::SchemeKofN, 9, 3),
       6720,
       Rational::Fraction(9, 112),
       {0, 0, 84, 126, 126, 84, 36, 9, 1},
       false,
       -1,
       true,
       Rational::Fraction(5, 56)},
      // Nothing does better than 1/256 for nine of nine, and that is too faint.
      {"nofn 9",
       Choices(SchemeKind::SchemeNofN, 9, 2),
       256,
       Rational::Fraction(1, 256),
       {0, 0, 0, 0, 0, 0, 0, 0, 1},
       true,
       -1,
       false,
       none},
      {"kofn 5,9 optimal",
       Choices(SchemeKind::SchemeKofN, 9, 5, true),
       200,
       Rational::Fraction(3, 200),
       {0, 0, 0, 0, 126, 84, 36, 9, 1},
       true,
       -1,
       false,
       none},
      {"general 1,2;2,3",
       Choices(SchemeKind::SchemeGeneral, 3, 2, false, "1,2;2,3"),
       2,
       Rational::Fraction(1, 2),
       {0, 2, 1},
       false,
       -1,
       false,
       none},
      {"general 1;2,3",
       Choices(SchemeKind::SchemeGeneral, 3, 2, false, "1;2,3"),
       0,
       Rational(),
       {1, 3, 1},
       false,
       0,
       false,
       none},
  };
  for (const Case& c : cases) {
    const SchemeFacts facts = AnalyzeScheme(c.setup);
    ASSERT_EQ(facts.refusal, Code::kOk) << c.name;
    if (c.m != 0) {
      EXPECT_EQ(facts.subpixels, c.m) << c.name;
      EXPECT_EQ(facts.minContrast, c.minContrast) << c.name;
    }
    std::vector<int> qualified;
    for (const SizeFacts& size : facts.bySize)
      qualified.push_back(size.qualified);
    EXPECT_EQ(qualified, c.qualifiedBySize) << c.name;
    EXPECT_TRUE(facts.allSecure) << c.name;
    EXPECT_EQ(facts.lowContrast, c.low) << c.name;
    EXPECT_EQ(facts.loneParticipant, c.lone) << c.name;
    EXPECT_EQ(facts.optimalOffered, c.offered) << c.name;
    if (c.offered) {
      EXPECT_EQ(facts.optimalContrast, c.offer) << c.name;
    }
  }

  // A structure without sets is refused, and says nothing else.
  const SchemeFacts refused = AnalyzeScheme(Choices(SchemeKind::SchemeGeneral, 3, 2));
  EXPECT_EQ(refused.refusal, Code::kNoQualifiedSet);
  EXPECT_TRUE(refused.bySize.empty());
  EXPECT_FALSE(refused.analysis.analysed);
}

TEST(Facts, ShareSizesOfEachMethod) {
  const SchemeFacts twoOfTwo = AnalyzeScheme(Choices(SchemeKind::Scheme2of2, 2, 2));
  using M = ExpansionMethod;
  struct Case {
    M method;
    int32_t width, height;
    Code refusal;
    int64_t side, shareWidth, shareHeight;
  } cases[] = {
      {M::RandomBasisColumn, 10, 7, Code::kOk, 1, 10, 7},
      {M::SquareSubpixelExpansion, 10, 7, Code::kOk, 2, 20, 14},
      {M::PixelSampling, 10, 7, Code::kOk, 2, 10, 6},
      {M::SmallestSquareWithFiller, 10, 7, Code::kOk, 2, 20, 14},
      {M::ExtendedPreserveSize, 10, 7, Code::kOk, 1, 10, 7},
      {M::ExtendedPreserveDetail, 10, 7, Code::kOk, 2, 20, 14},
      {M::PixelSampling, 1, 1, Code::kSmallerThanBlock, 2, 0, 0},
      {M::SquareSubpixelExpansion, 70000, 70000, Code::kSharesTooLarge, 2, 140000, 140000},
      {M::RandomBasisColumn, 0, 0, Code::kNoSecret, 1, 0, 0},
  };
  for (const Case& c : cases) {
    const ShareFacts facts = ShareSizeFacts(twoOfTwo, c.method, c.width, c.height, 0.5);
    const int row = static_cast<int>(&c - cases);
    EXPECT_EQ(facts.refusal, c.refusal) << row;
    EXPECT_EQ(facts.blockSide, c.side) << row;
    EXPECT_EQ(facts.size.width, c.shareWidth) << row;
    EXPECT_EQ(facts.size.height, c.shareHeight) << row;
    EXPECT_DOUBLE_EQ(facts.widthMm, c.shareWidth * 0.5) << row;
    EXPECT_DOUBLE_EQ(facts.heightMm, c.shareHeight * 0.5) << row;
  }
  const SchemeFacts refused = AnalyzeScheme(Choices(SchemeKind::SchemeGeneral, 3, 2));
  EXPECT_EQ(ShareSizeFacts(refused, M::RandomBasisColumn, 5, 5, 0.5).refusal,
            Code::kNoQualifiedSet);
}

}  // namespace
}  // namespace quillon::studio
