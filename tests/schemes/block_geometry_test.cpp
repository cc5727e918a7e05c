#include "schemes/block_geometry.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <utility>

namespace quillon {
namespace {

TEST(SmallestSquareFactor, KnownValuesAndBlockSides) {
  const struct {
    int64_t c, f, s;
  } cases[] = {{1, 1, 1}, {2, 2, 2}, {3, 3, 3},  {4, 1, 2},  {6, 6, 6},
               {8, 2, 4}, {9, 1, 3}, {12, 3, 6}, {16, 1, 4}, {432000, 30, 3600}};
  for (const auto& c : cases) {
    EXPECT_EQ(SmallestSquareFactor(c.c), c.f) << c.c;
    EXPECT_EQ(SquareBlockSide(c.c), c.s) << c.c;
  }
}

TEST(SmallestSquareFactor, MatchesTheSquareFreePartUpToFewThousand) {
  for (int64_t c = 1; c <= 3000; ++c) {
    // The square-free part: divide out every square factor.
    int64_t f = c;
    for (int64_t d = 2; d * d <= f; ++d) {
      while (f % (d * d) == 0)
        f /= d * d;
    }
    ASSERT_EQ(SmallestSquareFactor(c), f) << c;
  }
}

TEST(FillerBlockSide, SmallestSquareHoldingC) {
  const int64_t expected[] = {0, 1, 2, 2, 2, 3, 3, 3, 3, 3, 4, 4, 4, 4, 4, 4, 4, 5};
  for (int64_t c = 1; c < 18; ++c)
    EXPECT_EQ(FillerBlockSide(c), expected[c]) << c;
}

TEST(MethodShareSize, PerMethod) {
  using M = ExpansionMethod;
  auto size = [](M method, int64_t w, int64_t h, int64_t m, int64_t c) {
    const ShareSize s = MethodShareSize(method, w, h, m, c);
    return std::make_pair(s.width, s.height);
  };
  EXPECT_EQ(size(M::RandomBasisColumn, 7, 5, 3, 12), std::make_pair(int64_t{7}, int64_t{5}));
  EXPECT_EQ(size(M::PixelSampling, 7, 5, 2, 2), std::make_pair(int64_t{6}, int64_t{4}));
  EXPECT_EQ(size(M::PixelSampling, 7, 5, 2, 12), std::make_pair(int64_t{6}, int64_t{0}));
  EXPECT_EQ(size(M::SquareSubpixelExpansion, 7, 5, 2, 3), std::make_pair(int64_t{21}, int64_t{15}));
  EXPECT_EQ(size(M::SmallestSquareWithFiller, 7, 5, 2, 5),
            std::make_pair(int64_t{21}, int64_t{15}));
  EXPECT_EQ(size(M::SmallestSquareWithoutFiller, 7, 5, 2, 5),
            std::make_pair(int64_t{35}, int64_t{25}));
  EXPECT_EQ(size(M::ExtendedPreserveSize, 7, 5, 2, 2), std::make_pair(int64_t{7}, int64_t{5}));
  // The extended block comes from c + m: 2 + 2 gives s = 2, 3 + 3 gives s = 6.
  EXPECT_EQ(size(M::ExtendedPreserveDetail, 7, 5, 2, 2), std::make_pair(int64_t{14}, int64_t{10}));
  EXPECT_EQ(size(M::ExtendedPreserveDetail, 7, 5, 3, 3), std::make_pair(int64_t{42}, int64_t{30}));
}

TEST(ShareSizeFits, BmpFieldsAndTheDataLimit) {
  constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
  EXPECT_TRUE(ShareSizeFits({0, 0}));
  EXPECT_TRUE(ShareSizeFits({kMax, 1}));
  EXPECT_FALSE(ShareSizeFits({kMax + 1, 1}));
  EXPECT_FALSE(ShareSizeFits({1, kMax + 1}));
  EXPECT_FALSE(ShareSizeFits({-1, 1}));
  // Width 32 has a 4-byte stride: the data plus 62 bytes of header must stay within 2^31 - 1.
  const int64_t rows = (kMax - 62) / 4;
  EXPECT_TRUE(ShareSizeFits({32, rows}));
  EXPECT_FALSE(ShareSizeFits({32, rows + 1}));
  EXPECT_FALSE(ShareSizeFits({kMax, kMax}));
  EXPECT_TRUE(ShareSizeFits({0, kMax}));
}

}  // namespace
}  // namespace quillon
