// Every fast encoder against its plain per-pixel version: same share bits, same matrices
// left behind, same number of draws (the next draw agrees), for odd sizes and all depths.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "reference/plain_expansion.h"
#include "schemes/scheme_pair.h"
#include "shares/expansion.h"
#include "tests/shares/share_test_util.h"

namespace quillon {
namespace {

using testing::Matrix;
using testing::RandomPicture;

struct Pair {
  const char* name;
  BasisMatrix s0, s1;
};

// A random m x c pair: enough to exercise layouts the schemes give (c above 64, c prime,
// m = 9).
Pair RandomPair(const char* name, int m, int c, uint32_t seed) {
  std::mt19937 engine(seed);
  Pair pair{name, BasisMatrix(m, c), BasisMatrix(m, c)};
  for (int r = 0; r < m; ++r) {
    for (int j = 0; j < c; ++j) {
      pair.s0.Set(r, j, engine() % 2);
      pair.s1.Set(r, j, engine() % 2);
    }
  }
  return pair;
}

std::vector<Pair> Pairs() {
  std::vector<Pair> pairs;
  pairs.push_back({"2of2", Matrix({"01", "01"}), Matrix({"01", "10"})});
  pairs.push_back({"c1", Matrix({"0", "0"}), Matrix({"1", "1"})});
  pairs.push_back({"2of3", Matrix({"001", "001", "001"}), Matrix({"100", "010", "001"})});
  pairs.push_back({"3of3", Matrix({"0110", "0101", "0011"}), Matrix({"1001", "0101", "0011"})});
  pairs.push_back(RandomPair("c5", 4, 5, 1));
  pairs.push_back(RandomPair("c8", 3, 8, 2));
  pairs.push_back(RandomPair("c12", 2, 12, 3));
  pairs.push_back(RandomPair("c70m9", 9, 70, 4));
  // Nine shares of eight columns: more than one word holds, a row's choices still drawn at once.
  pairs.push_back(RandomPair("c8m9", 9, 8, 5));
  return pairs;
}

struct Size {
  int32_t height, width;
};

// Values 7 .. 7 + span - 1 from a fixed engine: with a small span many choices are rejected,
// which the batched choices must handle exactly as single ones do.
class NarrowRandom : public RandomSource {
 public:
  NarrowRandom(uint32_t seed, uint32_t span) : m_engine(seed), m_span(span) {}
  int32_t Next() override { return 7 + static_cast<int32_t>(m_engine() % m_span); }
  int32_t Lowest() const override { return 7; }
  uint32_t Span() const override { return m_span; }

 private:
  std::mt19937 m_engine;
  uint32_t m_span;
};

// span 0: the seeded engine; otherwise a NarrowRandom of that span.
std::unique_ptr<RandomSource> Source(uint32_t seed, uint32_t span) {
  if (span == 0)
    return MakeSeededRandom(seed);
  return std::make_unique<NarrowRandom>(seed, span);
}

void ExpectSameShares(ExpansionMethod method, const Pair& pair, Size size, int depth, uint32_t seed,
                      uint32_t span = 0) {
  SCOPED_TRACE(::testing::Message()
               << "method " << static_cast<int>(method) << ", " << pair.name << ", " << size.height
               << "x" << size.width << ", depth " << depth << ", span " << span);
  const BmpImage secret = RandomPicture(size.height, size.width, depth, seed);
  std::vector<BmpImage> innocents;
  for (int r = 0; r < pair.s0.Rows(); ++r) {
    // Innocents may be larger than the secret and of any depth.
    const int bits[] = {1, 24, 4, 8, 2};
    innocents.push_back(
        RandomPicture(size.height + r % 2, size.width + 9 * (r % 3), bits[r % 5], seed + 10 + r));
  }

  BasisMatrix plain0 = pair.s0, plain1 = pair.s1;
  std::vector<BmpImage> plain;
  int32_t plainNext;
  {
    auto source = Source(seed, span);
    plain = PlainShares(*source, method, secret, innocents, plain0, plain1);
    plainNext = source->Next();
  }

  BasisMatrix fast0 = pair.s0, fast1 = pair.s1;
  const ShareSize shareSize =
      MethodShareSize(method, size.width, size.height, pair.s0.Rows(), pair.s0.Cols());
  std::vector<BmpImage> fast;
  for (int r = 0; r < pair.s0.Rows(); ++r) {
    fast.emplace_back(ShareName(r), static_cast<int32_t>(shareSize.height),
                      static_cast<int32_t>(shareSize.width));
  }
  int32_t fastNext;
  {
    auto source = Source(seed, span);
    EncodeShares(*source, method, secret, innocents, fast0, fast1, fast);
    fastNext = source->Next();
  }

  ASSERT_EQ(fast.size(), plain.size());
  for (size_t r = 0; r < fast.size(); ++r) {
    EXPECT_EQ(fast[r].Width(), plain[r].Width()) << "share " << r;
    EXPECT_EQ(fast[r].Height(), plain[r].Height()) << "share " << r;
    EXPECT_TRUE(fast[r].Pixels() == plain[r].Pixels()) << "share " << r;
  }
  EXPECT_EQ(fast0, plain0);
  EXPECT_EQ(fast1, plain1);
  EXPECT_EQ(fastNext, plainNext) << "a different number of draws";
}

const ExpansionMethod kMethods[] = {
    ExpansionMethod::RandomBasisColumn,           ExpansionMethod::PixelSampling,
    ExpansionMethod::SquareSubpixelExpansion,     ExpansionMethod::SmallestSquareWithFiller,
    ExpansionMethod::SmallestSquareWithoutFiller, ExpansionMethod::ExtendedPreserveSize,
    ExpansionMethod::ExtendedPreserveDetail};

class FastMatchesPlain : public ::testing::TestWithParam<ExpansionMethod> {};

TEST_P(FastMatchesPlain, BitForBitOnOddSizesAndEveryDepth) {
  const ExpansionMethod method = GetParam();
  const int depths[] = {1, 2, 4, 8, 24};
  uint32_t seed = 100;
  for (const Pair& pair : Pairs()) {
    // Share blocks grow with c; keep the plain version's work small for the wide pairs.
    const bool wide = pair.s0.Cols() > 12;
    std::vector<Size> sizes = {{1, 1}, {5, 7}, {2, 3}};
    if (!wide)
      sizes.insert(sizes.end(), {{3, 70}, {9, 13}, {4, 129}});
    for (size_t i = 0; i < sizes.size(); ++i) {
      // Every other case draws from a narrow source that rejects often.
      ExpectSameShares(method, pair, sizes[i], depths[(seed + i) % 5], seed, i % 2 ? 97 : 0);
      ++seed;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(AllMethods, FastMatchesPlain, ::testing::ValuesIn(kMethods),
                         [](const auto& info) {
                           return std::to_string(static_cast<int>(info.param));
                         });

// The matrices' order carries over from pixel to pixel; a long walk with one colour only
// checks that the fast path's running order ends where PermuteColumns leaves it.
TEST(FastMatchesPlain, LongWalkOverOneColour) {
  for (ExpansionMethod method :
       {ExpansionMethod::PixelSampling, ExpansionMethod::SmallestSquareWithoutFiller,
        ExpansionMethod::SmallestSquareWithFiller}) {
    BmpImage white("w.bmp", 40, 40);
    for (int32_t y = 0; y < 40; ++y) {
      for (int32_t x = 0; x < 40; ++x)
        white.SetPixel(y, x, 0);
    }
    const Pair pair = RandomPair("c6", 3, 6, 9);
    BasisMatrix p0 = pair.s0, p1 = pair.s1, f0 = pair.s0, f1 = pair.s1;
    std::vector<BmpImage> plain, fast;
    plain = PlainShares(*MakeSeededRandom(5), method, white, {}, p0, p1);
    const ShareSize size = MethodShareSize(method, 40, 40, 3, 6);
    for (int r = 0; r < 3; ++r) {
      fast.emplace_back(ShareName(r), static_cast<int32_t>(size.height),
                        static_cast<int32_t>(size.width));
    }
    EncodeShares(*MakeSeededRandom(5), method, white, {}, f0, f1, fast);
    EXPECT_EQ(f0, p0);
    EXPECT_EQ(f1, pair.s1) << "S1 is never permuted for an all-white secret";
    EXPECT_FALSE(f0 == pair.s0);
    for (int r = 0; r < 3; ++r)
      EXPECT_TRUE(fast[r].Pixels() == plain[r].Pixels());
  }
}

// The pairs the schemes really build, with their column orders and weights. The wide ones
// get methods whose work grows slowly with c.
TEST(FastMatchesPlain, RealSchemePairs) {
  BasisMatrix sets(0, 4);
  const int32_t first[] = {1, 1, 0, 0}, second[] = {0, 0, 1, 1};
  sets.InsertRow(0, first);
  sets.InsertRow(1, second);
  const struct {
    SchemeKind kind;
    int n, k;
  } schemes[] = {{SchemeKind::Scheme2ofN, 4, 2},
                 {SchemeKind::SchemeNofN, 4, 4},
                 {SchemeKind::SchemeKofN, 3, 2},
                 {SchemeKind::SchemeKofN, 4, 3},
                 {SchemeKind::SchemeGeneral, 4, 2}};
  uint32_t seed = 500;
  for (const auto& scheme : schemes) {
    SchemeParams params;
    params.scheme = scheme.kind;
    params.n = scheme.n;
    params.k = scheme.k;
    params.qualifiedSets = &sets;
    SchemePair built = BuildSchemePair(params);
    ASSERT_EQ(built.error, Code::kOk);
    const Pair pair{"scheme", built.s0, built.s1};
    for (ExpansionMethod method : kMethods) {
      const bool slowInC = method == ExpansionMethod::SquareSubpixelExpansion ||
                           method == ExpansionMethod::SmallestSquareWithoutFiller ||
                           method == ExpansionMethod::ExtendedPreserveDetail;
      if (slowInC && pair.s0.Cols() > 12)
        continue;
      ExpectSameShares(method, pair, {6, 11}, 1 + 7 * (seed % 2), seed);
      ++seed;
    }
  }
}

// Rows [first, end) of a 1-bit picture.
BmpImage RowsOf(const BmpImage& image, int64_t first, int64_t end) {
  BmpImage rows("rows.bmp", static_cast<int32_t>(end - first), image.Width());
  for (int64_t y = first; y < end; ++y) {
    for (int32_t x = 0; x < image.Width(); ++x)
      rows.SetPixel(static_cast<int32_t>(y - first), x,
                    image.GetPixel(static_cast<int32_t>(y), x) == 'b');
  }
  return rows;
}

// Work in bands: band i is the plain method on the band's rows alone, drawn from source i,
// written at the band's place in the shares; the matrices end where the last band's plain
// run leaves them. More sources than rows leave the extra sources untouched.
TEST(BandsMatchPlain, EachBandIsThePlainMethodOnItsRows) {
  const std::vector<Pair> pairs = Pairs();
  uint32_t seed = 700;
  for (ExpansionMethod method : kMethods) {
    for (const Pair& pair : {pairs[3], pairs[4]}) {
      for (const int bands : {3, 5}) {
        const int m = pair.s0.Rows();
        const int64_t c = pair.s0.Cols();
        const int64_t perRow = method == ExpansionMethod::PixelSampling ? SquareBlockSide(c) : 1;
        // Five sources for two walk rows: two bands.
        const int32_t height = static_cast<int32_t>(perRow * (bands == 3 ? 11 : 2));
        SCOPED_TRACE(::testing::Message() << "method " << static_cast<int>(method) << ", "
                                          << pair.name << ", " << bands << " sources");
        const BmpImage secret = RandomPicture(height, 13, 1, ++seed);
        std::vector<BmpImage> innocents;
        for (int r = 0; r < m; ++r)
          innocents.push_back(RandomPicture(height, 13, 1, seed + 50 + r));
        std::vector<std::unique_ptr<RandomSource>> owned;
        std::vector<RandomSource*> sources;
        for (int i = 0; i < bands; ++i) {
          owned.push_back(MakeSeededRandom(seed + 10 + i));
          sources.push_back(owned.back().get());
        }
        BasisMatrix b0 = pair.s0, b1 = pair.s1;
        ShareTable table;
        std::vector<double> seen;
        ASSERT_TRUE(RunExpansionMethodInBands(sources, method, table, secret, innocents, b0, b1,
                                              [&](double f) {
                                                seen.push_back(f);
                                                return true;
                                              }));
        ASSERT_FALSE(seen.empty());
        EXPECT_EQ(seen.back(), 1.0);
        const int64_t rows = MethodWalkRows(method, secret, c);
        const int64_t used = std::min<int64_t>(bands, rows);
        for (int64_t i = 0; i < bands; ++i) {
          auto plainSource = MakeSeededRandom(seed + 10 + static_cast<uint32_t>(i));
          if (i >= used) {
            EXPECT_EQ(sources[i]->Next(), plainSource->Next()) << "band " << i << " unused";
            continue;
          }
          const int64_t first = rows * i / used, end = rows * (i + 1) / used;
          std::vector<BmpImage> bandInnocents;
          for (const BmpImage& innocent : innocents)
            bandInnocents.push_back(RowsOf(innocent, first * perRow, end * perRow));
          BasisMatrix p0 = pair.s0, p1 = pair.s1;
          const std::vector<BmpImage> plain =
              PlainShares(*plainSource, method, RowsOf(secret, first * perRow, end * perRow),
                          bandInnocents, p0, p1);
          const int64_t top = MethodShareSize(method, 13, first * perRow, m, c).height;
          for (int r = 0; r < m; ++r) {
            const BmpImage& share = table.Images()[r];
            for (int32_t y = 0; y < plain[r].Height(); ++y) {
              ASSERT_EQ(std::memcmp(share.Row(static_cast<int32_t>(top + y)), plain[r].Row(y),
                                    share.Stride()),
                        0)
                  << "band " << i << ", share " << r << ", row " << y;
            }
          }
          EXPECT_EQ(sources[i]->Next(), plainSource->Next()) << "band " << i << " draws";
          if (i + 1 == used) {
            EXPECT_EQ(b0, p0);
            EXPECT_EQ(b1, p1);
          }
        }
      }
    }
  }
  // A watch that answers false stops the work.
  const BmpImage secret = RandomPicture(40, 13, 1, 1);
  std::vector<std::unique_ptr<RandomSource>> owned;
  owned.push_back(MakeSeededRandom(1));
  owned.push_back(MakeSeededRandom(2));
  BasisMatrix s0 = pairs[0].s0, s1 = pairs[0].s1;
  ShareTable table;
  EXPECT_FALSE(RunExpansionMethodInBands({owned[0].get(), owned[1].get()},
                                         ExpansionMethod::RandomBasisColumn, table, secret, {}, s0,
                                         s1, [](double) { return false; }));
}

}  // namespace
}  // namespace quillon
