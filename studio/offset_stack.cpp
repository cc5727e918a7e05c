#include "studio/offset_stack.h"

#include <algorithm>

namespace quillon::studio {
namespace {

// Rows are held as 64-bit words of black pixels, column 0 in the most significant bit.
constexpr int64_t Words(int64_t width) {
  return (width + 63) / 64;
}

// The black pixels of one stored row of a layer, the bits past its width clear.
void BlackWords(const BmpImage& layer, int32_t row, std::vector<uint8_t>& white,
                std::vector<uint64_t>& black) {
  const int64_t width = layer.Width();
  const int64_t words = Words(width);
  std::fill(white.begin(), white.end(), 0);
  layer.WhiteRow(row, white.data());
  for (int64_t w = 0; w < words; ++w) {
    uint64_t bits = 0;
    for (int i = 0; i < 8; ++i)
      bits = bits << 8 | white[8 * w + i];
    black[w] = ~bits;
  }
  if (width % 64 != 0)
    black[words - 1] &= ~uint64_t{0} << (64 - width % 64);
}

// ORs src (srcWords words) into dst (dstWords words), moved dx columns to the right.
void OrShifted(const uint64_t* src, int64_t srcWords, int64_t dx, uint64_t* dst, int64_t dstWords) {
  const int64_t s = dx >= 0 ? dx : -dx;
  const int64_t q = s / 64;
  const int b = static_cast<int>(s % 64);
  auto at = [&](int64_t i) { return i >= 0 && i < srcWords ? src[i] : uint64_t{0}; };
  for (int64_t i = 0; i < dstWords; ++i) {
    uint64_t word;
    if (dx >= 0) {
      word = at(i - q) >> b;
      if (b != 0)
        word |= at(i - q - 1) << (64 - b);
    } else {
      word = at(i + q) << b;
      if (b != 0)
        word |= at(i + q + 1) >> (64 - b);
    }
    dst[i] |= word;
  }
}

}  // namespace

BmpImage StackPlacedLayers(const std::vector<PlacedLayer>& layers, const std::string& name) {
  const BmpImage* first = layers.empty() ? nullptr : layers[0].image;
  if (first == nullptr || !first->HasPixels())
    return BmpImage(name, 0, 0);
  BmpImage result(name, first->Height(), first->Width());
  const int64_t width = result.Width();
  const int32_t height = result.Height();
  if (!result.HasPixels() || width == 0 || height == 0)
    return result;

  int64_t widest = 0;
  for (const PlacedLayer& layer : layers) {
    if (layer.image != nullptr && layer.image->HasPixels())
      widest = std::max<int64_t>(widest, layer.image->Width());
  }
  std::vector<uint8_t> white(static_cast<size_t>(Words(widest) * 8));
  std::vector<uint64_t> layerBlack(static_cast<size_t>(Words(widest)));
  std::vector<uint64_t> black(static_cast<size_t>(Words(width)));
  const int64_t rowBytes = (width + 7) / 8;
  for (int32_t row = 0; row < height; ++row) {
    std::fill(black.begin(), black.end(), 0);
    for (const PlacedLayer& layer : layers) {
      const BmpImage* image = layer.image;
      if (image == nullptr || !image->HasPixels() || image->Width() <= 0)
        continue;
      // Moving a layer down puts its higher stored rows (rows count from the bottom) here.
      const int64_t from = int64_t{row} + layer.dy;
      if (from < 0 || from >= image->Height())
        continue;
      BlackWords(*image, static_cast<int32_t>(from), white, layerBlack);
      OrShifted(layerBlack.data(), Words(image->Width()), layer.dx, black.data(), Words(width));
    }
    uint8_t* out = result.Row(row);
    for (int64_t i = 0; i < rowBytes; ++i)
      out[i] = static_cast<uint8_t>(~(black[i / 8] >> (56 - 8 * (i % 8))));
    if (width % 8 != 0)
      out[rowBytes - 1] &= static_cast<uint8_t>(0xFF << (8 - width % 8));
  }
  return result;
}

}  // namespace quillon::studio
