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

ShareSize MethodShareSize(ExpansionMethod method, int64_t width, int64_t height, int64_t m,
                          int64_t c) {
  switch (method) {
    case ExpansionMethod::RandomBasisColumn:
    case ExpansionMethod::ExtendedPreserveSize:
      return {width, height};
    case ExpansionMethod::PixelSampling: {
      const int64_t s = SquareBlockSide(c);
      return {width / s * s, height / s * s};
    }
    case ExpansionMethod::SquareSubpixelExpansion:
      return {c * width, c * height};
    case ExpansionMethod::SmallestSquareWithFiller: {
      const int64_t s = FillerBlockSide(c);
      return {s * width, s * height};
    }
    case ExpansionMethod::SmallestSquareWithoutFiller: {
      const int64_t s = SquareBlockSide(c);
      return {s * width, s * height};
    }
    case ExpansionMethod::ExtendedPreserveDetail: {
      const int64_t s = SquareBlockSide(c + m);
      return {s * width, s * height};
    }
  }
  return {0, 0};
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
