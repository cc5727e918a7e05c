#include "core/basis_matrix.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <new>
#include <numeric>
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

// The packed rows against a plain table of ints, through random edits on widths that
// cross 64-column words: every operation, the column codes and the column writer.
TEST(BasisMatrix, EditsMatchAPlainTableAcrossWordBoundaries) {
  using Table = std::vector<std::vector<int32_t>>;
  const auto expectSame = [](const BasisMatrix& m, const Table& t, int step) {
    ASSERT_EQ(m.Rows(), static_cast<int32_t>(t.size())) << "step " << step;
    for (size_t r = 0; r < t.size(); ++r) {
      ASSERT_EQ(m.Cols(), static_cast<int32_t>(t[r].size())) << "step " << step;
      for (size_t j = 0; j < t[r].size(); ++j)
        ASSERT_EQ(m.Get(r, j), t[r][j]) << "step " << step << " at " << r << "," << j;
    }
  };
  std::mt19937 rng(64);
  for (int trial = 0; trial < 40; ++trial) {
    const int32_t rows = 1 + trial % 9, cols = 50 + 7 * trial;
    Table t(rows, std::vector<int32_t>(cols));
    BasisMatrix m(rows, cols);
    for (int32_t r = 0; r < rows; ++r) {
      for (int32_t j = 0; j < cols; ++j) {
        t[r][j] = rng() % 2;
        m.Set(r, j, t[r][j] ? 1 + int32_t(rng() % 5) : 0);  // any non-zero is stored as 1
      }
    }
    for (int step = 0; step < 30; ++step) {
      const int32_t width = static_cast<int32_t>(t.empty() ? 0 : t[0].size());
      switch (rng() % 6) {
        case 0: {  // insert a column, sometimes out of range
          const int32_t at = static_cast<int32_t>(rng() % (width + 3)) - 1;
          std::vector<int32_t> values(t.size());
          for (auto& v : values)
            v = rng() % 2;
          m.InsertColumn(at, values.data());
          if (at >= 0 && at <= width) {
            for (size_t r = 0; r < t.size(); ++r)
              t[r].insert(t[r].begin() + at, values[r]);
          }
          break;
        }
        case 1: {
          const int32_t at = static_cast<int32_t>(rng() % (width + 2)) - 1;
          m.RemoveColumn(at);
          if (at >= 0 && at < width) {
            for (auto& row : t)
              row.erase(row.begin() + at);
          }
          break;
        }
        case 2: {
          std::vector<bool> keep(width);
          for (int32_t j = 0; j < width; ++j)
            keep[j] = rng() % 4 != 0;
          m.KeepColumns(keep);
          for (auto& row : t) {
            std::vector<int32_t> kept;
            for (int32_t j = 0; j < width; ++j) {
              if (keep[j])
                kept.push_back(row[j]);
            }
            row = kept;
          }
          break;
        }
        case 3: {  // a row in and a row out, at the ends and inside
          std::vector<int32_t> values(width);
          for (auto& v : values)
            v = rng() % 2;
          const int32_t at = static_cast<int32_t>(rng() % (t.size() + 1));
          m.InsertRow(at, values.data());
          t.insert(t.begin() + at, values);
          const int32_t out = static_cast<int32_t>(rng() % t.size());
          m.RemoveRow(out);
          t.erase(t.begin() + out);
          break;
        }
        case 4: {  // the same choices as the plain shuffle of the table's columns
          const uint32_t seed = rng();
          m.PermuteColumns(*MakeSeededRandom(seed));
          std::vector<int32_t> order(width);
          std::iota(order.begin(), order.end(), 0);
          auto source = MakeSeededRandom(seed);
          Shuffle(
              width, [&](uint32_t b) { return RandBelow(*source, static_cast<int32_t>(b)); },
              [&](int64_t i, int64_t j) { std::swap(order[i], order[j]); });
          for (auto& row : t) {
            std::vector<int32_t> moved(width);
            for (int32_t p = 0; p < width; ++p)
              moved[p] = row[order[p]];
            row = moved;
          }
          break;
        }
        case 5: {  // codes out, and a copy written back from them
          std::vector<uint16_t> codes(width);
          m.ColumnCodes(codes.data());
          BasisMatrix copy(m.Rows(), width);
          {
            BasisMatrix::ColumnWriter writer(copy);
            for (int32_t j = 0; j < width; ++j) {
              ASSERT_EQ(codes[j], m.ColumnCode(j));
              writer.Put(codes[j]);
            }
          }
          ASSERT_TRUE(copy == m);
          break;
        }
      }
      expectSame(m, t, step);
    }
  }
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
      // Column j holds the bits of j, so its code names it.
      BasisMatrix m(3, c);
      for (int j = 0; j < c; ++j) {
        for (int r = 0; r < 3; ++r)
          m.Set(r, j, (j >> r) & 1);
      }
      ListedDraws draws(tuple);
      m.PermuteColumns(draws);
      EXPECT_EQ(draws.Used(), tuple.size());
      std::vector<int32_t> order;
      for (int j = 0; j < c; ++j)
        order.push_back(static_cast<int32_t>(m.ColumnCode(j)));
      ASSERT_EQ(std::set<int32_t>(order.begin(), order.end()).size(), size_t(c))
          << "columns stay whole";
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
  BasisMatrix m = FromRows({{1, 0, 0}, {0, 1, 0}});
  ListedDraws draws(std::vector<int32_t>{3, 4});
  m.PermuteColumns(draws);
  EXPECT_EQ(draws.Used(), 2u);
  EXPECT_EQ(m, FromRows({{0, 0, 1}, {1, 0, 0}}));

  for (int rows : {0, 1, 9}) {
    for (int cols : {0, 1, 5}) {
      ListedDraws counted(std::vector<int32_t>(5, 3));
      BasisMatrix sized(rows, cols);
      sized.PermuteColumns(counted);
      EXPECT_EQ(counted.Used(), cols > 1 ? cols - 1u : 0u) << rows << " x " << cols;
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
    ListedDraws draws(c.draws, 5, 10);
    EXPECT_EQ(RandBelow(draws, c.bound), c.choice) << "bound " << c.bound;
    EXPECT_EQ(draws.Used(), c.draws.size()) << "bound " << c.bound;
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
    ListedDraws draws(values, 5, 10);
    for (uint32_t b : bounds)
      single.push_back(static_cast<uint32_t>(RandBelow(draws, static_cast<int32_t>(b))));
    singleUsed = draws.Used();
  }
  {
    ListedDraws draws(values, 5, 10);
    ChoiceStream stream(draws, static_cast<int64_t>(bounds.size()));
    // Take the runs by the three ways of asking in turn.
    int inPlace = 0;
    for (size_t run = 0; run + 1 < runStarts.size(); ++run) {
      const size_t begin = runStarts[run], end = runStarts[run + 1];
      const ChoiceBound bound(bounds[begin], stream.Span());
      if (run % 3 == 0) {
        batched.resize(end);
        // In place when the buffer holds the run with nothing rejected, copied otherwise.
        const int64_t count = static_cast<int64_t>(end - begin);
        if (const int32_t* raw = stream.TakeAccepted(bound, count)) {
          for (int64_t i = 0; i < count; ++i)
            batched[begin + i] = bound.Mod(static_cast<uint32_t>(raw[i] - stream.Lowest()));
          ++inPlace;
        } else {
          stream.Fill(bound, batched.data() + begin, count);
        }
        continue;
      }
      for (size_t i = begin; i < end; ++i)
        batched.push_back(run % 3 == 1 ? stream.Below(bounds[i]) : stream.Below(bound));
    }
    batchedUsed = draws.Used();
    EXPECT_GT(inPlace, 0) << "some runs must be read in place";
  }
  EXPECT_EQ(single, batched);
  EXPECT_EQ(singleUsed, batchedUsed);
  EXPECT_GT(singleUsed, bounds.size()) << "the case must include rejections";
}

TEST(RandomSource, SeededSourceIsTheMinimalStandardEngine) {
  auto seeded = MakeSeededRandom(42);
  std::minstd_rand engine(42);
  int32_t batch[3];
  EXPECT_EQ(seeded->Next(), static_cast<int32_t>(engine()));
  seeded->Fill(batch, 3);
  for (int32_t value : batch)
    EXPECT_EQ(value, static_cast<int32_t>(engine()));
  EXPECT_EQ(seeded->Lowest(), 1);
  EXPECT_EQ(seeded->Span(), (uint32_t{1} << 31) - 2);
  EXPECT_EQ(seeded->FailedWith(), 0);
  // Why quillon-cli takes only seeds 1 to 2^31 - 2: the others repeat a stream.
  for (uint32_t same : {0u, 2147483647u}) {
    auto a = MakeSeededRandom(same), b = MakeSeededRandom(same == 0 ? 1 : 0);
    EXPECT_EQ(a->Next(), b->Next()) << same;
  }
}

TEST(RandomSource, SystemSourceGivesNonNegativeUnrepeatedDraws) {
  auto system = MakeSystemRandom();
  std::vector<int32_t> a(40000), b(4000);
  system->Fill(a.data(), 40000);  // more than one refill
  for (auto& v : b)
    v = system->Next();
  for (int32_t v : a)
    ASSERT_GE(v, 0);
  EXPECT_NE(std::vector<int32_t>(a.begin(), a.begin() + 4000), b);
  EXPECT_EQ(system->Lowest(), 0);
  EXPECT_EQ(system->Span(), uint32_t{1} << 31);
  EXPECT_EQ(system->FailedWith(), 0);
}

// No entropy: the source says why, never aborts, and yields 0, which every bounded choice
// takes at once, so no draw loop spins and the stream's count comes out exact.
TEST(RandomSource, SystemSourceThatGetsNoEntropyFailsClosed) {
  const struct {
    int calls;  // successful calls before the failure
    ssize_t result;
    int error;
    int expected;
  } cases[] = {{0, -1, ENOSYS, ENOSYS}, {2, -1, EACCES, EACCES}, {1, 0, 0, EIO}, {0, -1, 0, EIO}};
  for (const auto& c : cases) {
    int calls = 0;
    auto system = MakeSystemRandom([&](void* out, size_t length) -> ssize_t {
      if (calls++ < c.calls) {
        // Short reads: the source must ask again for the rest of its 48-byte key.
        const size_t n = std::min<size_t>(length, 20);
        std::memset(out, 0xA5, n);
        return static_cast<ssize_t>(n);
      }
      errno = c.error;
      return c.result;
    });
    std::vector<int32_t> drawn(20000);
    system->Fill(drawn.data(), 20000);
    EXPECT_EQ(system->FailedWith(), c.expected) << c.calls << " " << c.error;
    EXPECT_EQ(calls, c.calls + 1) << "a failure is not retried";
    EXPECT_EQ(drawn, std::vector<int32_t>(20000, 0)) << "nothing of a partial fill is used";
    ChoiceStream stream(*system, 3);
    EXPECT_EQ(stream.Below(ChoiceBound(7, stream.Span())), 0u);
    EXPECT_EQ(stream.Below(5), 0u);
    EXPECT_EQ(RandBelow(*system, 3), 0);
    EXPECT_EQ(stream.Below(2), 0u);
    EXPECT_EQ(calls, c.calls + 1);
  }
}

// A cycle of bounds drawn at once (a block method's row of pixels) takes the numbers of as
// many single choices, rejections included, across refills.
TEST(RandomSource, ChoiceStreamCycleMatchesSingleChoices) {
  std::mt19937 engine(4);
  std::vector<int32_t> values(100000);
  for (auto& v : values)
    v = 5 + static_cast<int32_t>(engine() % 10);
  const uint32_t cycle[] = {7, 3, 2, 10, 2};
  const int64_t count = 5 * 7001;
  std::vector<uint32_t> single, cycled(count);
  ListedDraws singleDraws(values, 5, 10), cycledDraws(values, 5, 10);
  for (int64_t k = 0; k < count; ++k)
    single.push_back(static_cast<uint32_t>(RandBelow(singleDraws, cycle[k % 5])));
  {
    ChoiceStream stream(cycledDraws, count);
    std::vector<ChoiceBound> bounds;
    for (uint32_t bound : cycle)
      bounds.emplace_back(bound, stream.Span());
    stream.FillCycle(bounds.data(), 5, cycled.data(), count);
  }
  EXPECT_EQ(single, cycled);
  EXPECT_EQ(singleDraws.Used(), cycledDraws.Used());
  EXPECT_GT(singleDraws.Used(), count + 1000) << "the case must include rejections";
}

// A stream left with choices untaken asserts, except while an exception (out of memory in
// the middle of encoding) unwinds through it.
TEST(RandomSource, ChoiceStreamUnwindsQuietly) {
  auto seeded = MakeSeededRandom(3);
  EXPECT_THROW(
      {
        ChoiceStream stream(*seeded, 10);
        stream.Below(4);
        throw std::bad_alloc();
      },
      std::bad_alloc);
}

}  // namespace
}  // namespace quillon
