#include "core/basis_matrix.h"

#include <gtest/gtest.h>

#include <random>

#include "core/random.h"

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

// Draws a fixed list of numbers, so that a test can name them.
class ListedDraws : public RandomSource {
 public:
  explicit ListedDraws(std::vector<int32_t> draws) : m_draws(std::move(draws)) {}
  int32_t Next() override { return m_draws.at(m_next++); }
  size_t Used() const { return m_next; }

 private:
  std::vector<int32_t> m_draws;
  size_t m_next = 0;
};

TEST(BasisMatrix, NegativeSizesAreZero) {
  BasisMatrix a(-3, 4);
  EXPECT_EQ(a.Rows(), 0);
  EXPECT_EQ(a.Cols(), 4);
  BasisMatrix b(2, -1);
  EXPECT_EQ(b.Rows(), 2);
  EXPECT_EQ(b.Cols(), 0);
}

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

TEST(BasisMatrix, PermuteColumnsProbesRightAndWraps) {
  BasisMatrix m = FromRows({{10, 11, 12}, {20, 21, 22}});
  auto draws = std::make_unique<ListedDraws>(std::vector<int32_t>{5, 2, 7});
  ListedDraws* listed = draws.get();
  auto previous = SetRandomSource(std::move(draws));
  m.PermuteColumns();
  // Column 0 goes to 5 % 3 = 2, column 1 to 2 (taken) -> 0, column 2 to 7 % 3 = 1.
  EXPECT_EQ(m, FromRows({{11, 12, 10}, {21, 22, 20}}));
  EXPECT_EQ(listed->Used(), 3u);

  BasisMatrix empty(4, 0);
  empty.PermuteColumns();
  EXPECT_EQ(listed->Used(), 3u);
  SetRandomSource(std::move(previous));
}

TEST(BasisMatrix, PermuteColumnsDrawsOnePerColumnWhateverTheRows) {
  for (int rows : {0, 1, 9}) {
    auto draws = std::make_unique<ListedDraws>(std::vector<int32_t>(5, 3));
    ListedDraws* listed = draws.get();
    auto previous = SetRandomSource(std::move(draws));
    BasisMatrix m(rows, 5);
    m.PermuteColumns();
    EXPECT_EQ(listed->Used(), 5u) << rows << " rows";
    SetRandomSource(std::move(previous));
  }
}

TEST(RandomSource, SeededSourceIsTheMinimalStandardEngine) {
  ScopedSeed seed(42);
  std::minstd_rand engine(42);
  int32_t batch[3];
  EXPECT_EQ(Rand(), static_cast<int32_t>(engine()));
  RandFill(batch, 3);
  for (int32_t value : batch)
    EXPECT_EQ(value, static_cast<int32_t>(engine()));
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
  SetRandomSource(std::move(previous));
}

}  // namespace
}  // namespace quillon
