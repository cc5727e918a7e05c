#include "schemes/kofn.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

#include "schemes/threshold.h"
#include "tests/schemes/checks.h"
#include "reference/plain_schemes.h"

namespace quillon {
namespace {

using reference::HasColumn;
using reference::PermuteByRank;
using testing::ArrangementsFromText;
using testing::FromText;
using testing::ToText;

TEST(KofN, ArrangementLength) {
  EXPECT_EQ(ArrangementLength(5, 2), 6);
  EXPECT_EQ(ArrangementLength(6, 3), 6);
  EXPECT_EQ(ArrangementLength(4, 4), 4);
  EXPECT_EQ(ArrangementLength(7, 3), 9);
  EXPECT_EQ(ArrangementLength(2, 3), 3);
  EXPECT_EQ(ArrangementLength(3, 1), 3);
  EXPECT_EQ(ArrangementLength(0, 2), 0);
  EXPECT_EQ(ArrangementLength(5, 0), 0);
  EXPECT_EQ(ArrangementLength(-1, 2), 0);
}

TEST(KofN, PermuteByRank) {
  const int32_t expected[6][3] = {{2, 1, 0}, {1, 2, 0}, {2, 0, 1}, {0, 2, 1}, {1, 0, 2}, {0, 1, 2}};
  for (int32_t p = 0; p < 6; ++p) {
    int32_t values[3] = {0, 1, 2};
    PermuteByRank(values, p, 3);
    EXPECT_EQ(std::vector<int32_t>(values, values + 3),
              std::vector<int32_t>(expected[p], expected[p] + 3))
        << "rank " << p;
  }
  for (int32_t length = 1; length <= 8; ++length) {
    std::vector<int32_t> values(length), first(length), last(length);
    for (int32_t i = 0; i < length; ++i)
      values[i] = 10 + i;
    first = last = values;
    PermuteByRank(first.data(), 0, length);
    PermuteByRank(last.data(), reference::PlainFactorial(length) - 1, length);
    EXPECT_EQ(first, std::vector<int32_t>(values.rbegin(), values.rend())) << length;
    EXPECT_EQ(last, values) << length;
  }
  // Every rank of length 5 is a different permutation.
  std::set<std::vector<int32_t>> seen;
  for (int32_t p = 0; p < 120; ++p) {
    std::vector<int32_t> values = {0, 1, 2, 3, 4};
    PermuteByRank(values.data(), p, 5);
    seen.insert(values);
  }
  EXPECT_EQ(seen.size(), 120u);
  PermuteByRank(nullptr, 3, 0);  // nothing to reorder
}

TEST(KofN, HasColumn) {
  const ArrangementTable m = ArrangementsFromText("120/345");
  const int32_t middle[] = {2, 4}, partial[] = {2, 5}, absent[] = {9, 9};
  EXPECT_TRUE(HasColumn(middle, m));
  EXPECT_FALSE(HasColumn(partial, m));
  EXPECT_FALSE(HasColumn(absent, m));
  EXPECT_FALSE(HasColumn(middle, ArrangementTable(2, 0)));
  // With no rows every column matches.
  EXPECT_TRUE(HasColumn(nullptr, ArrangementTable(0, 1)));
}

TEST(KofN, ArrangementsOfThreeTwo) {
  EXPECT_EQ(ToText(BuildArrangements(4, 2)), "110100/101010/011001/000111");
  EXPECT_EQ(ToText(BuildArrangements(2, 2)), "10/01");
}

TEST(KofN, ArrangementsInRankOrder) {
  for (int32_t q = 1; q <= 9; ++q) {
    for (int32_t k = 1; k <= q; ++k) {
      if (q % k != 0)
        continue;
      const ArrangementTable fast = BuildArrangements(q, k);
      EXPECT_EQ(fast.Cols(), ArrangementCount(q, k)) << q << "," << k;
      EXPECT_EQ(fast, reference::BuildArrangements(q, k, q <= 6)) << q << "," << k;
    }
  }
}

TEST(KofN, ArrangementsOutsideTheConstruction) {
  EXPECT_EQ(BuildArrangements(0, 1).Cols(), 1);  // the one empty arrangement
  EXPECT_EQ(BuildArrangements(5, 2).Cols(), 0);  // 2 does not divide 5
  EXPECT_EQ(BuildArrangements(5, 2).Rows(), 5);
  EXPECT_EQ(BuildArrangements(4, 0).Cols(), 0);
  EXPECT_EQ(BuildArrangements(-2, 1).Rows(), 0);
  EXPECT_EQ(ArrangementCount(16, 8), 81729648000);
  EXPECT_EQ(ArrangementCount(60, 30), std::numeric_limits<int64_t>::max());
}

TEST(KofN, ColumnCounts) {
  EXPECT_EQ(KofNColumnCount(7, 3), 6720);
  EXPECT_EQ(KofNColumnCount(6, 5), 1814400);
  EXPECT_EQ(KofNColumnCount(9, 4), 2956800);
  EXPECT_EQ(KofNColumnCount(8, 8), 5160960);
  EXPECT_EQ(KofNColumnCount(7, 6), 239500800);
  EXPECT_EQ(KofNColumnCount(9, 9), 92897280);
  EXPECT_EQ(KofNColumnCount(3, 0), 0);
}

struct TableRow {
  int32_t n, k, q, arrangements, before, after;
};

TEST(KofN, ExampleTable) {
  const TableRow table[] = {
      {2, 2, 2, 2, 4, 4},          {3, 2, 4, 6, 12, 12},      {3, 3, 3, 6, 24, 24},
      {4, 2, 4, 6, 12, 12},        {4, 3, 6, 90, 360, 216},   {4, 4, 4, 24, 192, 192},
      {5, 2, 6, 20, 40, 40},       {5, 3, 6, 90, 360, 360},   {5, 4, 8, 2520, 20160, 8640},
      {5, 5, 5, 120, 1920, 1920},  {6, 2, 6, 20, 40, 40},     {7, 2, 8, 70, 140, 140},
      {7, 3, 9, 1680, 6720, 6720}, {9, 2, 10, 252, 504, 504},
  };
  for (const TableRow& row : table) {
    SCOPED_TRACE(::testing::Message() << "n=" << row.n << " k=" << row.k);
    ASSERT_EQ(ArrangementLength(row.n, row.k), row.q);
    const ArrangementTable a = BuildArrangements(row.q, row.k);
    EXPECT_EQ(a.Cols(), row.arrangements);
    BasisMatrix s1 = BuildKofNS1(a, row.k, row.n);
    BasisMatrix s0 = BuildKofNS0(a, row.k, row.n);
    EXPECT_EQ(s1.Cols(), row.before);
    EXPECT_EQ(s0.Cols(), row.before);
    EXPECT_EQ(KofNColumnCount(row.n, row.k), row.before);
    EXPECT_EQ(s1, reference::BuildKofN(a, row.k, row.n, true));
    EXPECT_EQ(s0, reference::BuildKofN(a, row.k, row.n, false));
    CancelCommonColumns(s1, s0);
    EXPECT_EQ(s1.Cols(), row.after);
    EXPECT_EQ(s0.Cols(), row.after);
  }
}

TEST(KofN, ThreeParticipantsThresholdTwo) {
  const ArrangementTable a = BuildArrangements(4, 2);
  BasisMatrix s1 = BuildKofNS1(a, 2, 3), s0 = BuildKofNS0(a, 2, 3);
  CancelCommonColumns(s1, s0);
  EXPECT_EQ(ToText(s0), "010101010101/010101010101/010101010101");
  EXPECT_EQ(ToText(s1), "010110011010/011001100110/100101101001");

  const ArrangementTable b = BuildArrangements(2, 2);
  EXPECT_EQ(ToText(BuildKofNS0(b, 2, 2)), "0101/0101");
  EXPECT_EQ(ToText(BuildKofNS1(b, 2, 2)), "0110/1001");
}

TEST(KofN, ThresholdAboveParticipantsLeavesNoColumns) {
  const ArrangementTable a = BuildArrangements(3, 3);
  BasisMatrix s1 = BuildKofNS1(a, 3, 2), s0 = BuildKofNS0(a, 3, 2);
  EXPECT_EQ(s1.Cols(), 24);
  CancelCommonColumns(s1, s0);
  EXPECT_EQ(s1.Rows(), 2);
  EXPECT_EQ(s0.Rows(), 2);
  EXPECT_EQ(s1.Cols(), 0);
  EXPECT_EQ(s0.Cols(), 0);
}

TEST(KofN, ThresholdOne) {
  const ArrangementTable a = BuildArrangements(ArrangementLength(3, 1), 1);
  EXPECT_EQ(ToText(a), "0/0/0");
  EXPECT_EQ(ToText(BuildKofNS0(a, 1, 3)), "0/0/0");
  EXPECT_EQ(ToText(BuildKofNS1(a, 1, 3)), "1/1/1");
}

TEST(KofN, UnusableArrangementsGiveNoColumns) {
  const ArrangementTable a = ArrangementsFromText("01/12");
  EXPECT_EQ(BuildKofNS0(a, 2, 2).Cols(), 0);  // the value 2 names no row of the (2,2) basis
  EXPECT_EQ(BuildKofNS0(a, 2, 3).Cols(), 0);  // more participants than rows
  EXPECT_EQ(BuildKofNS0(a, 2, 3).Rows(), 3);
  EXPECT_EQ(ToText(BuildKofNS1(a, 3, 1)), "10010101");  // only row 0 is read
}

TEST(KofN, CancelExample) {
  BasisMatrix s1 = FromText("101/011"), s0 = FromText("011/001");
  CancelCommonColumns(s1, s0);
  EXPECT_EQ(ToText(s1), "0/1");
  EXPECT_EQ(ToText(s0), "0/0");

  BasisMatrix same1 = BuildNofNS0(4), same0 = BuildNofNS0(4);
  CancelCommonColumns(same1, same0);
  EXPECT_EQ(same1.Rows(), 4);
  EXPECT_EQ(same1.Cols(), 0);
  EXPECT_EQ(same0.Cols(), 0);
}

TEST(KofN, CancelWithDifferentRowCounts) {
  // Columns are compared in S0's rows; S1's extra row is not looked at.
  BasisMatrix s1 = FromText("10/01/11"), s0 = FromText("01/00");
  CancelCommonColumns(s1, s0);
  EXPECT_EQ(ToText(s1), "0/1/1");
  EXPECT_EQ(ToText(s0), "0/0");
  // A shorter S1 cannot hold a column equal in every row of S0.
  BasisMatrix short1 = FromText("01"), tall0 = FromText("01/01");
  CancelCommonColumns(short1, tall0);
  EXPECT_EQ(ToText(short1), "01");
  EXPECT_EQ(ToText(tall0), "01/01");
}

TEST(KofN, PairInOnePassSameAsStepByStep) {
  for (int32_t n = 1; n <= 7; ++n) {
    for (int32_t k = 1; k <= n + 1; ++k) {
      if (KofNColumnCount(n, k) > 400000)
        continue;
      SCOPED_TRACE(::testing::Message() << "n=" << n << " k=" << k);
      const ArrangementTable a = BuildArrangements(ArrangementLength(n, k), k);
      BasisMatrix s1 = BuildKofNS1(a, k, n), s0 = BuildKofNS0(a, k, n);
      CancelCommonColumns(s1, s0);
      BasisMatrix fast1(0, 0), fast0(0, 0);
      BuildKofNPair(a, k, n, fast1, fast0);
      EXPECT_EQ(fast1, s1);
      EXPECT_EQ(fast0, s0);
    }
  }
  BasisMatrix s1(0, 0), s0(0, 0);
  BuildKofNPair(ArrangementsFromText("01/12"), 2, 2, s1, s0);
  EXPECT_EQ(s1, BasisMatrix(2, 0));
  EXPECT_EQ(s0, BasisMatrix(2, 0));
}

// Columns drawn from a small pool, so that patterns repeat whatever the row count.
BasisMatrix RandomMatrix(std::mt19937& rng, int32_t rows, int32_t cols,
                         const std::vector<std::vector<int32_t>>& pool) {
  BasisMatrix m(rows, cols);
  std::uniform_int_distribution<size_t> pick(0, pool.size() - 1);
  for (int32_t c = 0; c < cols; ++c) {
    const std::vector<int32_t>& column = pool[pick(rng)];
    for (int32_t r = 0; r < rows; ++r)
      m.Set(r, c, column[r]);
  }
  return m;
}

TEST(KofN, CancelSameAsPairwise) {
  std::mt19937 rng(20240607);
  // Row counts cover the table, the map and the pairwise paths; a value 2 is stored as 1.
  const int32_t rowCounts[] = {0, 1, 2, 3, 5, 9, 21, 40, 63, 64, 70};
  for (int32_t rows : rowCounts) {
    for (int32_t maxValue : {1, 2}) {
      for (int trial = 0; trial < 12; ++trial) {
        std::uniform_int_distribution<int32_t> value(0, maxValue);
        std::vector<std::vector<int32_t>> pool(1 + trial % 6, std::vector<int32_t>(rows));
        for (auto& column : pool) {
          for (auto& entry : column)
            entry = value(rng);
        }
        const int32_t extraRows = trial % 3 == 2 ? 1 : 0;
        std::uniform_int_distribution<int32_t> width(0, 40);
        BasisMatrix s0 = RandomMatrix(rng, rows, width(rng), pool);
        BasisMatrix s1 = RandomMatrix(rng, rows, width(rng), pool);
        for (int32_t e = 0; e < extraRows; ++e) {
          std::vector<int32_t> extra(s1.Cols(), 1);
          s1.InsertRow(s1.Rows(), extra.data());
        }
        BasisMatrix plain1 = s1, plain0 = s0;
        reference::CancelCommonColumns(plain1, plain0);
        CancelCommonColumns(s1, s0);
        ASSERT_EQ(s1, plain1) << rows << " rows, trial " << trial;
        ASSERT_EQ(s0, plain0) << rows << " rows, trial " << trial;
      }
    }
  }
}

}  // namespace
}  // namespace quillon

namespace quillon {
namespace {

// Bases E of 16 and 17 rows, whose tables of unions are the largest: the same matrix.
TEST(KofN, WideBasesGiveThePlainMatrix) {
  for (int32_t k : {16, 17}) {
    ArrangementTable a(k, 0);
    std::vector<int32_t> column(k);
    for (int32_t t = 0; t < k; ++t)
      column[t] = (t * 5 + 3) % k;
    a.AppendColumn(column.data());
    EXPECT_EQ(BuildKofNS1(a, k, k), reference::BuildKofN(a, k, k, true)) << k;
  }
}

}  // namespace
}  // namespace quillon
