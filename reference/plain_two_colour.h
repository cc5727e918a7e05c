// What a picture's two-colour reading shows, found the plain way, one pixel at a time: the
// reference that InspectTwoColour (io/two_colour.h) is checked against. For tests and
// benchmarks only, which link quillon_io. A pure function of its argument.
#pragma once

#include <array>
#include <cstdint>

#include "core/bmp_image.h"
#include "io/picture.h"
#include "io/two_colour.h"

namespace quillon {

inline TwoColourFindings InspectTwoColourPlain(const BmpImage& image) {
  TwoColourFindings findings;
  if (!image.HasPixels())
    return findings;
  const int bits = image.BitCount();
  const bool indexed = bits == 1 || bits == 2 || bits == 4 || bits == 8;
  std::array<bool, 256> used{};
  for (int32_t row = 0; row < image.Height(); ++row) {
    for (int32_t col = 0; col < image.Width(); ++col) {
      if (indexed) {
        const int64_t bit = static_cast<int64_t>(col) * bits;
        const int shift = 8 - bits - static_cast<int>(bit % 8);
        used[(image.Row(row)[bit / 8] >> shift) & ((1 << bits) - 1)] = true;
      } else if (image.GetPixel(row, col) == 'b') {
        findings.hasBlack = true;
      } else {
        findings.hasWhite = true;
      }
    }
  }
  if (indexed) {
    const BmpImage::Palette& palette = image.ColourTable();
    const auto luma = [&palette](int i) {
      return Luma(palette[i][2], palette[i][1], palette[i][0]);
    };
    findings.hasBlack = used[0];
    bool lighterThanAll = true;
    for (int i = 1; i < 256; ++i) {
      if (used[i]) {
        findings.hasWhite = true;
        lighterThanAll = lighterThanAll && luma(0) > luma(i);
      }
    }
    findings.negativePalette = findings.hasBlack && findings.hasWhite && lighterThanAll;
  }
  return findings;
}

}  // namespace quillon
