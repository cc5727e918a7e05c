#include "combine/decode.h"

#include <cstdlib>

#include "schemes/block_geometry.h"

namespace quillon {

std::optional<BlockLayout> MethodBlockLayout(ExpansionMethod method, int64_t m, int64_t c,
                                             int64_t l, int64_t h, int stacked) {
  if (m < 1 || c < 1 || stacked < 1 || !IsBlockMethod(method))
    return std::nullopt;
  const MethodRow& row = MethodInfo(method);
  // The m innocent columns: each is white only in its own participant's row, so two or more
  // stacked rows see all m of them black.
  const int64_t extra = row.innocents ? m : 0;
  if (row.innocents && stacked < 2)
    return std::nullopt;
  const int64_t side = MethodBlockSide(method, m, c);
  if (side < 1 || side > INT32_MAX / side)
    return std::nullopt;
  // Filler places are random and not counted; the others hold the c (+ m) columns of the
  // row, places / columns times over.
  const int64_t places = row.side == BlockSide::Filler ? c + extra : side * side;
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
