#include "schemes/block_geometry.h"

#include <cmath>
#include <limits>

namespace quillon {

int64_t SmallestSquareFactor(int64_t c) {
  // i * c stays below 2^53 for every c the schemes can build, so the products and their
  // square roots are exact and a perfect square is recognised without error.
  for (int64_t i = 1; i < c; ++i) {
    const double root = std::sqrt(static_cast<double>(i) * static_cast<double>(c));
    if (root == std::trunc(root))
      return i;
  }
  return c < 1 ? 1 : c;
}

int64_t SquareBlockSide(int64_t c) {
  const int64_t f = SmallestSquareFactor(c);
  return static_cast<int64_t>(std::sqrt(static_cast<double>(f) * static_cast<double>(c)));
}

int64_t FillerBlockSide(int64_t c) {
  return static_cast<int64_t>(std::ceil(std::sqrt(static_cast<double>(c))));
}

int64_t MethodBlockSide(ExpansionMethod method, int64_t m, int64_t c) {
  const MethodRow& row = MethodInfo(method);
  const int64_t columns = row.innocents ? c + m : c;
  switch (row.side) {
    case BlockSide::None:
      return 1;
    case BlockSide::Columns:
      return columns;
    case BlockSide::SquareFactor:
      return SquareBlockSide(columns);
    case BlockSide::Filler:
      return FillerBlockSide(columns);
  }
  return 1;
}

ShareSize MethodShareSize(ExpansionMethod method, int64_t width, int64_t height, int64_t m,
                          int64_t c) {
  const int64_t s = MethodBlockSide(method, m, c);
  if (MethodInfo(method).layout == PixelLayout::SampledBlock)
    return {width / s * s, height / s * s};
  return {s * width, s * height};
}

bool ShareSizeFits(const ShareSize& size) {
  constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
  if (size.width < 0 || size.height < 0 || size.width > kMax || size.height > kMax) {
    return false;
  }
  const int64_t stride = (size.width + 31) / 32 * 4;
  // Compared by division: stride * height could exceed 64 bits for absurd sizes.
  if (size.height > 0 && stride > (kMax - 62) / size.height)
    return false;
  return true;
}

}  // namespace quillon
