#include "combine/decode.h"

#include <cstdlib>

#include "schemes/block_geometry.h"

namespace quillon {

std::optional<BlockLayout> MethodBlockLayout(ExpansionMethod method, int64_t m, int64_t c,
                                             int64_t l, int64_t h, int stacked) {
  if (m < 1 || c < 1 || stacked < 1)
    return std::nullopt;
  int64_t side = 0, places = 0, extra = 0;
  switch (method) {
    case ExpansionMethod::PixelSampling:
    case ExpansionMethod::SmallestSquareWithoutFiller:
      side = SquareBlockSide(c);
      places = side * side;
      break;
    case ExpansionMethod::SquareSubpixelExpansion:
      side = c;
      places = c * c;
      break;
    case ExpansionMethod::SmallestSquareWithFiller:
      side = FillerBlockSide(c);
      places = c;
      break;
    case ExpansionMethod::ExtendedPreserveDetail:
      // The m innocent columns: each is white only in its own participant's row, so two or
      // more stacked rows see all m of them black.
      if (stacked < 2)
        return std::nullopt;
      side = SquareBlockSide(c + m);
      places = side * side;
      extra = m;
      break;
    case ExpansionMethod::RandomBasisColumn:
    case ExpansionMethod::ExtendedPreserveSize:
      return std::nullopt;
  }
  if (side < 1 || side > INT32_MAX / side)
    return std::nullopt;
  // The counted places hold the c (+ m) columns of the row, places / width times over.
  const int64_t copies = places / (c + extra);
  BlockLayout layout;
  layout.side = static_cast<int32_t>(side);
  layout.places = static_cast<int32_t>(places);
  layout.whiteBlack = copies * (l + extra);
  layout.blackBlack = copies * (h + extra);
  return layout;
}

DecodeResult DecodeStacked(const BmpImage& stacked, const BlockLayout& layout,
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
