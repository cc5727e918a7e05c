#include "io/two_colour.h"

#include <algorithm>
#include <array>
#include <cstring>
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

namespace {

// Notes whether the first width bits of a 1-bit row hold a 0 (black) and a 1 (white), a
// machine word at a time; the bits past the width are not looked at.
void ScanBits(const uint8_t* row, int64_t width, bool& black, bool& white) {
  const int64_t whole = width / 8;
  uint64_t any = 0, all = ~uint64_t{0};
  int64_t i = 0;
  for (; i + 8 <= whole; i += 8) {
    uint64_t word;
    std::memcpy(&word, row + i, 8);
    any |= word;
    all &= word;
  }
  for (; i < whole; ++i) {
    any |= row[i];
    all &= row[i] | ~uint64_t{0xFF};
  }
  white = white || any != 0;
  black = black || all != ~uint64_t{0};
  if (width % 8 != 0) {
    const uint8_t mask = static_cast<uint8_t>(0xFF << (8 - width % 8));
    white = white || (row[whole] & mask) != 0;
    black = black || (row[whole] & mask) != mask;
  }
}

// The findings from the set of colour-table indices that pixels use.
TwoColourFindings FromUsed(const std::array<bool, 256>& used,
                           const std::array<uint8_t, 256>& luma) {
  TwoColourFindings findings;
  findings.hasBlack = used[0];
  bool lighterThanAll = true;
  for (int i = 1; i < 256; ++i) {
    if (used[i]) {
      findings.hasWhite = true;
      lighterThanAll = lighterThanAll && luma[0] > luma[i];
    }
  }
  findings.negativePalette = findings.hasBlack && findings.hasWhite && lighterThanAll;
  return findings;
}

// Once index 0 and an index at least as light are used, nothing more can change the findings.
bool Settled(const std::array<bool, 256>& used, const std::array<uint8_t, 256>& luma) {
  if (!used[0])
    return false;
  for (int i = 1; i < 256; ++i) {
    if (used[i] && luma[i] >= luma[0])
      return true;
  }
  return false;
}

// 2, 4 and 8 bits: the byte values of the whole bytes of every row are marked, and turned
// into the indices they hold now and then, to stop as soon as the findings are settled.
TwoColourFindings InspectIndexed(const BmpImage& image, const std::array<uint8_t, 256>& luma) {
  const int bits = image.BitCount();
  const int64_t width = image.Width();
  const int64_t wholeBytes = width * bits / 8;
  const int perByte = 8 / bits;
  const unsigned indexMask = (1u << bits) - 1;
  std::array<bool, 256> seenBytes{};
  std::array<bool, 256> used{};
  auto markSeen = [&] {
    for (unsigned b = 0; b < 256; ++b) {
      if (!seenBytes[b])
        continue;
      for (int k = 0; k < perByte; ++k)
        used[(b >> (bits * k)) & indexMask] = true;
    }
  };
  // Rows between looks at the indices: about 8 KB of pixels.
  const int64_t rowsPerLook = std::max<int64_t>(1, 8192 / std::max<int64_t>(1, wholeBytes));
  for (int32_t row = 0; row < image.Height(); ++row) {
    const uint8_t* p = image.Row(row);
    for (int64_t i = 0; i < wholeBytes; ++i)
      seenBytes[p[i]] = true;
    for (int64_t x = wholeBytes * perByte; x < width; ++x)
      used[PaletteIndex(p, bits, static_cast<int32_t>(x))] = true;
    if ((row + 1) % rowsPerLook == 0) {
      markSeen();
      if (Settled(used, luma))
        break;
    }
  }
  markSeen();
  return FromUsed(used, luma);
}

}  // namespace

TwoColourFindings InspectTwoColour(const BmpImage& image) {
  TwoColourFindings findings;
  if (!image.HasPixels() || image.Width() <= 0)
    return findings;
  const int bits = image.BitCount();
  const int64_t width = image.Width();
  const std::array<uint8_t, 256> luma = PaletteLuma(image);
  if (bits == 2 || bits == 4 || bits == 8)
    return InspectIndexed(image, luma);
  // A 1-bit row is its own two-colour view; deeper rows are turned into theirs.
  std::vector<uint8_t> view(bits == 1 ? 0 : static_cast<size_t>((width + 7) / 8));
  bool black = false, white = false;
  for (int32_t row = 0; row < image.Height() && !(black && white); ++row) {
    const uint8_t* p = image.Row(row);
    if (bits != 1) {
      image.WhiteRow(row, view.data());
      p = view.data();
    }
    ScanBits(p, width, black, white);
  }
  if (bits != 1) {
    findings.hasBlack = black;
    findings.hasWhite = white;
    return findings;
  }
  std::array<bool, 256> used{};
  used[0] = black;
  used[1] = white;
  return FromUsed(used, luma);
}

}  // namespace quillon
