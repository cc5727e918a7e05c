// Pictures in the common formats beyond BMP: the format told by a file's first bytes, and PNG
// and JPEG files decoded to one luminance byte per pixel. Every size a file declares is
// checked by CheckPictureSize before anything is allocated for its pixels. Functions are
// thread-safe; failures come back as an error text, nothing is reported.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quillon {

enum class PictureFormat { Bmp, Png, Jpeg, Unknown };

// By content: "BM", the PNG signature, or a JPEG start-of-image marker.
PictureFormat SniffPictureFormat(const uint8_t* bytes, size_t size);
// The format of the file's first bytes; Unknown when it cannot be read.
PictureFormat SniffPictureFile(const std::string& path);

// The largest pictures decoded: far beyond what shares are made from, yet small enough that
// a hostile header cannot make us allocate gigabytes.
constexpr int64_t kMaxPicturePixels = int64_t{1} << 25;
constexpr int64_t kMaxPictureFileBytes = int64_t{256} << 20;

// The one check of a declared picture size. Returns an error text, empty when the size may
// be allocated.
std::string CheckPictureSize(int64_t width, int64_t height);

// One luminance byte per pixel, top row first (the order of PNG and JPEG files).
struct GreyPicture {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> luma;  // width * height bytes

  uint8_t At(int32_t x, int32_t y) const { return luma[static_cast<size_t>(y) * width + x]; }
};

// Rec. 601 luma of 8-bit (gamma-encoded) values, the Y of JPEG: (299 R + 587 G + 114 B) / 1000,
// rounded.
uint8_t Luma(uint8_t red, uint8_t green, uint8_t blue);

// Decodes a PNG or JPEG file held in memory. Transparent pixels are laid on white paper.
// Returns an error text, empty on success; on failure out is left empty.
std::string DecodePicture(const uint8_t* data, size_t size, GreyPicture& out);
// The same for a file (at most kMaxPictureFileBytes long).
std::string DecodePictureFile(const std::string& path, GreyPicture& out);

}  // namespace quillon
