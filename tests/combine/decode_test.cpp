#include "combine/decode.h"

#include <gtest/gtest.h>

#include <random>

#include "combine/stack.h"
#include "reference/plain_stack.h"
#include "schemes/analysis.h"
#include "schemes/block_geometry.h"
#include "shares/expansion.h"
#include "tests/shares/share_test_util.h"

namespace quillon {
namespace {

using testing::Picture;
using testing::Pixels;

BmpImage Noise(int32_t height, int32_t width, uint32_t seed) {
  std::mt19937 engine(seed);
  BmpImage image("noise.bmp", height, width);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x)
      image.SetPixel(y, x, static_cast<int>(engine() % 2));
  }
  return image;
}

// Split, stack the shares of a qualified set, decode: the secret comes back exactly (for
// pixel sampling, the pixel each block sampled), for every block method and every small
// threshold scheme, the contrast-optimal ones included.
TEST(DecodeTest, QualifiedSharesGiveTheSecretBackExactly) {
  struct Scheme {
    SchemeKind kind;
    int n, k;
    bool optimal;
  };
  const Scheme schemes[] = {
      {SchemeKind::Scheme2of2, 2, 2, false}, {SchemeKind::Scheme2ofN, 3, 2, false},
      {SchemeKind::SchemeNofN, 3, 3, false}, {SchemeKind::SchemeKofN, 4, 3, false},
      {SchemeKind::SchemeKofN, 3, 2, true},  {SchemeKind::SchemeKofN, 5, 3, true},
  };
  const ExpansionMethod methods[] = {
      ExpansionMethod::PixelSampling, ExpansionMethod::SquareSubpixelExpansion,
      ExpansionMethod::SmallestSquareWithFiller, ExpansionMethod::SmallestSquareWithoutFiller,
      ExpansionMethod::ExtendedPreserveDetail};
  const BmpImage secret = Noise(7, 9, 1);
  uint32_t seed = 0;
  for (const Scheme& scheme : schemes) {
    SchemeParams params{scheme.kind, scheme.n, scheme.k, nullptr, scheme.optimal};
    const SchemePair pair = BuildSchemePair(params);
    ASSERT_EQ(pair.error, Code::kOk);
    const int m = pair.s0.Rows();
    const SchemeAnalysis analysis =
        AnalyzePair(pair.s0, pair.s1, [&](uint32_t s) { return SchemeQualifies(params, s); });
    // The square method on the 216 columns of (3,4) would make 216 x 216 blocks.
    for (ExpansionMethod method : methods) {
      if (method == ExpansionMethod::SquareSubpixelExpansion && pair.s0.Cols() > 16)
        continue;
      SCOPED_TRACE("scheme " + std::to_string(static_cast<int>(scheme.kind)) + " n " +
                   std::to_string(scheme.n) + " k " + std::to_string(scheme.k) + " method " +
                   std::to_string(static_cast<int>(method)));
      std::vector<BmpImage> innocents;
      for (int r = 0; r < m; ++r)
        innocents.push_back(Noise(7, 9, 100 + r));
      const ShareSize size = MethodShareSize(method, 9, 7, m, pair.s0.Cols());
      std::vector<BmpImage> shares(m, BmpImage("share.bmp", static_cast<int32_t>(size.height),
                                               static_cast<int32_t>(size.width)));
      BasisMatrix s0 = pair.s0, s1 = pair.s1;
      EncodeShares(*MakeSeededRandom(++seed), method, secret, innocents, s0, s1, shares);

      // The first k participants, and all of them.
      for (uint32_t members : {(1u << scheme.k) - 1, (1u << m) - 1}) {
        const SetAnalysis& set = analysis.sets[members - 1];
        ASSERT_TRUE(set.qualified);
        std::vector<const BmpImage*> layers;
        for (int r = 0; r < m; ++r) {
          if ((members >> r) & 1u)
            layers.push_back(&shares[r]);
        }
        const auto layout = MethodBlockLayout(method, m, pair.s0.Cols(), set.l, set.h,
                                              static_cast<int>(layers.size()));
        ASSERT_TRUE(layout);
        const DecodeResult decoded =
            DecodeStacked(StackLayers(layers, "stacked.bmp"), *layout, "decoded.bmp");
        EXPECT_EQ(decoded.ambiguous, 0);
        const int32_t s = method == ExpansionMethod::PixelSampling ? layout->side : 1;
        ASSERT_EQ(decoded.image.Height(), 7 / s);
        ASSERT_EQ(decoded.image.Width(), 9 / s);
        EXPECT_EQ(decoded.blocks, int64_t{7 / s} * (9 / s));
        for (int32_t y = 0; y < 7 / s; ++y) {
          for (int32_t x = 0; x < 9 / s; ++x)
            ASSERT_EQ(decoded.image.GetPixel(y, x), secret.GetPixel(s * y, s * x)) << y << x;
        }
      }
    }
  }
}

TEST(DecodeTest, LayoutsAndAmbiguousBlocks) {
  struct Case {
    ExpansionMethod method;
    int64_t m, c, l, h;
    int stacked;
    BlockLayout expected;
  };
  const Case cases[] = {
      // c = 3: 3 x 3 blocks holding the row three times, or 2 x 2 with one filler place.
      {ExpansionMethod::PixelSampling, 3, 3, 1, 2, 2, {3, 9, 3, 6}},
      {ExpansionMethod::SmallestSquareWithoutFiller, 3, 3, 1, 2, 2, {3, 9, 3, 6}},
      {ExpansionMethod::SmallestSquareWithFiller, 3, 3, 1, 2, 2, {2, 3, 1, 2}},
      {ExpansionMethod::SquareSubpixelExpansion, 2, 2, 1, 2, 2, {2, 4, 2, 4}},
      // (2,2) extended: c + m = 4, one copy; the two innocent columns are black.
      {ExpansionMethod::ExtendedPreserveDetail, 2, 2, 1, 2, 2, {2, 4, 3, 4}},
      // c + m = 6: 6 x 6 blocks, six copies.
      {ExpansionMethod::ExtendedPreserveDetail, 3, 3, 1, 2, 3, {6, 36, 24, 30}},
  };
  for (const Case& c : cases) {
    const auto layout = MethodBlockLayout(c.method, c.m, c.c, c.l, c.h, c.stacked);
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->side, c.expected.side);
    EXPECT_EQ(layout->places, c.expected.places);
    EXPECT_EQ(layout->whiteBlack, c.expected.whiteBlack);
    EXPECT_EQ(layout->blackBlack, c.expected.blackBlack);
  }
  EXPECT_FALSE(MethodBlockLayout(ExpansionMethod::RandomBasisColumn, 2, 2, 1, 2, 2));
  EXPECT_FALSE(MethodBlockLayout(ExpansionMethod::ExtendedPreserveSize, 2, 2, 1, 2, 2));
  EXPECT_FALSE(MethodBlockLayout(ExpansionMethod::ExtendedPreserveDetail, 2, 2, 1, 2, 1));
  EXPECT_FALSE(MethodBlockLayout(ExpansionMethod::SquareSubpixelExpansion, 2, 0, 0, 0, 2));

  // 2 x 2 blocks, 2 of 4 black for white and 4 for black: a block with 3 black is ambiguous
  // and goes to black (a tie), one with none is nearer white. The partial column at the
  // right is ignored. Counting only the first three places (1 black for white, 2 for black),
  // the bottom-right place is filler: the third block is now exactly black.
  const BmpImage stacked = Picture({"bwbbbwwwb", "wbbbbbwww"});
  DecodeResult d = DecodeStacked(stacked, {2, 4, 2, 4}, "d.bmp");
  EXPECT_EQ(Pixels(d.image), std::vector<std::string>({"wbbw"}));
  EXPECT_EQ(d.blocks, 4);
  EXPECT_EQ(d.ambiguous, 2);
  d = DecodeStacked(stacked, {2, 3, 1, 2}, "d.bmp");
  EXPECT_EQ(Pixels(d.image), std::vector<std::string>({"wbbw"}));
  EXPECT_EQ(d.ambiguous, 2);  // the second (3 black) and the last (none)
  EXPECT_EQ(DecodeStacked(stacked, {2, 5, 1, 2}, "d.bmp").image.Width(), 0);
}

// The row-counting decoder against the plain one, place by place: blocks of sides up to 17
// with a partial last row of places, widths that leave partial blocks, depths 1 and 24, on
// one thread and on several.
TEST(DecodeStacked, MatchesThePlainDecoderOnAnyThreads) {
  const BlockLayout layouts[] = {{1, 1, 0, 1},    {2, 3, 1, 2},      {3, 9, 4, 6},
                                 {5, 23, 10, 12}, {11, 100, 40, 60}, {17, 289, 100, 150}};
  uint32_t seed = 40;
  for (const BlockLayout& layout : layouts) {
    for (const int depth : {1, 24}) {
      const BmpImage stacked =
          testing::RandomPicture(5 * layout.side + 3, 9 * layout.side + 7, depth, ++seed);
      const DecodeResult plain = DecodeStackedPlain(stacked, layout, "d.bmp");
      for (const int threads : {1, 3, 0}) {
        SCOPED_TRACE(::testing::Message()
                     << "side " << layout.side << ", depth " << depth << ", threads " << threads);
        const DecodeResult fast = DecodeStacked(stacked, layout, "d.bmp", threads);
        EXPECT_EQ(Pixels(fast.image), Pixels(plain.image));
        EXPECT_EQ(fast.blocks, plain.blocks);
        EXPECT_EQ(fast.ambiguous, plain.ambiguous);
      }
    }
  }
}

}  // namespace
}  // namespace quillon
