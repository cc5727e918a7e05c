#include "reference/plain_stack.h"

#include <algorithm>
#include <cstdlib>

namespace quillon {

int StackPixel(const std::vector<const BmpImage*>& layers, int count, int32_t row, int32_t col) {
  int black = 0;
  const int n = std::clamp(count, 0, static_cast<int>(layers.size()));
  for (int i = 0; i < n; ++i) {
    const BmpImage* layer = layers[i];
    const bool covers =
        layer != nullptr && layer->HasPixels() && row < layer->Height() && col < layer->Width();
    if (covers && layer->GetPixel(row, col) == 'b')
      black = 1;
  }
  return black;
}

BmpImage StackLayersPlain(const std::vector<const BmpImage*>& layers,
                          const std::string& resultName) {
  const BmpImage* first = layers.empty() ? nullptr : layers[0];
  BmpImage result = first == nullptr ? BmpImage(resultName, 0, 0)
                                     : BmpImage(resultName, first->Height(), first->Width());
  const int count = static_cast<int>(layers.size());
  for (int32_t row = 0; row < result.Height(); ++row) {
    for (int32_t col = 0; col < result.Width(); ++col) {
      result.SetPixel(row, col, StackPixel(layers, count, row, col));
    }
  }
  return result;
}

DecodeResult DecodeStackedPlain(const BmpImage& stacked, const BlockLayout& layout,
                                const std::string& resultName) {
  DecodeResult result;
  const int64_t s = layout.side;
  if (s < 1 || layout.places < 1 || layout.places > s * s || !stacked.HasPixels()) {
    result.image = BmpImage(resultName, 0, 0);
    return result;
  }
  const int32_t height = static_cast<int32_t>(stacked.Height() / s);
  const int32_t width = static_cast<int32_t>(stacked.Width() / s);
  result.image = BmpImage(resultName, height, width);
  result.blocks = int64_t{height} * width;
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      int64_t black = 0;
      for (int32_t p = 0; p < layout.places; ++p) {
        const int64_t row = s * y + p / s;
        const int64_t col = s * x + p % s;
        black += stacked.GetPixel(static_cast<int32_t>(row), static_cast<int32_t>(col)) == 'b';
      }
      bool isBlack = black == layout.blackBlack;
      if (!isBlack && black != layout.whiteBlack) {
        ++result.ambiguous;
        isBlack = std::llabs(black - layout.blackBlack) <= std::llabs(black - layout.whiteBlack);
      }
      result.image.SetPixel(y, x, isBlack ? 1 : 0);
    }
  }
  return result;
}

}  // namespace quillon
