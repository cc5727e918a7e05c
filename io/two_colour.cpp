#include "io/two_colour.h"

#include <array>
#include <utility>
#include <vector>

namespace quillon {
namespace {

// The colour-table index of pixel x in a stored row of 1, 2, 4 or 8 bits per pixel.
int PaletteIndex(const uint8_t* row, int bits, int32_t x) {
  const int64_t bit = static_cast<int64_t>(x) * bits;
  const int shift = 8 - bits - static_cast<int>(bit % 8);
  return (row[bit / 8] >> shift) & ((1 << bits) - 1);
}

std::array<uint8_t, 256> PaletteLuma(const BmpImage& image) {
  std::array<uint8_t, 256> luma{};
  const BmpImage::Palette& palette = image.ColourTable();
  for (int i = 0; i < 256; ++i)
    luma[i] = Luma(palette[i][2], palette[i][1], palette[i][0]);
  return luma;
}

void SetWhite(BmpImage& image, int32_t row, int32_t col) {
  image.Row(row)[col / 8] |= static_cast<uint8_t>(0x80 >> (col % 8));
}

}  // namespace

BmpImage MakeTwoColour(const std::string& name, int32_t width, int32_t height,
                       const LumaRowFn& lumaRow, const TwoColourRule& rule) {
  BmpImage image(name, height, width);
  if (!image.HasPixels())
    return image;
  std::vector<uint8_t> luma(static_cast<size_t>(width));
  // Error carried to this row and the next, one slot of margin on either side.
  std::vector<int> error(static_cast<size_t>(width) + 2);
  std::vector<int> nextError(static_cast<size_t>(width) + 2);
  for (int32_t y = 0; y < height; ++y) {
    lumaRow(y, luma.data());
    const int32_t row = height - 1 - y;
    for (int32_t x = 0; x < width; ++x) {
      bool black;
      if (rule.mode == TwoColourRule::Mode::Threshold) {
        black = luma[x] < rule.threshold;
      } else {
        const int value = luma[x] + error[x + 1];
        black = value < 128;
        const int e = value - (black ? 0 : 255);
        const int right = e * 7 / 16, belowLeft = e * 3 / 16, below = e * 5 / 16;
        // The rounding remainder goes to the last neighbour, so no error is lost.
        error[x + 2] += right;
        nextError[x] += belowLeft;
        nextError[x + 1] += below;
        nextError[x + 2] += e - right - belowLeft - below;
      }
      if (black == rule.invert)
        SetWhite(image, row, x);
    }
    if (rule.mode == TwoColourRule::Mode::Dither) {
      std::swap(error, nextError);
      std::fill(nextError.begin(), nextError.end(), 0);
    }
  }
  return image;
}

BmpImage MakeTwoColour(const std::string& name, const GreyPicture& picture,
                       const TwoColourRule& rule) {
  return MakeTwoColour(
      name, picture.width, picture.height,
      [&picture](int32_t y, uint8_t* out) {
        const uint8_t* row = picture.luma.data() + static_cast<size_t>(y) * picture.width;
        std::copy(row, row + picture.width, out);
      },
      rule);
}

bool BmpHasReadableColours(const BmpImage& image) {
  const int bits = image.BitCount();
  return image.HasPixels() && (bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 24);
}

void BmpLumaRow(const BmpImage& image, int32_t y, uint8_t* out) {
  const uint8_t* row = image.Row(image.Height() - 1 - y);
  const int bits = image.BitCount();
  if (bits == 24) {
    for (int32_t x = 0; x < image.Width(); ++x, row += 3)
      out[x] = Luma(row[2], row[1], row[0]);
    return;
  }
  const std::array<uint8_t, 256> luma = PaletteLuma(image);
  for (int32_t x = 0; x < image.Width(); ++x)
    out[x] = luma[PaletteIndex(row, bits, x)];
}

BmpImage MakeTwoColour(const std::string& name, const BmpImage& image, const TwoColourRule& rule) {
  return MakeTwoColour(
      name, image.Width(), image.Height(),
      [&image](int32_t y, uint8_t* out) { BmpLumaRow(image, y, out); }, rule);
}

BmpImage TwoColourView(const std::string& name, const BmpImage& image, bool invert) {
  BmpImage view(name, image.Height(), image.Width());
  if (!view.HasPixels())
    return view;
  for (int32_t row = 0; row < image.Height(); ++row) {
    for (int32_t col = 0; col < image.Width(); ++col) {
      if ((image.GetPixel(row, col) == 'w') != invert)
        SetWhite(view, row, col);
    }
  }
  return view;
}

TwoColourFindings InspectTwoColour(const BmpImage& image) {
  TwoColourFindings findings;
  if (!image.HasPixels())
    return findings;
  const int bits = image.BitCount();
  const bool indexed = bits == 1 || bits == 2 || bits == 4 || bits == 8;
  std::array<bool, 256> used{};
  for (int32_t row = 0; row < image.Height(); ++row) {
    for (int32_t col = 0; col < image.Width(); ++col) {
      if (indexed) {
        used[PaletteIndex(image.Row(row), bits, col)] = true;
      } else if (image.GetPixel(row, col) == 'b') {
        findings.hasBlack = true;
      } else {
        findings.hasWhite = true;
      }
    }
  }
  if (indexed) {
    findings.hasBlack = used[0];
    const std::array<uint8_t, 256> luma = PaletteLuma(image);
    bool lighterThanAll = true;
    for (int i = 1; i < 256; ++i) {
      if (used[i]) {
        findings.hasWhite = true;
        lighterThanAll = lighterThanAll && luma[0] > luma[i];
      }
    }
    findings.negativePalette = findings.hasBlack && findings.hasWhite && lighterThanAll;
  }
  return findings;
}

}  // namespace quillon
