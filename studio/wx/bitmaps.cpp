#include "studio/wx/bitmaps.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace quillon::studio::wx {
namespace {

// Fills an RGB row of width * zoom pixels from a row of grey values, each repeated zoom times.
void ZoomRow(const uint8_t* grey, int width, int zoom, unsigned char* rgb) {
  for (int x = 0; x < width; ++x) {
    for (int z = 0; z < zoom; ++z, rgb += 3)
      rgb[0] = rgb[1] = rgb[2] = grey[x];
  }
}

template <typename GreyRow>
wxImage Build(int width, int height, int zoom, GreyRow greyRow) {
  zoom = std::max(zoom, 1);
  if (width <= 0 || height <= 0)
    return wxImage();
  wxImage out(width * zoom, height * zoom, false);
  if (!out.IsOk())
    return out;
  unsigned char* data = out.GetData();
  const size_t rowBytes = static_cast<size_t>(width) * zoom * 3;
  std::vector<uint8_t> grey(static_cast<size_t>(width));
  for (int y = 0; y < height; ++y) {
    greyRow(y, grey.data());
    unsigned char* first = data + static_cast<size_t>(y) * zoom * rowBytes;
    ZoomRow(grey.data(), width, zoom, first);
    for (int z = 1; z < zoom; ++z)
      std::memcpy(first + z * rowBytes, first, rowBytes);
  }
  return out;
}

// The grey values of a two-colour row, top row first.
void TwoColourRow(const BmpImage& image, int y, std::vector<uint8_t>& bits, uint8_t* grey) {
  // Rows of a BMP are stored bottom-up; WhiteRow counts rows as GetPixel does.
  image.WhiteRow(image.Height() - 1 - y, bits.data());
  for (int x = 0; x < image.Width(); ++x)
    grey[x] = (bits[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
}

}  // namespace

wxImage TwoColourImage(const BmpImage& image, int zoom) {
  if (!image.HasPixels())
    return wxImage();
  std::vector<uint8_t> bits(static_cast<size_t>(image.Width() + 7) / 8);
  return Build(image.Width(), image.Height(), zoom,
               [&](int y, uint8_t* grey) { TwoColourRow(image, y, bits, grey); });
}

wxImage GreyImage(const GreyPicture& picture, int zoom) {
  if (picture.luma.size() != static_cast<size_t>(picture.width) * picture.height)
    return wxImage();
  return Build(picture.width, picture.height, zoom, [&](int y, uint8_t* grey) {
    std::memcpy(grey, picture.luma.data() + static_cast<size_t>(y) * picture.width,
                static_cast<size_t>(picture.width));
  });
}

wxBitmap Thumbnail(const BmpImage& image, int maxSide) {
  if (!image.HasPixels() || maxSide <= 0)
    return wxBitmap();
  const int side = std::max(image.Width(), image.Height());
  if (side <= maxSide)
    return wxBitmap(TwoColourImage(image, std::max(1, maxSide / side)));
  // Shrinking: one source pixel sampled for each thumbnail pixel.
  const int width = std::max(1, static_cast<int>(int64_t{image.Width()} * maxSide / side));
  const int height = std::max(1, static_cast<int>(int64_t{image.Height()} * maxSide / side));
  std::vector<uint8_t> bits(static_cast<size_t>(image.Width() + 7) / 8);
  std::vector<uint8_t> full(static_cast<size_t>(image.Width()));
  return wxBitmap(Build(width, height, 1, [&](int y, uint8_t* grey) {
    TwoColourRow(image, static_cast<int>(int64_t{y} * image.Height() / height), bits, full.data());
    for (int x = 0; x < width; ++x)
      grey[x] = full[static_cast<size_t>(int64_t{x} * image.Width() / width)];
  }));
}

}  // namespace quillon::studio::wx
