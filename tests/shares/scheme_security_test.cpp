// What the shares are for, checked on the real scheme matrices and the real methods: every
// qualified set sees black secret pixels darker than white ones, and every forbidden set
// sees the same thing whatever the secret: whole blocks, the first blocks of a picture and
// pairs of neighbouring blocks, each compared by a chi-square test.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <functional>
#include <map>
#include <unordered_map>

#include "schemes/scheme_pair.h"
#include "shares/expansion.h"
#include "tests/shares/share_test_util.h"

namespace quillon {
namespace {

using Set = unsigned;  // bit t: participant t

struct SchemeCase {
  std::string name;
  SchemeKind kind;
  int n, k;
  std::vector<Set> minimal;  // general access structures only

  bool Qualified(Set q) const {
    if (kind != SchemeKind::SchemeGeneral)
      return std::popcount(q) >= k;
    return std::any_of(minimal.begin(), minimal.end(), [q](Set s) { return (q & s) == s; });
  }

  SchemePair Build() const {
    BasisMatrix sets(0, n);
    for (Set s : minimal) {
      std::vector<int32_t> row(n);
      for (int t = 0; t < n; ++t)
        row[t] = (s >> t) & 1;
      sets.InsertRow(sets.Rows(), row.data());
    }
    SchemeParams params;
    params.scheme = kind;
    params.n = n;
    params.k = k;
    params.qualifiedSets = &sets;
    return BuildSchemePair(params);
  }
};

std::vector<SchemeCase> SmallSchemes() {
  std::vector<SchemeCase> cases = {{"2of2", SchemeKind::Scheme2of2, 2, 2, {}}};
  for (int n = 2; n <= 5; ++n) {
    if (n <= 4) {
      cases.push_back({"2of" + std::to_string(n), SchemeKind::Scheme2ofN, n, 2, {}});
      cases.push_back({"nofn" + std::to_string(n), SchemeKind::SchemeNofN, n, n, {}});
    }
    for (int k = 2; k <= n; ++k) {
      cases.push_back(
          {"kofn" + std::to_string(k) + std::to_string(n), SchemeKind::SchemeKofN, n, k, {}});
    }
  }
  // Participants 1..n are bits 0..n-1.
  cases.push_back({"g3:12,23", SchemeKind::SchemeGeneral, 3, 0, {0b011, 0b110}});
  cases.push_back({"g3:pairs", SchemeKind::SchemeGeneral, 3, 0, {0b011, 0b101, 0b110}});
  cases.push_back({"g3:123", SchemeKind::SchemeGeneral, 3, 0, {0b111}});
  cases.push_back({"g4:12,34", SchemeKind::SchemeGeneral, 4, 0, {0b0011, 0b1100}});
  cases.push_back({"g4:12,23,34", SchemeKind::SchemeGeneral, 4, 0, {0b0011, 0b0110, 0b1100}});
  return cases;
}

// Columns that the rows of q make black when stacked.
int StackedBlack(const BasisMatrix& m, Set q) {
  int black = 0;
  for (int32_t j = 0; j < m.Cols(); ++j)
    black += (m.ColumnCode(j) & q) != 0;
  return black;
}

std::vector<uint64_t> RestrictedColumns(const BasisMatrix& m, Set q) {
  std::vector<uint64_t> patterns;
  for (int32_t j = 0; j < m.Cols(); ++j)
    patterns.push_back(m.ColumnCode(j) & q);
  std::sort(patterns.begin(), patterns.end());
  return patterns;
}

TEST(SchemeMatrices, QualifiedSetsSeeContrastAndForbiddenSetsSeeEqualColumns) {
  for (const SchemeCase& scheme : SmallSchemes()) {
    SCOPED_TRACE(scheme.name);
    const SchemePair pair = scheme.Build();
    ASSERT_EQ(pair.error, Code::kOk);
    ASSERT_EQ(pair.s0.Rows(), scheme.n);
    for (Set q = 1; q < (1u << scheme.n); ++q) {
      if (scheme.Qualified(q)) {
        EXPECT_GT(StackedBlack(pair.s1, q), StackedBlack(pair.s0, q)) << "set " << q;
      } else {
        EXPECT_EQ(RestrictedColumns(pair.s0, q), RestrictedColumns(pair.s1, q)) << "set " << q;
      }
    }
  }
}

// ---- The chi-square test ------------------------------------------------------------------

// Q(a, x), the regularised upper incomplete gamma function: the p-value of a chi-square
// statistic 2x with 2a degrees of freedom.
double UpperGamma(double a, double x) {
  if (x <= 0)
    return 1;
  const double lead = std::exp(-x + a * std::log(x) - std::lgamma(a));
  if (x < a + 1) {
    double term = 1 / a, sum = term;
    for (int n = 1; n < 1000 && term > sum * 1e-15; ++n) {
      term *= x / (a + n);
      sum += term;
    }
    return 1 - sum * lead;
  }
  // Lentz's continued fraction.
  double b = x + 1 - a, c = 1e300, d = 1 / b, h = d;
  for (int i = 1; i < 1000; ++i) {
    const double an = -i * (i - a);
    b += 2;
    d = an * d + b;
    d = std::abs(d) < 1e-300 ? 1e-300 : d;
    c = b + an / c;
    c = std::abs(c) < 1e-300 ? 1e-300 : c;
    d = 1 / d;
    const double step = d * c;
    h *= step;
    if (std::abs(step - 1) < 1e-15)
      break;
  }
  return h * lead;
}

// Every comparison is made at this significance. The seeds are fixed, so an outcome never
// varies from run to run; the level only keeps a sound method far from the line.
constexpr double kSignificance = 1e-6;

// Two samples of categories: counts[0][key] and counts[1][key].
struct Samples {
  std::unordered_map<uint64_t, int64_t> counts[2];
  void Add(int which, uint64_t key) { ++counts[which][key]; }
};

// The p-value of "both samples come from one distribution", from the 2 x K contingency
// table. Categories expected fewer than five times in either sample are pooled into one.
double ChiSquarePValue(const Samples& samples) {
  double total[2] = {0, 0};
  std::map<uint64_t, std::array<double, 2>> table;
  for (int i = 0; i < 2; ++i) {
    for (const auto& [key, count] : samples.counts[i]) {
      table[key][i] += count;
      total[i] += count;
    }
  }
  if (total[0] == 0 || total[1] == 0)
    return 1;
  const double all = total[0] + total[1];
  std::vector<std::array<double, 2>> cells;
  std::array<double, 2> pooled = {0, 0};
  for (const auto& [key, cell] : table) {
    const double expected = std::min(total[0], total[1]) * (cell[0] + cell[1]) / all;
    if (expected < 5) {
      pooled[0] += cell[0];
      pooled[1] += cell[1];
    } else {
      cells.push_back(cell);
    }
  }
  if (pooled[0] + pooled[1] > 0)
    cells.push_back(pooled);
  if (cells.size() < 2)
    return 1;
  double statistic = 0;
  for (const auto& cell : cells) {
    for (int i = 0; i < 2; ++i) {
      const double expected = total[i] * (cell[0] + cell[1]) / all;
      statistic += (cell[i] - expected) * (cell[i] - expected) / expected;
    }
  }
  return UpperGamma((cells.size() - 1) / 2.0, statistic / 2);
}

// ---- Blocks of generated shares ------------------------------------------------------------

uint64_t Mix(uint64_t h, uint64_t v) {
  h ^= v + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
  return h * 0xFF51AFD7ED558CCDull;
}

// The shares of one secret, seen block by block: unit u is one encoded secret pixel (or
// sampled block), white[u] its colour, and block[r][u] a hash of all of share r's
// sub-pixels in the block.
struct Blocks {
  int32_t across = 0, down = 0;
  std::vector<bool> white;
  std::vector<std::vector<uint64_t>> block;
  std::vector<std::vector<int32_t>> dark;  // black sub-pixels of the stacked set, filled lazily

  uint64_t Key(Set q, size_t u) const {
    uint64_t h = q;
    for (size_t r = 0; r < block.size(); ++r) {
      if ((q >> r) & 1)
        h = Mix(h, block[r][u]);
    }
    return h;
  }
};

// The side of a method's block and of the secret pixels each block encodes.
struct Layout {
  int64_t share;   // share pixels per block side
  int64_t secret;  // secret pixels per block side
};

Layout MethodLayout(ExpansionMethod method, int64_t c, int64_t m) {
  switch (method) {
    case ExpansionMethod::RandomBasisColumn:
    case ExpansionMethod::ExtendedPreserveSize:
      return {1, 1};
    case ExpansionMethod::PixelSampling:
      return {SquareBlockSide(c), SquareBlockSide(c)};
    case ExpansionMethod::SquareSubpixelExpansion:
      return {c, 1};
    case ExpansionMethod::SmallestSquareWithFiller:
      return {FillerBlockSide(c), 1};
    case ExpansionMethod::SmallestSquareWithoutFiller:
      return {SquareBlockSide(c), 1};
    case ExpansionMethod::ExtendedPreserveDetail:
      return {SquareBlockSide(c + m), 1};
  }
  return {1, 1};
}

Blocks ReadBlocks(const std::vector<BmpImage>& shares, const BmpImage& secret, Layout layout) {
  Blocks blocks;
  blocks.across = static_cast<int32_t>(secret.Width() / layout.secret);
  blocks.down = static_cast<int32_t>(secret.Height() / layout.secret);
  const size_t units = size_t(blocks.across) * blocks.down;
  blocks.block.assign(shares.size(), std::vector<uint64_t>(units));
  for (int32_t by = 0; by < blocks.down; ++by) {
    for (int32_t bx = 0; bx < blocks.across; ++bx) {
      const size_t u = size_t(by) * blocks.across + bx;
      blocks.white.push_back(secret.GetPixel(static_cast<int32_t>(by * layout.secret),
                                             static_cast<int32_t>(bx * layout.secret)) == 'w');
      for (size_t r = 0; r < shares.size(); ++r) {
        uint64_t h = 0;
        for (int64_t a = 0; a < layout.share; ++a) {
          for (int64_t b = 0; b < layout.share; ++b) {
            h = Mix(h, shares[r].GetPixel(static_cast<int32_t>(by * layout.share + a),
                                          static_cast<int32_t>(bx * layout.share + b)) == 'b');
          }
        }
        blocks.block[r][u] = h;
      }
    }
  }
  return blocks;
}

// Black sub-pixels of the stacked shares of q in every unit.
std::vector<int32_t> StackedDark(const std::vector<BmpImage>& shares, const Blocks& blocks,
                                 Layout layout, Set q) {
  std::vector<int32_t> dark;
  for (int32_t by = 0; by < blocks.down; ++by) {
    for (int32_t bx = 0; bx < blocks.across; ++bx) {
      int32_t black = 0;
      for (int64_t a = 0; a < layout.share; ++a) {
        for (int64_t b = 0; b < layout.share; ++b) {
          bool any = false;
          for (size_t r = 0; r < shares.size(); ++r) {
            any = any || (((q >> r) & 1) &&
                          shares[r].GetPixel(static_cast<int32_t>(by * layout.share + a),
                                             static_cast<int32_t>(bx * layout.share + b)) == 'b');
          }
          black += any;
        }
      }
      dark.push_back(black);
    }
  }
  return dark;
}

// Makes the shares of a secret (the innocents are read by the extended methods only) with the
// draws that the seed fixes.
using Encoder = std::function<std::vector<BmpImage>(
    const BmpImage& secret, const std::vector<BmpImage>& innocents, uint32_t seed)>;

// Where the draws come from: the seeded engine; the system source's generator on one thread;
// or kBands generators, one per band of rows, on threads. The generators are keyed from a
// stream the seed fixes, so that every outcome is the same from run to run.
enum class Draws { kSeeded, kSystem, kBands };
constexpr int kBands = 4;

std::unique_ptr<RandomSource> KeyedSystemSource(uint32_t seed) {
  auto stream = std::make_shared<std::mt19937>(seed);
  return MakeSystemRandom([stream](void* out, size_t length) -> ssize_t {
    for (size_t i = 0; i < length; ++i)
      static_cast<uint8_t*>(out)[i] = static_cast<uint8_t>((*stream)());
    return static_cast<ssize_t>(length);
  });
}

Encoder BandedMethod(const SchemePair& pair, ExpansionMethod method) {
  return [&pair, method](const BmpImage& secret, const std::vector<BmpImage>& innocents,
                         uint32_t seed) {
    BasisMatrix s0 = pair.s0, s1 = pair.s1;
    std::vector<std::unique_ptr<RandomSource>> owned;
    std::vector<RandomSource*> sources;
    owned.push_back(KeyedSystemSource(seed));
    for (int i = 1; i < kBands; ++i)
      owned.push_back(owned[0]->Independent());
    for (const auto& source : owned)
      sources.push_back(source.get());
    ShareTable table;
    EXPECT_TRUE(RunExpansionMethodInBands(sources, method, table, secret, innocents, s0, s1,
                                          [](double) { return true; }));
    return std::move(table.Images());
  };
}

Encoder RealMethod(const SchemePair& pair, ExpansionMethod method, Draws draws = Draws::kSeeded) {
  if (draws == Draws::kBands)
    return BandedMethod(pair, method);
  return [&pair, method, draws](const BmpImage& secret, const std::vector<BmpImage>& innocents,
                                uint32_t seed) {
    BasisMatrix s0 = pair.s0, s1 = pair.s1;
    const ShareSize size =
        MethodShareSize(method, secret.Width(), secret.Height(), s0.Rows(), s0.Cols());
    std::vector<BmpImage> shares;
    for (int r = 0; r < s0.Rows(); ++r) {
      shares.emplace_back(ShareName(r), static_cast<int32_t>(size.height),
                          static_cast<int32_t>(size.width));
    }
    const std::unique_ptr<RandomSource> random =
        draws == Draws::kSeeded ? MakeSeededRandom(seed) : KeyedSystemSource(seed);
    EncodeShares(*random, method, secret, innocents, s0, s1, shares);
    return shares;
  };
}

BmpImage Uniform(int32_t height, int32_t width, bool black) {
  BmpImage image("u.bmp", height, width);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x)
      image.SetPixel(y, x, black);
  }
  return image;
}

std::vector<BmpImage> Innocents(int n, int32_t height, int32_t width, bool white, uint32_t seed) {
  std::vector<BmpImage> innocents;
  for (int r = 0; r < n; ++r) {
    innocents.push_back(white ? Uniform(height, width, false)
                              : testing::RandomPicture(height, width, 1, seed + 1000 + r));
  }
  return innocents;
}

// The three comparisons for a forbidden set q. Each returns its p-value.
double WholeBlocks(const Blocks& blocks, Set q) {
  Samples samples;
  for (size_t u = 0; u < blocks.white.size(); ++u)
    samples.Add(blocks.white[u], blocks.Key(q, u));
  return ChiSquarePValue(samples);
}

// Neighbouring blocks in a row, as one category: pairs of one colour against pairs of two.
double NeighbourPairs(const Blocks& blocks, Set q) {
  Samples samples;
  for (int32_t by = 0; by < blocks.down; ++by) {
    for (int32_t bx = 0; bx + 1 < blocks.across; ++bx) {
      const size_t u = size_t(by) * blocks.across + bx;
      samples.Add(blocks.white[u] == blocks.white[u + 1],
                  Mix(blocks.Key(q, u), blocks.Key(q, u + 1)));
    }
  }
  return ChiSquarePValue(samples);
}

// Blocks above one another, pairs of one colour against pairs of two: of every block row, or
// only where a band of rows ends and the next begins.
double VerticalPairs(const Blocks& blocks, Set q, bool bandEdgesOnly) {
  Samples samples;
  for (int32_t by = 0; by + 1 < blocks.down; ++by) {
    bool edge = false;
    for (int i = 1; i < kBands; ++i)
      edge = edge || by + 1 == blocks.down * i / kBands;
    if (bandEdgesOnly && !edge)
      continue;
    for (int32_t bx = 0; bx < blocks.across; ++bx) {
      const size_t u = size_t(by) * blocks.across + bx;
      samples.Add(blocks.white[u] == blocks.white[u + blocks.across],
                  Mix(blocks.Key(q, u), blocks.Key(q, u + blocks.across)));
    }
  }
  return ChiSquarePValue(samples);
}

// The first block of each of many small pictures, white and black.
struct FirstBlockRuns {
  std::vector<Blocks> runs[2];  // [black]
};

FirstBlockRuns EncodeFirstBlocks(const Encoder& encode, Layout layout, int n, int runs,
                                 uint32_t seed) {
  FirstBlockRuns first;
  const int32_t side = static_cast<int32_t>(layout.secret);
  const std::vector<BmpImage> innocents = Innocents(n, side, side, false, seed);
  // The seeded engine's first outputs follow its seeds closely: spread the seeds.
  std::mt19937 seeds(seed);
  for (int run = 0; run < runs; ++run) {
    for (int black = 0; black < 2; ++black) {
      const BmpImage secret = Uniform(side, side, black);
      first.runs[black].push_back(ReadBlocks(encode(secret, innocents, seeds()), secret, layout));
    }
  }
  return first;
}

// The first block of a picture: white first against black first.
double FirstBlocks(const FirstBlockRuns& first, Set q) {
  Samples samples;
  for (int black = 0; black < 2; ++black) {
    for (const Blocks& blocks : first.runs[black])
      samples.Add(black, blocks.Key(q, 0));
  }
  return ChiSquarePValue(samples);
}

struct MethodCase {
  ExpansionMethod method;
  bool onlyFewColumns;  // blocks that grow with c are tried on narrow pairs only
};

const MethodCase kMethods[] = {{ExpansionMethod::RandomBasisColumn, false},
                               {ExpansionMethod::PixelSampling, true},
                               {ExpansionMethod::SquareSubpixelExpansion, true},
                               {ExpansionMethod::SmallestSquareWithFiller, true},
                               {ExpansionMethod::SmallestSquareWithoutFiller, true},
                               {ExpansionMethod::ExtendedPreserveSize, false},
                               {ExpansionMethod::ExtendedPreserveDetail, true}};

constexpr int32_t kFewColumns = 24;

// Shares of a random secret, whole blocks and neighbour pairs (beside and above one another,
// and where bands of rows meet), for every forbidden set; the first blocks of many small
// pictures for every forbidden set too; the contrast of every qualified set. With each
// source of draws.
TEST(SchemeShares, ForbiddenSetsSeeTheSameBlocksWhateverTheSecret) {
  uint32_t seed = 1;
  for (const Draws draws : {Draws::kSeeded, Draws::kSystem, Draws::kBands})
    for (const SchemeCase& scheme : SmallSchemes()) {
      const SchemePair pair = scheme.Build();
      ASSERT_EQ(pair.error, Code::kOk);
      const int64_t c = pair.s0.Cols();
      for (const MethodCase& method : kMethods) {
        if (method.onlyFewColumns && c > kFewColumns)
          continue;
        SCOPED_TRACE(::testing::Message()
                     << scheme.name << ", method " << static_cast<int>(method.method) << ", draws "
                     << static_cast<int>(draws));
        const Layout layout = MethodLayout(method.method, c, scheme.n);
        // About 4096 encoded units; one-pixel methods get more, as they are cheap.
        const int32_t units = layout.share == 1 ? 96 : 64;
        const int32_t side = static_cast<int32_t>(units * layout.secret);
        const BmpImage secret = testing::RandomPicture(side, side, 1, seed += 3);
        const Encoder encode = RealMethod(pair, method.method, draws);
        const std::vector<BmpImage> shares =
            encode(secret, Innocents(scheme.n, side, side, false, seed), seed);
        const Blocks blocks = ReadBlocks(shares, secret, layout);
        const FirstBlockRuns first = EncodeFirstBlocks(encode, layout, scheme.n, 300, seed + 7);
        for (Set q = 1; q < (1u << scheme.n); ++q) {
          if (scheme.Qualified(q)) {
            // Extended shares spend m more sub-pixels and filler dilutes a block, but neither
            // takes away more than the column count's share of the contrast.
            const std::vector<int32_t> dark = StackedDark(shares, blocks, layout, q);
            double sum[2] = {0, 0}, count[2] = {0, 0};
            for (size_t u = 0; u < dark.size(); ++u) {
              sum[!blocks.white[u]] += dark[u];
              count[!blocks.white[u]] += 1;
            }
            const double area = double(layout.share) * layout.share;
            const double seen = (sum[1] / count[1] - sum[0] / count[0]) / area;
            const double contrast = double(StackedBlack(pair.s1, q) - StackedBlack(pair.s0, q)) / c;
            EXPECT_GT(seen, contrast * c / (c + scheme.n) / 4) << "qualified set " << q;
            continue;
          }
          EXPECT_GT(WholeBlocks(blocks, q), kSignificance) << "whole blocks, set " << q;
          EXPECT_GT(NeighbourPairs(blocks, q), kSignificance) << "neighbour pairs, set " << q;
          EXPECT_GT(VerticalPairs(blocks, q, false), kSignificance) << "vertical pairs, set " << q;
          if (draws == Draws::kBands) {
            EXPECT_GT(VerticalPairs(blocks, q, true), kSignificance) << "band edges, set " << q;
          }
          EXPECT_GT(FirstBlocks(first, q), kSignificance) << "first blocks, set " << q;
        }
      }
    }
}

// The case that once showed the secret: (2,2), preserve detail, white innocent pictures;
// share 2 alone, with many more samples.
TEST(SchemeShares, ExtendedDetailWithWhiteInnocentsHidesTheSecretInOneShare) {
  const SchemePair pair = SmallSchemes()[0].Build();
  const ExpansionMethod method = ExpansionMethod::ExtendedPreserveDetail;
  const Layout layout = MethodLayout(method, 2, 2);
  const BmpImage secret = testing::RandomPicture(200, 200, 1, 77);
  const Blocks blocks = ReadBlocks(
      RealMethod(pair, method)(secret, Innocents(2, 200, 200, true, 0), 78), secret, layout);
  for (Set q : {1u, 2u}) {
    EXPECT_GT(WholeBlocks(blocks, q), kSignificance) << "set " << q;
    EXPECT_GT(NeighbourPairs(blocks, q), kSignificance) << "set " << q;
  }
}

// ---- The test catches the fault it is for ----------------------------------------------------

// The probing permutation the methods once used: source column i, in increasing order, goes to
// place Next() % c, moving right (and wrapping) past places taken. Not every order is equally
// likely.
void ProbingPermute(RandomSource& random, BasisMatrix& m) {
  const int32_t c = m.Cols();
  std::vector<int32_t> target(c);
  std::vector<bool> taken(c);
  for (int32_t i = 0; i < c; ++i) {
    int32_t t = random.Next() % c;
    while (taken[t])
      t = (t + 1) % c;
    taken[t] = true;
    target[i] = t;
  }
  BasisMatrix moved(m.Rows(), c);
  for (int32_t r = 0; r < m.Rows(); ++r) {
    for (int32_t i = 0; i < c; ++i)
      moved.Set(r, target[i], m.Get(r, i));
  }
  m = moved;
}

// Square sub-pixel expansion and preserve detail as they were with it: a running permutation
// per colour, and E permuted from its stored order at every pixel.
Encoder ProbingMethod(const SchemePair& pair, ExpansionMethod method) {
  return [&pair, method](const BmpImage& secret, const std::vector<BmpImage>& innocents,
                         uint32_t seed) {
    auto random = MakeSeededRandom(seed);
    BasisMatrix s0 = pair.s0, s1 = pair.s1;
    const int m = s0.Rows();
    const int32_t c = s0.Cols();
    const bool extended = method == ExpansionMethod::ExtendedPreserveDetail;
    const int64_t side = MethodLayout(method, c, m).share;
    std::vector<BmpImage> shares;
    for (int r = 0; r < m; ++r) {
      shares.emplace_back(ShareName(r), static_cast<int32_t>(side * secret.Height()),
                          static_cast<int32_t>(side * secret.Width()));
    }
    for (int32_t y = 0; y < secret.Height(); ++y) {
      for (int32_t x = 0; x < secret.Width(); ++x) {
        BasisMatrix& chosen = secret.GetPixel(y, x) == 'w' ? s0 : s1;
        BasisMatrix e = chosen;
        if (extended) {
          for (int t = 0; t < m; ++t) {
            std::vector<int32_t> column(m, 1);
            if (innocents[t].GetPixel(y, x) == 'w')
              column[t] = 0;
            e.InsertColumn(e.Cols(), column.data());
          }
          ProbingPermute(*random, e);
        } else {
          ProbingPermute(*random, chosen);
          e = chosen;
        }
        for (int r = 0; r < m; ++r) {
          for (int64_t p = 0; p < side * side; ++p) {
            shares[r].SetPixel(static_cast<int32_t>(side * y + p / side),
                               static_cast<int32_t>(side * x + p % side),
                               e.Get(r, static_cast<int32_t>(p % e.Cols())) != 0);
          }
        }
      }
    }
    return shares;
  };
}

TEST(SchemeShares, TheComparisonsDetectTheProbingPermutation) {
  const std::vector<SchemeCase> schemes = SmallSchemes();
  const SchemeCase& twoOfTwo = schemes[0];
  const auto nofn3 = std::find_if(schemes.begin(), schemes.end(),
                                  [](const SchemeCase& s) { return s.name == "nofn3"; });
  ASSERT_NE(nofn3, schemes.end());
  const SchemePair pair2 = twoOfTwo.Build(), pair3 = nofn3->Build();

  {
    // One share of the extended (2,2) shares with white innocents draws the secret.
    const ExpansionMethod method = ExpansionMethod::ExtendedPreserveDetail;
    const BmpImage secret = testing::RandomPicture(64, 64, 1, 5);
    const Blocks blocks =
        ReadBlocks(ProbingMethod(pair2, method)(secret, Innocents(2, 64, 64, true, 0), 6), secret,
                   MethodLayout(method, 2, 2));
    EXPECT_LT(WholeBlocks(blocks, 2), kSignificance);
  }
  {
    // Two shares of three, (3,3): neighbours tell whether they share a colour (shares 1 and
    // 2), and the first block of a picture tells its colour (shares 1 and 3).
    const ExpansionMethod method = ExpansionMethod::SquareSubpixelExpansion;
    const Layout layout = MethodLayout(method, pair3.s0.Cols(), 3);
    const BmpImage secret = testing::RandomPicture(96, 96, 1, 7);
    const Encoder encode = ProbingMethod(pair3, method);
    const Blocks blocks = ReadBlocks(encode(secret, {}, 8), secret, layout);
    EXPECT_LT(NeighbourPairs(blocks, 0b011), kSignificance);
    EXPECT_LT(FirstBlocks(EncodeFirstBlocks(encode, layout, 3, 300, 9), 0b101), kSignificance);
  }
}

TEST(ChiSquare, PValuesOfKnownStatistics) {
  // Chi-square with 1 degree of freedom at 3.841 and 10 degrees at 18.307: p = 0.05.
  EXPECT_NEAR(UpperGamma(0.5, 3.841 / 2), 0.05, 1e-3);
  EXPECT_NEAR(UpperGamma(5, 18.307 / 2), 0.05, 1e-3);
  EXPECT_NEAR(UpperGamma(2, 0.5), 0.909796, 1e-5);
}

}  // namespace
}  // namespace quillon
