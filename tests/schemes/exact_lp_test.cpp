#include "schemes/exact_lp.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

TEST(RationalTest, KeepsLowestTermsAndMarksOverflow) {
  EXPECT_EQ(Rational::Fraction(6, -4).ToString(), "-3/2");
  EXPECT_EQ((Rational::Fraction(1, 6) + Rational::Fraction(1, 3)).ToString(), "1/2");
  EXPECT_EQ((Rational::Fraction(2, 3) * Rational::Fraction(9, 4)).ToString(), "3/2");
  EXPECT_EQ((Rational(1) / Rational::Fraction(-2, 7)).ToString(), "-7/2");
  EXPECT_TRUE(Rational::Fraction(1, 3) < Rational::Fraction(1, 2));
  EXPECT_FALSE(Rational::Fraction(1, 2) < Rational::Fraction(2, 4));

  EXPECT_FALSE((Rational(1) / Rational(0)).Valid());
  EXPECT_FALSE(Rational::Fraction(1, 0).Valid());
  // 2^62 squared fits in 128 bits, its square does not; the mark survives later steps.
  const Rational big = Rational(int64_t{1} << 62) * Rational(int64_t{1} << 62);
  ASSERT_TRUE(big.Valid());
  const Rational overflow = big * big;
  EXPECT_FALSE(overflow.Valid());
  EXPECT_FALSE((overflow - overflow + Rational(1)).Valid());
  EXPECT_FALSE(overflow == overflow);
  EXPECT_FALSE(Rational(1) / big / big == Rational(0));
  EXPECT_FALSE(CommonDenominator({Rational(1) / big, Rational(1) / (big + Rational(1))}));
  EXPECT_EQ(*CommonDenominator({Rational::Fraction(1, 6), Rational::Fraction(3, 4)}), 12);
}

TEST(LinearProgramTest, SolvesSmallProgramsExactly) {
  using R = Rational;
  // maximize x + y: x + 2y + s = 4, 3x + y + t = 6.
  LinearProgram lp{{{1, 2, 1, 0}, {3, 1, 0, 1}}, {4, 6}, {1, 1, 0, 0}};
  LpSolution s = SolveLinearProgram(lp);
  ASSERT_EQ(s.status, LpStatus::Optimal);
  EXPECT_EQ(s.value, R::Fraction(14, 5));
  EXPECT_EQ(s.x[0], R::Fraction(8, 5));
  EXPECT_EQ(s.x[1], R::Fraction(6, 5));
  for (const R& d : s.reduced)
    EXPECT_FALSE(d > R(0));

  // The same with the first row repeated and negated: the redundant row is dropped.
  LinearProgram twice{{{1, 2, 1, 0}, {-1, -2, -1, 0}, {3, 1, 0, 1}}, {4, -4, 6}, {1, 1, 0, 0}};
  s = SolveLinearProgram(twice);
  ASSERT_EQ(s.status, LpStatus::Optimal);
  EXPECT_EQ(s.value, R::Fraction(14, 5));
  EXPECT_EQ(s.rows.size(), 2u);

  EXPECT_EQ(SolveLinearProgram({{{1, 1}}, {-1}, {1, 0}}).status, LpStatus::Infeasible);
  EXPECT_EQ(SolveLinearProgram({{{1, -1}}, {0}, {1, 0}}).status, LpStatus::Unbounded);
  EXPECT_EQ(SolveLinearProgram({{{1, 1}}, {1, 2}, {1, 0}}).status, LpStatus::Infeasible);

  // Degenerate: the optimum sits where several bases meet; Bland's rule must still end.
  LinearProgram degenerate{
      {{1, 1, 1, 0, 0}, {1, 0, 0, 1, 0}, {0, 1, 0, 0, 1}}, {1, 1, 1}, {1, 1, 0, 0, 0}};
  s = SolveLinearProgram(degenerate);
  ASSERT_EQ(s.status, LpStatus::Optimal);
  EXPECT_EQ(s.value, R(1));

  auto x = SolveSquareSystem({{2, 1}, {1, 3}}, {3, 5});
  ASSERT_TRUE(x);
  EXPECT_EQ((*x)[0], R::Fraction(4, 5));
  EXPECT_EQ((*x)[1], R::Fraction(7, 5));
  EXPECT_FALSE(SolveSquareSystem({{1, 2}, {2, 4}}, {1, 2}));
}

}  // namespace
}  // namespace quillon
