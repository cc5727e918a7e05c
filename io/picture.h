// Pictures in the common formats beyond BMP: the format told by a file's first bytes, and PNG
// and JPEG files decoded to one luminance byte per pixel. Every size a file declares is
// checked by CheckPictureSize before anything is allocated for its pixels. Files are read
// through the Env handed in. Functions are thread-safe; failures come back as outcomes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/bmp_image.h"
#include "core/env.h"
#include "core/outcome.h"

namespace quillon {

enum class PictureFormat { Bmp, Png, Jpeg, Unknown };

// By content: "BM", the PNG signature, or a JPEG start-of-image marker.
PictureFormat SniffPictureFormat(const uint8_t* bytes, size_t size);
// The format of the file's first bytes; Unknown when it cannot be read.
PictureFormat SniffPictureFile(Env& env, const std::string& path);

// The longest PNG or JPEG file read. Its pixels, like an RLE bitmap's, are not bounded by the
// file's length: CheckPictureSize holds them to kMaxPicturePixels (core/bmp_image.h).
constexpr int64_t kMaxPictureFileBytes = int64_t{256} << 20;

// The one check of a declared picture size: kNoPixels for a side of 0, kPictureTooLarge
// (detail: the size, as PictureSizeText words it) beyond kMaxPicturePixels.
Outcome CheckPictureSize(int64_t width, int64_t height);
// "W x H".
std::string PictureSizeText(int64_t width, int64_t height);

// One luminance byte per pixel, top row first, upright as viewers show the picture.
struct GreyPicture {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> luma;  // width * height bytes

  uint8_t At(int32_t x, int32_t y) const { return luma[static_cast<size_t>(y) * width + x]; }
};

// Rec. 601 luma of 8-bit (gamma-encoded) values, the Y of JPEG: (299 R + 587 G + 114 B) / 1000,
// rounded.
uint8_t Luma(uint8_t red, uint8_t green, uint8_t blue);

// Turns a picture as stored into what viewers show for its EXIF orientation: 2 to 8 mirror
// and turn it (5 to 8 swap width and height), anything else leaves it. kNoMemory leaves the
// picture empty.
Outcome OrientPicture(GreyPicture& picture, int orientation);

// Decodes a PNG or JPEG file held in memory to what viewers show: 16-bit samples rounded to
// the nearest 8-bit value, transparency laid on white in the file's own (gamma-encoded) values,
// EXIF orientation (a JPEG's APP1, a PNG's eXIf before its pixels) applied; a malformed EXIF is
// ignored. Outcomes: kNotAPicture (neither format), kBadPicture (detail: the decoder's own
// words; a JPEG that ends early, with or without its end marker, is one), kNoPixels,
// kPictureTooLarge, kNoMemory; on failure out is left empty.
Outcome DecodePicture(const uint8_t* data, size_t size, GreyPicture& out);
// The same for a file (at most kMaxPictureFileBytes long, else kFileTooLarge with the limit
// as detail); the outcome names the file.
Outcome DecodePictureFile(Env& env, const std::string& path, GreyPicture& out);

struct TwoColourRule;

// Loads path as a two-colour picture, the format told by content: a PNG or JPEG becomes two
// colours by rule; a BMP keeps its own reading unless byColour (then kColoursUnreadable, with
// its bit count as detail, for a bitmap whose colours cannot be read); invert swaps either.
// Anything else is left to the BMP reader, whose outcome tells a refused bitmap (
// kUnsupportedBitmap) from no picture at all (kNotAPicture). format, when given, gets the
// format sniffed. Outcomes name path.
Outcome LoadTwoColourPicture(Env& env, const std::string& path, bool byColour,
                             const TwoColourRule& rule, BmpImage& out,
                             PictureFormat* format = nullptr);

}  // namespace quillon
