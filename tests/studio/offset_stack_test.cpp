// Stacking at offsets: the aligned case is combine's StackLayers, and every offset gives what
// laying the transparencies over each other pixel by pixel gives.
#include "studio/offset_stack.h"

#include <gtest/gtest.h>

#include "combine/stack.h"
#include "tests/shares/share_test_util.h"
#include "tests/studio/studio_test_util.h"

namespace quillon::studio {
namespace {

// Pixel by pixel, in stored rows: the layer's pixel (row + dy, col - dx) lands on (row, col).
std::vector<std::string> PlainStack(const std::vector<PlacedLayer>& layers) {
  const BmpImage& first = *layers[0].image;
  std::vector<std::string> rows(first.Height(), std::string(first.Width(), 'w'));
  for (int32_t row = 0; row < first.Height(); ++row) {
    for (int32_t col = 0; col < first.Width(); ++col) {
      for (const PlacedLayer& layer : layers) {
        const int64_t r = int64_t{row} + layer.dy, c = int64_t{col} - layer.dx;
        if (layer.image != nullptr && r >= 0 && r < layer.image->Height() && c >= 0 &&
            c < layer.image->Width() && layer.image->GetPixel(r, c) == 'b') {
          rows[row][col] = 'b';
        }
      }
    }
  }
  return rows;
}

TEST(OffsetStack, AlignedLayersStackAsCombineDoes) {
  // Depths and sizes that stress the word edges: 1 to 24 bits, widths around 64.
  const BmpImage a = testing::RandomPicture(9, 130, 1, 1);
  const BmpImage b = testing::RandomPicture(7, 63, 8, 2);
  const BmpImage c = testing::RandomPicture(12, 64, 24, 3);
  const BmpImage d = testing::RandomPicture(9, 131, 4, 4);
  const BmpImage none;
  const std::vector<std::vector<const BmpImage*>> cases = {
      {&a}, {&a, &b}, {&a, &b, &c, &d}, {&b, &a}, {&c, &a, &none}, {&d, nullptr, &b}};
  for (const auto& images : cases) {
    std::vector<PlacedLayer> placed;
    for (const BmpImage* image : images)
      placed.push_back({image, 0, 0});
    const BmpImage stacked = StackPlacedLayers(placed, "s.bmp");
    EXPECT_EQ(stacked.FileName(), "s.bmp");
    EXPECT_EQ(stacked.Pixels(), StackLayers(images, "s.bmp").Pixels()) << images.size();
  }
  EXPECT_EQ(StackPlacedLayers({}, "s.bmp").Width(), 0);
  EXPECT_EQ(StackPlacedLayers({{&none, 0, 0}, {&a, 0, 0}}, "s.bmp").Height(), 0);
}

TEST(OffsetStack, OffsetsMoveEachLayer) {
  const BmpImage a = testing::RandomPicture(11, 100, 1, 5);
  const BmpImage b = testing::RandomPicture(11, 100, 1, 6);
  const BmpImage small = testing::RandomPicture(4, 70, 8, 7);
  struct Case {
    int32_t dxA, dyA, dxB, dyB;
  } cases[] = {{0, 0, 1, 0},    {0, 0, -1, 0},   {0, 0, 0, 1},   {0, 0, 0, -1},
               {2, -3, -65, 4}, {0, 0, 64, 0},   {0, 0, -64, 2}, {0, 0, 99, 10},
               {0, 0, 100, 0},  {0, 0, -130, 0}, {5, 1, 0, 11},  {-7, 0, 63, -11}};
  for (const Case& c : cases) {
    const std::vector<PlacedLayer> layers = {
        {&a, c.dxA, c.dyA}, {&b, c.dxB, c.dyB}, {&small, c.dxB + 3, c.dyA}};
    EXPECT_EQ(testing::Pixels(StackPlacedLayers(layers, "s.bmp")), PlainStack(layers))
        << c.dxA << "," << c.dyA << " " << c.dxB << "," << c.dyB;
  }
  // One pixel down, as the picture is seen: the top row is the lower layer's alone.
  const BmpImage top = testing::SeenPicture({"bw", "ww"}),
                 blank = testing::SeenPicture({"ww", "ww"});
  EXPECT_EQ(testing::SeenRows(StackPlacedLayers({{&blank, 0, 0}, {&top, 0, 1}}, "s.bmp")),
            (std::vector<std::string>{"ww", "bw"}));
  EXPECT_EQ(testing::SeenRows(StackPlacedLayers({{&blank, 0, 0}, {&top, 1, 0}}, "s.bmp")),
            (std::vector<std::string>{"wb", "ww"}));
}

}  // namespace
}  // namespace quillon::studio
