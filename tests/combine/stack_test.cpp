#include "combine/stack.h"
#include "reference/plain_stack.h"

#include <gtest/gtest.h>

#include "tests/shares/share_test_util.h"

namespace quillon {
namespace {

using testing::Picture;
using testing::Pixels;
using testing::RandomPicture;
using Rows = std::vector<std::string>;

TEST(StackPixel, BlackWhenBlackInAnyLayer) {
  const BmpImage a = Picture({"bw", "wb"}), b = Picture({"ww", "bb"});
  const std::vector<const BmpImage*> layers = {&a, &b};
  EXPECT_EQ(StackPixel(layers, 2, 0, 0), 1);  // black in the first only
  EXPECT_EQ(StackPixel(layers, 2, 0, 1), 0);  // white in both
  EXPECT_EQ(StackPixel(layers, 2, 1, 0), 1);  // black in the second only
  EXPECT_EQ(StackPixel(layers, 2, 1, 1), 1);  // black in both
  EXPECT_EQ(StackPixel(layers, 1, 1, 0), 0) << "only the first count layers are asked";
}

TEST(StackPixel, OnlyAllBitsZeroIsBlackAtEveryDepth) {
  // A 24-bit row: (0, 0, 1) is white, (0, 0, 0) black.
  BmpImage deep = RandomPicture(1, 2, 24, 1);
  uint8_t* row = deep.Row(0);
  const uint8_t bytes[] = {0, 0, 1, 0, 0, 0};
  std::copy(bytes, bytes + 6, row);
  const BmpImage white = Picture({"ww"});
  const std::vector<const BmpImage*> layers = {&white, &deep};
  EXPECT_EQ(StackPixel(layers, 2, 0, 0), 0);
  EXPECT_EQ(StackPixel(layers, 2, 0, 1), 1);
}

TEST(StackLayers, ResultHasTheFirstLayersSizeAndSmallerLayersCoverNothingOutside) {
  const BmpImage first = Picture({"wwww", "wwww", "wwww"});
  const BmpImage small = Picture({"bb", "bb"});
  const BmpImage large = Picture({"wwwwwb", "wbwwwb", "wwwwwb", "bbbbbb"});
  for (auto stack : {StackLayers, StackLayersPlain}) {
    const BmpImage result = stack({&first, &small, &large}, "resultado.bmp");
    EXPECT_EQ(result.FileName(), "resultado.bmp");
    EXPECT_EQ(result.BitCount(), 1);
    EXPECT_EQ(Pixels(result), Rows({"bbww", "bbww", "wwww"}));
  }
}

TEST(StackLayers, OneShareStackedWithItselfIsThatShareAsAOneBitFile) {
  const BmpImage share = RandomPicture(5, 37, 1, 4);
  const BmpImage result = StackLayers({&share, &share, &share}, "resultado.bmp");
  EXPECT_EQ(Pixels(result), Pixels(share));
  EXPECT_EQ(result.ColourTable()[0], (std::array<uint8_t, 4>{0, 0, 0, 0}));
  EXPECT_EQ(result.ColourTable()[1], (std::array<uint8_t, 4>{255, 255, 255, 0}));
  EXPECT_EQ(result.Header().bfSize, 62u + 8 * 5);
}

TEST(StackLayers, ALayerWithoutPixelsCoversNothing) {
  BmpImage unloaded("missing.bmp");
  const BmpImage share = Picture({"bwb"});
  EXPECT_EQ(Pixels(StackLayers({&share, &unloaded}, "r.bmp")), Rows({"bwb"}));
  EXPECT_EQ(StackLayers({}, "r.bmp").Width(), 0);
}

TEST(StackLayers, FastMatchesPlainForEveryLayerCountDepthAndOddWidth) {
  const int depths[] = {1, 1, 2, 4, 8, 24, 1, 1, 4};
  const int32_t widths[] = {1, 7, 8, 63, 64, 65, 129, 200};
  uint32_t seed = 1;
  for (int count = 2; count <= 9; ++count) {
    for (int32_t width : widths) {
      std::vector<BmpImage> images;
      for (int i = 0; i < count; ++i) {
        // Later layers vary in size around the first; padding bits are random.
        const int32_t w = i == 0 ? width : std::max(1, width + (i % 3 - 1) * 9);
        const int32_t h = 3 + i % 2;
        images.push_back(RandomPicture(h, w, depths[(i + width) % 9], seed++));
      }
      std::vector<const BmpImage*> layers;
      for (const BmpImage& image : images)
        layers.push_back(&image);
      const BmpImage fast = StackLayers(layers, "r.bmp");
      const BmpImage plain = StackLayersPlain(layers, "r.bmp");
      ASSERT_EQ(fast.Width(), width);
      // Whole rows, so that padding bits left non-zero would show.
      EXPECT_TRUE(fast.Pixels() == plain.Pixels()) << count << " layers, width " << width;
    }
  }
}

}  // namespace
}  // namespace quillon
