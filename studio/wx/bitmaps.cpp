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

// A picture of width x height fitted into maxSide x maxSide by sampling one source pixel for
// each pixel shown (never enlarged); greyRow gives a source row's grey values, top row first.
template <typename GreyRow>
wxImage Shrunk(int width, int height, int maxSide, GreyRow greyRow) {
  const int side = std::max(width, height);
  if (side <= maxSide)
    return Build(width, height, 1, greyRow);
  const int shownWidth = std::max(1, static_cast<int>(int64_t{width} * maxSide / side));
  const int shownHeight = std::max(1, static_cast<int>(int64_t{height} * maxSide / side));
  std::vector<uint8_t> full(static_cast<size_t>(width));
  return Build(shownWidth, shownHeight, 1, [&](int y, uint8_t* grey) {
    greyRow(static_cast<int>(int64_t{y} * height / shownHeight), full.data());
    for (int x = 0; x < shownWidth; ++x)
      grey[x] = full[static_cast<size_t>(int64_t{x} * width / shownWidth)];
  });
}

}  // namespace

wxImage TwoColourImage(const BmpImage& image, int zoom) {
  if (!image.HasPixels())
    return wxImage();
  std::vector<uint8_t> bits(static_cast<size_t>(image.Width() + 7) / 8);
  return Build(image.Width(), image.Height(), zoom,
               [&](int y, uint8_t* grey) { TwoColourRow(image, y, bits, grey); });
}

wxBitmap Thumbnail(const BmpImage& image, int maxSide) {
  if (!image.HasPixels() || maxSide <= 0)
    return wxBitmap();
  const int side = std::max(image.Width(), image.Height());
  if (side <= maxSide)
    return wxBitmap(TwoColourImage(image, std::max(1, maxSide / side)));
  std::vector<uint8_t> bits(static_cast<size_t>(image.Width() + 7) / 8);
  return wxBitmap(Shrunk(image.Width(), image.Height(), maxSide,
                         [&](int y, uint8_t* grey) { TwoColourRow(image, y, bits, grey); }));
}

wxBitmap GreyThumbnail(const GreyPicture& picture, int maxSide) {
  if (picture.width <= 0 || picture.height <= 0 || maxSide <= 0 ||
      picture.luma.size() != static_cast<size_t>(picture.width) * picture.height) {
    return wxBitmap();
  }
  return wxBitmap(Shrunk(picture.width, picture.height, maxSide, [&](int y, uint8_t* grey) {
    std::memcpy(grey, picture.luma.data() + static_cast<size_t>(y) * picture.width,
                static_cast<size_t>(picture.width));
  }));
}

wxBitmap BlankSquare(int side) {
  wxImage image(side, side);
  image.SetRGB(wxRect(0, 0, side, side), 236, 236, 236);
  return wxBitmap(image);
}

}  // namespace quillon::studio::wx
