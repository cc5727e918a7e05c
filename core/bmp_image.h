// One BMP file in memory: its name, the two headers as they stand in the file, the colour
// table and the pixel rows as stored (row 0 is the first stored row, the picture's bottom).
// Pixels are seen in two colours: 'b' when all of a pixel's bits are zero, 'w' otherwise.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/atomic_file.h"
#include "core/env.h"
#include "core/outcome.h"

namespace quillon {

struct BmpHeader {
  uint16_t bfType = 0x4D42;  // "BM"
  uint32_t bfSize = 40;
  uint16_t bfReserved1 = 0;
  uint16_t bfReserved2 = 0;
  uint32_t bfOffBits = 54;
  uint32_t biSize = 40;
  int32_t biWidth = 0;
  int32_t biHeight = 0;
  uint16_t biPlanes = 1;
  uint16_t biBitCount = 0;
  uint32_t biCompression = 0;
  uint32_t biSizeImage = 0;
  int32_t biXPelsPerMeter = 0;
  int32_t biYPelsPerMeter = 0;
  uint32_t biClrUsed = 0;
  uint32_t biClrImportant = 0;
};

constexpr int kBmpHeaderBytes = 54;
// The most pixel data an image holds: the BMP format's sizes are 32-bit fields.
constexpr int64_t kBmpMaxPixelBytes = 0x7FFFFFFF;
// The most pixels read from a file whose length does not bound them (an RLE-compressed BMP
// here, PNG and JPEG in io/picture.h): far beyond what shares are made from, yet small enough
// that a hostile header cannot make a reader allocate gigabytes. An uncompressed BMP is
// bounded by its length instead, so that the program's own larger shares stay readable.
constexpr int64_t kMaxPicturePixels = int64_t{1} << 25;

// Bytes of one stored row: ceil(width * bits / 8) rounded up to a multiple of 4. Negative
// for sizes the reader refuses (negative width, or a row beyond 2^31 bytes).
int64_t BmpStride(int64_t width, int64_t bitsPerPixel);

// Number of colour-table entries a file with these fields holds.
int64_t BmpPaletteEntries(uint16_t bitCount, uint32_t clrUsed);

class BmpImage {
 public:
  // Named, not loaded: the placeholder header, no pixels. Call Load() next.
  BmpImage();
  explicit BmpImage(std::string fileName);
  // A new 1-bit image, every pixel black. Height comes first. A size beyond the format leaves
  // it without pixels and of size 0 x 0; running out of memory throws std::bad_alloc.
  BmpImage(std::string fileName, int32_t height, int32_t width);
  virtual ~BmpImage() = default;

  BmpImage(const BmpImage&) = default;
  BmpImage& operator=(const BmpImage&) = default;
  BmpImage(BmpImage&&) = default;
  BmpImage& operator=(BmpImage&&) = default;

  // Reads the named file through env: OS/2 1.x and 2.x and Windows headers of 40 to 124
  // bytes, 1 to 32 bits per pixel, uncompressed, bit fields, RLE8 and RLE4, bottom-up or
  // top-down. The image is held as the plain file showing the same picture: a 40-byte header,
  // bottom row first, 1, 2, 4, 8 or 24 bits (16 and 32 become 24, RLE becomes uncompressed); a
  // file that is plain already is held exactly as it stands. Every size the headers declare is
  // checked before anything is allocated: uncompressed rows must all lie within the file, and
  // RLE pixels may not exceed kMaxPicturePixels. Outcomes: kCannotOpen (the image is left as
  // it was); kNotRegularFile, kNotAPicture (no bitmap at all), kUnsupportedBitmap (a bitmap the
  // reader refuses, or one whose pixels would take more than maxPixelBytes),
  // kPictureTooLarge (an RLE file beyond kMaxPicturePixels; detail "W x H"), kShortPixelData,
  // kCannotRead, kNoMemory (each leaves the image without pixels and with zero size). A colour
  // table cut short is not a failure: PaletteCutShort() tells it (also when the pixels then
  // fail).
  Outcome Load(Env& env, int64_t maxPixelBytes = kBmpMaxPixelBytes);
  // Reads the named file as Load does, with the same outcomes, and holds its two-colour view:
  // the 1-bit image BmpImage(name, height, width) with a bit set where Load's GetPixel would
  // answer 'w'. Rows are turned into two colours as they are read, so nothing the size of a
  // deeper picture is allocated.
  Outcome LoadTwoColour(Env& env, int64_t maxPixelBytes = kBmpMaxPixelBytes);
  // Whether the last Load found the colour table cut short (its missing entries are black).
  bool PaletteCutShort() const { return m_paletteCutShort; }
  // Writes the image to its name through core/atomic_file (mode for a new file; an existing
  // one keeps its own): a failed save leaves any earlier file untouched. An image whose size
  // or colour table the format cannot hold gives kUnsupportedBitmap, one that claims pixels
  // it does not hold kNoPixels, before anything is created. Outcomes name FileName().
  Outcome Save(Env& env, uint32_t mode = kPrivateFileMode) const;
  // Writes the file's bytes (headers, colour table, pixels) to file, as Save would, so that
  // other writers (a share set) can use it. Refuses as Save does, before writing.
  Outcome WriteTo(WritableFile& file) const;

  // Callers keep 0 <= row < Height() and 0 <= col < Width().
  char GetPixel(int32_t row, int32_t col) const;
  // The two-colour view of a whole row as a 1-bit row, column 0 in the most significant bit:
  // a set bit where GetPixel answers 'w'. out holds (Width() + 7) / 8 bytes; the bits past
  // the width are zero. Callers keep 0 <= row < Height() on an image with pixels.
  void WhiteRow(int32_t row, uint8_t* out) const;
  void SetPixel(int32_t row, int32_t col, int black);

  const std::string& FileName() const { return m_fileName; }
  void SetFileName(std::string name) { m_fileName = std::move(name); }
  const BmpHeader& Header() const { return m_header; }
  BmpHeader& MutableHeader() { return m_header; }
  int32_t Width() const { return m_header.biWidth; }
  int32_t Height() const { return m_header.biHeight; }
  int BitCount() const { return m_header.biBitCount; }
  bool HasPixels() const { return m_hasPixels; }

  // Colour table: 256 entries of blue, green, red, reserved.
  using Palette = std::array<std::array<uint8_t, 4>, 256>;
  const Palette& ColourTable() const { return m_palette; }

  // The stored rows, for code that walks pixels a word at a time.
  int64_t Stride() const { return BmpStride(m_header.biWidth, m_header.biBitCount); }
  const uint8_t* Row(int32_t row) const { return m_pixels.data() + row * Stride(); }
  uint8_t* Row(int32_t row) { return m_pixels.data() + row * Stride(); }
  const std::vector<uint8_t>& Pixels() const { return m_pixels; }

 private:
  void Clear();
  Outcome Read(Env& env, int64_t maxPixelBytes, bool twoColour);

  std::string m_fileName;
  BmpHeader m_header;
  std::vector<uint8_t> m_pixels;
  bool m_hasPixels = false;
  bool m_paletteCutShort = false;
  Palette m_palette{};
};

}  // namespace quillon
