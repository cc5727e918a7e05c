#include "app/picture.h"

#include <algorithm>
#include <cstdint>

#include "core/bmp_image.h"

namespace quillon {
namespace {

ui::Rgb PixelColour(const BmpImage& image, const uint8_t* row, int32_t x) {
  const int bits = image.BitCount();
  if (bits <= 8) {
    const int64_t bit = int64_t{x} * bits;
    const int shift = 8 - bits - static_cast<int>(bit % 8);
    const int index = (row[bit / 8] >> shift) & ((1 << bits) - 1);
    const auto& entry = image.ColourTable()[index];
    return ui::Rgb{entry[2], entry[1], entry[0]};
  }
  if (bits == 16) {
    const uint16_t v = static_cast<uint16_t>(row[2 * x] | (row[2 * x + 1] << 8));
    auto scale = [](int five) { return static_cast<uint8_t>(five * 255 / 31); };
    return ui::Rgb{scale((v >> 10) & 31), scale((v >> 5) & 31), scale(v & 31)};
  }
  const uint8_t* p = row + int64_t{x} * (bits / 8);
  return ui::Rgb{p[2], p[1], p[0]};
}

bool Decodable(const BmpImage& image) {
  const int bits = image.BitCount();
  const bool depth =
      bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
  return depth && image.HasPixels() && image.Width() > 0 && image.Height() > 0 &&
         image.Stride() > 0 &&
         static_cast<int64_t>(image.Pixels().size()) >= image.Stride() * image.Height();
}

}  // namespace

std::optional<ui::Surface> LoadPicture(Env& env, const std::string& path, int maxWidth,
                                       int maxHeight) {
  BmpImage image(path);
  if (!image.Load(env) || !Decodable(image))
    return std::nullopt;
  const int width = std::min(image.Width(), std::max(maxWidth, 0));
  const int height = std::min(image.Height(), std::max(maxHeight, 0));
  ui::Surface picture(width, height);
  for (int y = 0; y < height; ++y) {
    // Stored rows run bottom-up: the top line is the last one.
    const uint8_t* row = image.Row(image.Height() - 1 - y);
    for (int x = 0; x < width; ++x)
      picture.SetPixel(x, y, PixelColour(image, row, x));
  }
  return picture;
}

}  // namespace quillon
