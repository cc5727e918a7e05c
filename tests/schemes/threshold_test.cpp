#include "schemes/threshold.h"

#include <gtest/gtest.h>

#include <bit>

#include "tests/schemes/checks.h"

namespace quillon {
namespace {

using testing::FirstViolation;
using testing::StackedBlack;
using testing::ToText;

TEST(Threshold, TwoOfTwo) {
  EXPECT_EQ(ToText(Build2of2S0()), "01/01");
  EXPECT_EQ(ToText(Build2of2S1()), "01/10");
}

TEST(Threshold, ExampleTable) {
  EXPECT_EQ(ToText(BuildNofNS0(3)), "0110/0101/0011");
  EXPECT_EQ(ToText(BuildNofNS1(3)), "1001/0101/0011");
  EXPECT_EQ(ToText(Build2ofNS0(3)), "001/001/001");
  EXPECT_EQ(ToText(Build2ofNS1(3)), "100/010/001");
  EXPECT_EQ(ToText(Build2ofNS0(4)), "000111/000111/000111/000111");
  EXPECT_EQ(ToText(Build2ofNS1(4)), "110100/101010/011001/000111");
  EXPECT_EQ(ToText(Build2ofNS0(2)), "01/01");
  EXPECT_EQ(ToText(Build2ofNS1(2)), "10/01");
  EXPECT_EQ(ToText(BuildNofNS0(2)), "01/01");
  EXPECT_EQ(ToText(BuildNofNS1(2)), "10/01");
  EXPECT_EQ(ToText(BuildNofNS0(1)), "0");
  EXPECT_EQ(ToText(BuildNofNS1(1)), "1");
}

TEST(Threshold, SmallAndNegativeSizes) {
  for (int32_t n : {0, -4}) {
    EXPECT_EQ(BuildNofNS0(n).Rows(), 0);
    EXPECT_EQ(BuildNofNS0(n).Cols(), 0);
    EXPECT_EQ(BuildNofNS1(n).Cols(), 0);
  }
  // At n = 1 the white and black counts add up to more than the one column: no overrun.
  EXPECT_EQ(ToText(Build2ofNS0(1)), "0");
}

TEST(Threshold, NineParticipants) {
  const BasisMatrix white = Build2ofNS0(9);
  ASSERT_EQ(white.Cols(), 126);
  for (int32_t r = 0; r < 9; ++r) {
    for (int32_t c = 0; c < 126; ++c)
      ASSERT_EQ(white.Get(r, c), c < 70 ? 0 : 1);
  }
  const BasisMatrix black = BuildNofNS1(9);
  ASSERT_EQ(black.Cols(), 256);
  EXPECT_EQ(black.ColumnCode(0), 1u);
  EXPECT_EQ(black.ColumnCode(255), 511u);
}

TEST(Threshold, FactorialAndCentralBinomial) {
  EXPECT_EQ(Factorial(0), 1);
  EXPECT_EQ(Factorial(1), 1);
  EXPECT_EQ(Factorial(-3), 1);
  EXPECT_EQ(Factorial(5), 120);
  EXPECT_EQ(Factorial(12), 479001600);
  const int32_t central[] = {1, 1, 2, 3, 6, 10, 20, 35, 70, 126, 252, 462, 924, 1716};
  for (int32_t n = 0; n < 14; ++n)
    EXPECT_EQ(CentralBinomial(n), central[n]) << n;
  EXPECT_EQ(CentralBinomial(33), 1166803110);
  EXPECT_EQ(Binomial(4, 5), 0);
  EXPECT_EQ(Binomial(4, -1), 0);
  EXPECT_EQ(Binomial(62, 31), 465428353255261088);
}

TEST(Threshold, StackedContrast) {
  // Two rows of the (2,n) pair, n = 2..9: black in S0 and in S1.
  const int64_t white[] = {1, 1, 3, 4, 10, 15, 35, 56};
  const int64_t black[] = {2, 2, 5, 7, 16, 25, 55, 91};
  for (int32_t n = 2; n <= 9; ++n) {
    const BasisMatrix s0 = Build2ofNS0(n), s1 = Build2ofNS1(n);
    for (uint32_t pair = 0; pair < (1u << n); ++pair) {
      if (std::popcount(pair) != 2)
        continue;
      EXPECT_EQ(StackedBlack(s0, pair), white[n - 2]) << n;
      EXPECT_EQ(StackedBlack(s1, pair), black[n - 2]) << n;
    }
  }
  for (int32_t n = 2; n <= 9; ++n) {
    const BasisMatrix s0 = BuildNofNS0(n), s1 = BuildNofNS1(n);
    const uint32_t all = (1u << n) - 1;
    EXPECT_EQ(StackedBlack(s0, all), s0.Cols() - 1);
    EXPECT_EQ(StackedBlack(s1, all), s1.Cols());
  }
}

TEST(Threshold, VisualCryptographyProperties) {
  EXPECT_EQ(FirstViolation(Build2of2S0(), Build2of2S1(),
                           [](uint32_t set) { return std::popcount(set) == 2; }),
            "");
  for (int32_t n = 2; n <= 6; ++n) {
    EXPECT_EQ(FirstViolation(Build2ofNS0(n), Build2ofNS1(n),
                             [](uint32_t set) { return std::popcount(set) >= 2; }),
              "")
        << n;
    EXPECT_EQ(FirstViolation(BuildNofNS0(n), BuildNofNS1(n),
                             [n](uint32_t set) { return std::popcount(set) == n; }),
              "")
        << n;
  }
}

}  // namespace
}  // namespace quillon
