#include "core/basis_matrix.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

#include "core/random.h"
#include "tests/test_util.h"

namespace quillon {
namespace {

BasisMatrix FromRows(const std::vector<std::vector<int32_t>>& rows) {
  BasisMatrix m(static_cast<int32_t>(rows.size()), rows.empty() ? 0 : rows[0].size());
  for (size_t r = 0; r < rows.size(); ++r) {
    for (size_t c = 0; c < rows[r].size(); ++c)
      m.Set(r, c, rows[r][c]);
  }
  return m;
}

using testing::ListedDraws;
using testing::ScopedSource;
TEST(BasisMatrix, InsertRowsAppendsInCallOrder) {
  BasisMatrix m(0, 4);
  const int32_t first[] = {1, 2, 3, 4}, second[] = {5, 6, 7, 8}, third[] = {9, 9, 9, 9};
  m.InsertRow(0, first);
  EXPECT_EQ(m, FromRows({{1, 2, 3, 4}}));
  m.InsertRow(m.Rows(), second);
  m.InsertRow(0, third);
  EXPECT_EQ(m, FromRows({{9, 9, 9, 9}, {1, 2, 3, 4}, {5, 6, 7, 8}}));
  m.InsertRow(-1, first);
  m.InsertRow(4, first);
  EXPECT_EQ(m.Rows(), 3);
  m.RemoveRow(1);
  EXPECT_EQ(m, FromRows({{9, 9, 9, 9}, {5, 6, 7, 8}}));
  m.RemoveRow(2);
  m.RemoveRow(-1);
  EXPECT_EQ(m.Rows(), 2);
}

TEST(BasisMatrix, ColumnEditingIgnoresPositionsOutsideTheRange) {
  BasisMatrix m = FromRows({{1, 2}, {3, 4}});
  const int32_t values[] = {7, 8};
  m.InsertColumn(m.Cols() + 1, values);
  m.InsertColumn(-1, values);
  EXPECT_EQ(m, FromRows({{1, 2}, {3, 4}}));
  m.InsertColumn(m.Cols(), values);
  EXPECT_EQ(m, FromRows({{1, 2, 7}, {3, 4, 8}}));
  m.InsertColumn(1, values);
  EXPECT_EQ(m, FromRows({{1, 7, 2, 7}, {3, 8, 4, 8}}));
  m.RemoveColumn(m.Cols());
  EXPECT_EQ(m.Cols(), 4);
  m.RemoveColumn(0);
  EXPECT_EQ(m, FromRows({{7, 2, 7}, {8, 4, 8}}));

  BasisMatrix one = FromRows({{1}, {0}, {1}});
  one.RemoveColumn(0);
  EXPECT_EQ(one.Cols(), 0);
  EXPECT_EQ(one.Rows(), 3);
}

// Every tuple of accepted choices, fed in as draws, must give each order of c columns
// exactly once: then every order is equally likely.
TEST(BasisMatrix, PermuteColumnsGivesEveryOrderExactlyOnce) {
  for (int c = 1; c <= 6; ++c) {
    SCOPED_TRACE(::testing::Message() << c << " columns");
    // The choices of the shuffle are among c, c - 1, ..., 2: c! tuples in all.
    std::vector<int32_t> tuple(c > 1 ? c - 1 : 0, 0);
    std::set<std::vector<int32_t>> orders;
    size_t tuples = 0;
    for (;;) {
      BasisMatrix m(2, c);
      for (int j = 0; j < c; ++j) {
        m.Set(0, j, j);
        m.Set(1, j, 10 * j);
      }
      {
        ScopedSource<ListedDraws> draws(tuple);
        m.PermuteColumns();
        EXPECT_EQ(draws->Used(), tuple.size());
      }
      std::vector<int32_t> order;
      for (int j = 0; j < c; ++j) {
        ASSERT_EQ(m.Get(1, j), 10 * m.Get(0, j)) << "columns stay whole";
        order.push_back(m.Get(0, j));
      }
      orders.insert(order);
      ++tuples;
      // Next tuple: digit t counts among c - t.
      size_t t = 0;
      while (t < tuple.size() && ++tuple[t] == c - static_cast<int32_t>(t))
        tuple[t++] = 0;
      if (t == tuple.size())
        break;
    }
    size_t factorial = 1;
    for (int i = 2; i <= c; ++i)
      factorial *= i;
    EXPECT_EQ(tuples, factorial);
    EXPECT_EQ(orders.size(), factorial);
  }
}

TEST(BasisMatrix, PermuteColumnsWorkedExampleAndDrawCounts) {
  // Choices 0 among 3, then 0 among 2: swaps (2, 0) and (1, 0) give the order 1, 2, 0.
  BasisMatrix m = FromRows({{10, 11, 12}, {20, 21, 22}});
  {
    ScopedSource<ListedDraws> draws(std::vector<int32_t>{3, 4});
    m.PermuteColumns();
    EXPECT_EQ(draws->Used(), 2u);
  }
  EXPECT_EQ(m, FromRows({{11, 12, 10}, {21, 22, 20}}));

  for (int rows : {0, 1, 9}) {
    for (int cols : {0, 1, 5}) {
      ScopedSource<ListedDraws> draws(std::vector<int32_t>(5, 3));
      BasisMatrix sized(rows, cols);
      sized.PermuteColumns();
      EXPECT_EQ(draws->Used(), cols > 1 ? cols - 1u : 0u) << rows << " x " << cols;
    }
  }
}

// A source of 10 values, 5 .. 14: choices among 3 reject 14 (limit 9 after the lowest is
// taken off), choices among 4 reject 13 and 14, choices among 5 reject nothing.
TEST(RandomSource, BoundedChoicesRejectExactlyFromTheLimitOn) {
  const struct {
    int32_t bound;
    std::vector<int32_t> draws;
    int32_t choice;
  } cases[] = {
      {3, {14, 14, 13}, 2},  // 13 - 5 = 8, 8 mod 3
      {3, {11}, 0},         {4, {13, 14, 12}, 3}, {4, {5}, 0},
      {5, {14}, 4},         {1, {14}, 0},         {10, {14}, 9},
  };
  for (const auto& c : cases) {
    ScopedSource<ListedDraws> draws(c.draws, 5, 10);
    EXPECT_EQ(RandBelow(c.bound), c.choice) << "bound " << c.bound;
    EXPECT_EQ(draws->Used(), c.draws.size()) << "bound " << c.bound;
  }
}

// The batched stream must take exactly the numbers of as many RandBelow calls, rejections
// included, and leave the source where they would.
TEST(RandomSource, ChoiceStreamMatchesSingleBoundedChoices) {
  std::mt19937 engine(3);
  std::vector<int32_t> values(60000);
  for (auto& v : values)
    v = 5 + static_cast<int32_t>(engine() % 10);
  // Runs of one bound, of random lengths.
  std::vector<uint32_t> bounds;
  std::vector<size_t> runStarts;
  while (bounds.size() < 20000) {
    runStarts.push_back(bounds.size());
    bounds.insert(bounds.end(), 1 + engine() % 40, 1 + engine() % 7);
  }
  runStarts.push_back(bounds.size());

  std::vector<uint32_t> single, batched;
  size_t singleUsed, batchedUsed;
  {
    ScopedSource<ListedDraws> draws(values, 5, 10);
    for (uint32_t b : bounds)
      single.push_back(static_cast<uint32_t>(RandBelow(static_cast<int32_t>(b))));
    singleUsed = draws->Used();
  }
  {
    ScopedSource<ListedDraws> draws(values, 5, 10);
    ChoiceStream stream(static_cast<int64_t>(bounds.size()));
    // Take the runs by the three ways of asking in turn.
    for (size_t run = 0; run + 1 < runStarts.size(); ++run) {
      const size_t begin = runStarts[run], end = runStarts[run + 1];
      const ChoiceBound bound(bounds[begin], stream.Span());
      if (run % 3 == 0) {
        batched.resize(end);
        stream.Fill(bound, batched.data() + begin, static_cast<int64_t>(end - begin));
        continue;
      }
      for (size_t i = begin; i < end; ++i)
        batched.push_back(run % 3 == 1 ? stream.Below(bounds[i]) : stream.Below(bound));
    }
    batchedUsed = draws->Used();
  }
  EXPECT_EQ(single, batched);
  EXPECT_EQ(singleUsed, batchedUsed);
  EXPECT_GT(singleUsed, bounds.size()) << "the case must include rejections";
}

TEST(RandomSource, SeededSourceIsTheMinimalStandardEngine) {
  ScopedSeed seed(42);
  std::minstd_rand engine(42);
  int32_t batch[3];
  EXPECT_EQ(Rand(), static_cast<int32_t>(engine()));
  RandFill(batch, 3);
  for (int32_t value : batch)
    EXPECT_EQ(value, static_cast<int32_t>(engine()));
  EXPECT_EQ(RandLowest(), 1);
  EXPECT_EQ(RandSpan(), (uint32_t{1} << 31) - 2);
}

TEST(RandomSource, SystemSourceGivesNonNegativeUnrepeatedDraws) {
  auto previous = SetRandomSource(MakeSystemRandom());
  std::vector<int32_t> a(4000), b(4000);
  RandFill(a.data(), 4000);
  for (auto& v : b)
    v = Rand();
  for (int32_t v : a)
    ASSERT_GE(v, 0);
  EXPECT_NE(a, b);
  EXPECT_EQ(RandLowest(), 0);
  EXPECT_EQ(RandSpan(), uint32_t{1} << 31);
  SetRandomSource(std::move(previous));
}

}  // namespace
}  // namespace quillon
