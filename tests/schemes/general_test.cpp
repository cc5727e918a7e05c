#include "schemes/general.h"

#include <gtest/gtest.h>

#include <bit>
#include <random>

#include "schemes/kofn.h"
#include "schemes/scheme_pair.h"
#include "tests/schemes/checks.h"
#include "reference/plain_schemes.h"

namespace quillon {
namespace {

using testing::FirstViolation;
using testing::FromText;
using testing::ToText;

std::vector<int32_t> Members(uint32_t set, int32_t n) {
  std::vector<int32_t> v(n);
  for (int32_t t = 0; t < n; ++t)
    v[t] = (set >> t) & 1u;
  return v;
}

struct GeneralPair {
  std::string forbidden, before0, before1, s0, s1;
};

// The steps in the order encryption runs them; the wide matrices are also checked against
// the plain triple loop.
GeneralPair Build(const BasisMatrix& q, int32_t n) {
  const BasisMatrix f = MaximalForbiddenSets(q, n);
  const BasisMatrix t = ComplementTranspose(f);
  BasisMatrix s1 = BuildGeneralS1(t, n);
  BasisMatrix s0 = BuildGeneralS0(t, n);
  EXPECT_EQ(s1, reference::BuildGeneral(t, n, true));
  EXPECT_EQ(s0, reference::BuildGeneral(t, n, false));
  GeneralPair pair{ToText(f), ToText(s0), ToText(s1), "", ""};
  CancelCommonColumns(s1, s0);
  BasisMatrix fast1(0, 0), fast0(0, 0);
  BuildGeneralPair(t, n, fast1, fast0);
  EXPECT_EQ(fast1, s1);
  EXPECT_EQ(fast0, s0);
  pair.s0 = ToText(s0);
  pair.s1 = ToText(s1);
  EXPECT_EQ(
      FirstViolation(s0, s1, [&q, n](uint32_t set) { return IsQualified(q, Members(set, n)); }),
      "");
  return pair;
}

TEST(General, IsQualified) {
  const BasisMatrix q = FromText("1100/0011");
  EXPECT_TRUE(IsQualified(q, {1, 1, 0, 0}));
  EXPECT_TRUE(IsQualified(q, {1, 1, 1, 1}));
  EXPECT_TRUE(IsQualified(q, {0, 1, 1, 1}));
  EXPECT_FALSE(IsQualified(q, {1, 0, 1, 0}));
  EXPECT_FALSE(IsQualified(BasisMatrix(0, 4), {1, 1, 1, 1}));
  // A set matrix holds bits: an entry stored as 2 is a member like 1.
  EXPECT_FALSE(IsQualified(FromText("21"), {0, 1}));
  EXPECT_TRUE(IsQualified(FromText("21"), {1, 1}));
  // A set naming a participant beyond v is never contained in it.
  EXPECT_FALSE(IsQualified(q, {0, 1, 1}));
  EXPECT_TRUE(IsQualified(FromText("110"), {1, 1}));
}

TEST(General, ExampleTable) {
  GeneralPair p = Build(FromText("110/011"), 3);
  EXPECT_EQ(p.forbidden, "010/101");
  EXPECT_EQ(p.s0, "01/01/01");
  EXPECT_EQ(p.s1, "10/01/10");

  p = Build(FromText("110/101/011"), 3);
  EXPECT_EQ(p.forbidden, "100/010/001");
  EXPECT_EQ(p.before0, "0111/0111/0111");
  EXPECT_EQ(p.before1, "0111/1011/1101");
  EXPECT_EQ(p.s0, "011/011/011");
  EXPECT_EQ(p.s1, "011/101/110");

  p = Build(FromText("111"), 3);
  EXPECT_EQ(p.forbidden, "110/101/011");
  EXPECT_EQ(p.s0, "0011/0101/0110");
  EXPECT_EQ(p.s1, "0011/0101/1001");

  p = Build(FromText("1100/0011"), 4);
  EXPECT_EQ(p.forbidden, "1010/0110/1001/0101");
  EXPECT_EQ(p.before0, "01011111/01111011/00111111/01111101");
  EXPECT_EQ(p.before1, "01011111/10110111/00111111/11010111");
  EXPECT_EQ(p.s0, "01011/01101/00111/01110");
  EXPECT_EQ(p.s1, "01011/10101/00111/11001");

  p = Build(FromText("1100/0110/0011"), 4);
  EXPECT_EQ(p.forbidden, "1010/1001/0101");
  EXPECT_EQ(p.s0, "001/011/011/010");
  EXPECT_EQ(p.s1, "001/110/011/100");
}

TEST(General, NoSetChosen) {
  const GeneralPair p = Build(BasisMatrix(0, 3), 3);
  EXPECT_EQ(p.forbidden, "111");
  EXPECT_EQ(p.before0, "0/0/0");
  EXPECT_EQ(p.before1, "0/0/0");
  // Three rows without columns.
  EXPECT_EQ(p.s0, "//");
  EXPECT_EQ(p.s1, "//");
}

TEST(General, ContainedSetChangesNothing) {
  const GeneralPair alone = Build(FromText("110"), 3);
  const GeneralPair both = Build(FromText("110/111"), 3);
  EXPECT_EQ(both.s0, alone.s0);
  EXPECT_EQ(both.s1, alone.s1);
}

TEST(General, SetsForOtherParticipantCounts) {
  // Chosen for four participants, used with three: {3,4} names an absent participant.
  const GeneralPair narrow = Build(FromText("110"), 3);
  const GeneralPair wide = Build(FromText("1100/0011"), 3);
  EXPECT_EQ(wide.forbidden, narrow.forbidden);
  EXPECT_EQ(wide.s0, narrow.s0);
  EXPECT_EQ(wide.s1, narrow.s1);
  // Chosen for two, used with three: participant 3 belongs to no set.
  const GeneralPair short_sets = Build(FromText("11"), 3);
  EXPECT_EQ(short_sets.s0, narrow.s0);
  EXPECT_EQ(short_sets.s1, narrow.s1);
}

TEST(General, ComplementTranspose) {
  EXPECT_EQ(ToText(ComplementTranspose(FromText("101/010"))), "01/10/01");
  EXPECT_EQ(ComplementTranspose(BasisMatrix(0, 3)).Rows(), 3);
  EXPECT_EQ(ComplementTranspose(BasisMatrix(0, 3)).Cols(), 0);
}

TEST(General, MissingRowsOfTAreWhite) {
  // T for two participants, built for three: participant 3 is in every forbidden set.
  EXPECT_EQ(ToText(BuildGeneralS1(FromText("10/01"), 3)), "10/01/00");
  EXPECT_EQ(BuildGeneralS0(BasisMatrix(3, 0), 3).Cols(), 0);
}

// Nine participants, every set of five qualified: the 126 sets of four are the maximal
// forbidden ones, a dual far wider than a mask. The pair is refused before it is built, and
// the constructions given such a dual directly build nothing (and shift no bit out of range).
TEST(General, ManyMaximalForbiddenSets) {
  BasisMatrix q(0, 9);
  for (uint32_t set = 0; set < 512; ++set) {
    if (std::popcount(set) == 5)
      q.InsertRow(q.Rows(), Members(set, 9).data());
  }
  const BasisMatrix f = MaximalForbiddenSets(q, 9);
  EXPECT_EQ(f.Rows(), 126);
  SchemeParams params;
  params.scheme = SchemeKind::SchemeGeneral;
  params.n = 9;
  params.qualifiedSets = &q;
  EXPECT_EQ(BuildSchemePair(params).error, Code::kMatricesTooLarge);

  const BasisMatrix t = ComplementTranspose(f);
  for (int32_t width : {32, 40, 126}) {
    BasisMatrix dual(9, width);
    for (int32_t i = 0; i < 9; ++i) {
      for (int32_t l = 0; l < width; ++l)
        dual.Set(i, l, t.Get(i, l));
    }
    EXPECT_EQ(BuildGeneralS1(dual, 9).Cols(), 0) << width;
    EXPECT_EQ(BuildGeneralS0(dual, 9).Cols(), 0) << width;
    BasisMatrix s1(0, 0), s0(0, 0);
    BuildGeneralPair(dual, 9, s1, s0);
    EXPECT_EQ(s1.Cols(), 0) << width;
    EXPECT_EQ(s0.Rows(), 9) << width;
  }
}

TEST(General, RandomStructures) {
  std::mt19937 rng(31337);
  for (int trial = 0; trial < 200; ++trial) {
    const int32_t n = 2 + trial % 5;
    // A few random sets of two or more participants, sometimes one naming participant n + 1.
    BasisMatrix q(0, n + trial % 2);
    std::uniform_int_distribution<uint32_t> pick(0, (1u << q.Cols()) - 1);
    for (int s = 0; s < 1 + trial % 4; ++s) {
      uint32_t set = pick(rng);
      if (std::popcount(set) < 2)
        set |= 3;
      q.InsertRow(q.Rows(), Members(set, q.Cols()).data());
    }
    SCOPED_TRACE(ToText(q));
    Build(q, n);
  }
}

TEST(General, AllPairsOfFiveParticipants) {
  // Every pair qualified: the maximal forbidden sets are the five singletons.
  BasisMatrix q(0, 5);
  for (uint32_t set = 0; set < 32; ++set) {
    if (std::popcount(set) == 2)
      q.InsertRow(q.Rows(), Members(set, 5).data());
  }
  const GeneralPair p = Build(q, 5);
  EXPECT_EQ(p.forbidden, "10000/01000/00100/00010/00001");
}

}  // namespace
}  // namespace quillon
