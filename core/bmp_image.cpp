#include "core/bmp_image.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

#include "core/atomic_file.h"

namespace quillon {
namespace {

constexpr int64_t kMaxPixelBytes = kBmpMaxPixelBytes;

uint32_t ReadLe(const uint8_t* p, int width) {
  uint32_t v = 0;
  for (int i = width - 1; i >= 0; --i)
    v = (v << 8) | p[i];
  return v;
}

void WriteLe(uint8_t* p, uint32_t v, int width) {
  for (int i = 0; i < width; ++i)
    p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// The sixteen fields in file order, each read and written with its own width.
template <typename Header, typename Visit>
void ForEachField(Header& h, Visit visit) {
  visit(h.bfType, 2);
  visit(h.bfSize, 4);
  visit(h.bfReserved1, 2);
  visit(h.bfReserved2, 2);
  visit(h.bfOffBits, 4);
  visit(h.biSize, 4);
  visit(h.biWidth, 4);
  visit(h.biHeight, 4);
  visit(h.biPlanes, 2);
  visit(h.biBitCount, 2);
  visit(h.biCompression, 4);
  visit(h.biSizeImage, 4);
  visit(h.biXPelsPerMeter, 4);
  visit(h.biYPelsPerMeter, 4);
  visit(h.biClrUsed, 4);
  visit(h.biClrImportant, 4);
}

BmpHeader DecodeHeader(const uint8_t* bytes) {
  BmpHeader h;
  int offset = 0;
  ForEachField(h, [&](auto& field, int width) {
    field = static_cast<std::remove_reference_t<decltype(field)>>(ReadLe(bytes + offset, width));
    offset += width;
  });
  return h;
}

void EncodeHeader(const BmpHeader& h, uint8_t* bytes) {
  int offset = 0;
  ForEachField(h, [&](const auto& field, int width) {
    WriteLe(bytes + offset, static_cast<uint32_t>(field), width);
    offset += width;
  });
}

// The compressions the reader knows, as the Windows headers number them.
constexpr uint32_t kRgb = 0;
constexpr uint32_t kRle8 = 1;
constexpr uint32_t kRle4 = 2;
constexpr uint32_t kBitFields = 3;
constexpr uint32_t kAlphaBitFields = 6;

// The file header, the longest information header (V5) and four masks after a 40-byte one.
constexpr size_t kMaxHeadBytes = 14 + 124 + 16;

// What the headers say, checked in one place before anything is allocated or read.
struct Layout {
  BmpHeader header;  // the image as it is held: a plain 40-byte file of depth 1, 2, 4, 8 or 24
  int fileBits = 0;
  uint32_t compression = kRgb;  // kRgb, kRle8, kRle4 or kBitFields
  bool topDown = false;
  int64_t width = 0;
  int64_t height = 0;
  int64_t paletteOffset = 0;
  int paletteEntrySize = 4;
  int64_t paletteEntries = 0;  // entries read and held
  uint32_t masks[3] = {};      // red, green, blue of 16- and 32-bit pixels
  int64_t dataOffset = 0;
  int64_t fileStride = 0;  // bytes of a stored row, for uncompressed files
  int64_t length = 0;      // bytes of the held rows
  int64_t left = 0;        // bytes of the file from dataOffset on

  bool Rle() const { return compression == kRle8 || compression == kRle4; }
};

// A colour mask is one run of set bits within the pixel.
bool GoodMask(uint32_t mask, int bits) {
  if (mask == 0 || (bits == 16 && mask > 0xFFFF))
    return false;
  const uint32_t run = mask >> std::countr_zero(mask);
  return (run & (run + 1)) == 0;
}

// Reads the headers and checks every size they declare against the format, maxPixelBytes
// and the file's length: kUnsupportedBitmap, or kPictureTooLarge for an RLE file beyond
// kMaxPicturePixels (its memory is not bounded by the file), else the layout is filled in and
// the answer is kShortPixelData when uncompressed rows would reach past the file, kOk
// otherwise. Nothing the file declares is allocated before this has answered.
Code ReadLayout(const uint8_t* head, size_t headSize, int64_t fileSize, int64_t maxPixelBytes,
                Layout& out) {
  constexpr Code kRefused = Code::kUnsupportedBitmap;
  if (headSize < 18 || head[0] != 'B' || head[1] != 'M')
    return kRefused;
  const uint32_t infoSize = ReadLe(head + 14, 4);
  const bool os2v1 = infoSize == 12;
  const bool os2v2 = infoSize == 16 || infoSize == 64;
  const bool windows =
      infoSize == 40 || infoSize == 52 || infoSize == 56 || infoSize == 108 || infoSize == 124;
  if ((!os2v1 && !os2v2 && !windows) || headSize < 14 + infoSize)
    return kRefused;
  const uint8_t* info = head + 14;
  int64_t width, height;
  uint32_t compression = kRgb, clrUsed = 0;
  int32_t xPels = 0, yPels = 0;
  int bits;
  if (os2v1) {
    // 16-bit unsigned sizes: always bottom-up.
    width = ReadLe(info + 4, 2);
    height = ReadLe(info + 6, 2);
    bits = static_cast<int>(ReadLe(info + 10, 2));
  } else {
    width = static_cast<int32_t>(ReadLe(info + 4, 4));
    height = static_cast<int32_t>(ReadLe(info + 8, 4));
    bits = static_cast<int>(ReadLe(info + 14, 2));
    if (infoSize >= 40) {
      compression = ReadLe(info + 16, 4);
      xPels = static_cast<int32_t>(ReadLe(info + 24, 4));
      yPels = static_cast<int32_t>(ReadLe(info + 28, 4));
      clrUsed = ReadLe(info + 32, 4);
    }
  }
  // OS/2 2.x numbers Huffman 1D and RLE24 where Windows has bit fields and JPEG.
  if (os2v2 && compression != kRgb && compression != kRle8 && compression != kRle4)
    return kRefused;
  if (width < 0 || height == std::numeric_limits<int32_t>::min())
    return kRefused;
  out.topDown = height < 0;
  height = height < 0 ? -height : height;

  int64_t masksEnd = 14 + infoSize;
  switch (compression) {
    case kRgb:
      if (bits != 1 && bits != 2 && bits != 4 && bits != 8 && bits != 16 && bits != 24 &&
          bits != 32) {
        return kRefused;
      }
      if (os2v1 && (bits == 2 || bits == 16 || bits == 32))
        return kRefused;
      if (bits == 16) {
        out.masks[0] = 0x7C00, out.masks[1] = 0x03E0, out.masks[2] = 0x001F;
      } else if (bits == 32) {
        out.masks[0] = 0xFF0000, out.masks[1] = 0xFF00, out.masks[2] = 0xFF;
      }
      break;
    case kRle8:
    case kRle4:
      // Compressed rows are bottom-up only.
      if (bits != (compression == kRle8 ? 8 : 4) || out.topDown)
        return kRefused;
      break;
    case kBitFields:
    case kAlphaBitFields: {
      if (bits != 16 && bits != 32)
        return kRefused;
      const uint8_t* masks = info + 40;
      if (infoSize == 40) {
        // Masks follow a 40-byte header: three, or four with alpha.
        masksEnd += compression == kBitFields ? 12 : 16;
        if (headSize < static_cast<size_t>(masksEnd))
          return kRefused;
      }
      for (int c = 0; c < 3; ++c)
        out.masks[c] = ReadLe(masks + 4 * c, 4);
      compression = kBitFields;
      break;
    }
    default:
      // JPEG and PNG inside a BMP, and whatever else.
      return kRefused;
  }
  if (bits == 16 || bits == 32) {
    for (int c = 0; c < 3; ++c) {
      if (!GoodMask(out.masks[c], bits))
        return kRefused;
    }
    if ((out.masks[0] & out.masks[1]) || (out.masks[0] & out.masks[2]) ||
        (out.masks[1] & out.masks[2])) {
      return kRefused;
    }
  }

  // Pixel data starts at bfOffBits, whatever lies between; the colour table lies between.
  const int64_t dataOffset = ReadLe(head + 10, 4);
  if (dataOffset < masksEnd)
    return kRefused;
  const int entrySize = os2v1 ? 3 : 4;
  int64_t entries = 0;
  if (bits <= 8) {
    // A table longer than the depth can index is read up to what it can.
    entries = clrUsed == 0 ? int64_t{1} << bits : std::min<int64_t>(clrUsed, int64_t{1} << bits);
  } else if (bits == 24) {
    entries = std::min<int64_t>(clrUsed, 256);
  }
  entries = std::min(entries, (dataOffset - masksEnd) / entrySize);

  const int heldBits = bits == 16 || bits == 32 ? 24 : bits;
  const int64_t stride = BmpStride(width, heldBits);
  const int64_t fileStride = BmpStride(width, bits);
  // Rows without pixels are no picture, and walking millions of them would be all its cost.
  if (width == 0 && height != 0)
    return kRefused;
  if (stride < 0 || fileStride < 0)
    return kRefused;
  out.width = width;
  out.height = height;
  // An RLE stream leaves any number of pixels unset at the cost of two bytes: its memory is
  // bounded by a pixel count, not by the file.
  if ((compression == kRle8 || compression == kRle4) && width * height > kMaxPicturePixels)
    return Code::kPictureTooLarge;
  if (stride * height > maxPixelBytes)
    return kRefused;

  out.fileBits = bits;
  out.compression = compression;
  out.paletteOffset = masksEnd;
  out.paletteEntrySize = entrySize;
  out.paletteEntries = bits == 16 || bits == 32 ? 0 : entries;
  out.dataOffset = dataOffset;
  out.fileStride = fileStride;
  out.length = stride * height;
  out.left = fileSize - dataOffset;

  const BmpHeader file = DecodeHeader(head);
  const bool plain = infoSize == 40 && compression == kRgb && heldBits == bits && !out.topDown &&
                     entries == BmpPaletteEntries(file.biBitCount, file.biClrUsed) &&
                     dataOffset == kBmpHeaderBytes + 4 * entries;
  if (plain) {
    // Held exactly as it stands, so that saving it again gives the same bytes.
    out.header = file;
  } else {
    // Everything else is held as the plain file that shows the same picture. A paletted
    // image holds at least one entry, or its saved file would claim the full table.
    const int64_t held =
        bits <= 8 && out.paletteEntries == 0 ? int64_t{1} << bits : out.paletteEntries;
    BmpHeader& h = out.header;
    h = BmpHeader();
    h.bfOffBits = static_cast<uint32_t>(kBmpHeaderBytes + 4 * held);
    h.biWidth = static_cast<int32_t>(width);
    h.biHeight = static_cast<int32_t>(height);
    h.biBitCount = static_cast<uint16_t>(heldBits);
    h.biSizeImage = static_cast<uint32_t>(out.length);
    h.bfSize = static_cast<uint32_t>(h.bfOffBits + out.length);
    h.biXPelsPerMeter = xPels;
    h.biYPelsPerMeter = yPels;
    h.biClrUsed = static_cast<uint32_t>(held);
  }
  // Never allocate for data the file cannot hold: uncompressed rows must all be there.
  if (out.left < 0 || (!out.Rle() && fileStride * height > out.left))
    return Code::kShortPixelData;
  return Code::kOk;
}

// A colour channel of a 16- or 32-bit pixel scaled to 8 bits. A channel that is not zero
// never becomes zero, so that black stays exactly the pixels whose colour bits are all zero.
class Channel {
 public:
  explicit Channel(uint32_t mask)
      : m_shift(mask ? std::countr_zero(mask) : 0), m_bits(std::popcount(mask)), m_mask(mask) {
    if (m_bits > 0 && m_bits < 8) {
      const uint32_t max = (uint32_t{1} << m_bits) - 1;
      for (uint32_t v = 0; v <= max; ++v)
        m_small[v] = static_cast<uint8_t>((v * 255 + max / 2) / max);
    }
  }

  uint8_t operator()(uint32_t pixel) const {
    const uint32_t v = (pixel & m_mask) >> m_shift;
    if (m_bits < 8)
      return m_small[v];
    const uint32_t top = v >> (m_bits - 8);
    return static_cast<uint8_t>(top == 0 && v != 0 ? 1 : top);
  }

 private:
  int m_shift;
  int m_bits;
  uint32_t m_mask;
  std::array<uint8_t, 256> m_small{};
};

// Decodes an RLE8 or RLE4 stream, bottom row first, handing every pixel it sets to
// put(x, y, index), at most once each and in the order of the rows: a run or a delta only ever
// moves forward. Pixels the stream never sets are the caller's index 0; runs and deltas past
// the row or the picture are clipped. Returns false when the stream ends before the picture
// does.
template <typename Put>
bool DecodeRle(const uint8_t* in, size_t size, const Layout& layout, Put put) {
  const bool four = layout.compression == kRle4;
  const int64_t width = layout.width;
  const int64_t height = layout.height;
  int64_t x = 0, y = 0;
  size_t i = 0;
  auto emit = [&](uint8_t index) {
    if (x < width)
      put(x, y, index);
    ++x;
  };
  while (y < height) {
    if (size - i < 2)
      return false;
    const uint8_t count = in[i], code = in[i + 1];
    i += 2;
    if (count > 0) {
      // An encoded run: four-bit pixels alternate between the byte's two halves.
      const int64_t shown = std::clamp<int64_t>(width - x, 0, count);
      for (int64_t k = 0; k < shown; ++k)
        emit(four ? ((k & 1) ? code & 0xF : code >> 4) : code);
      x += count - shown;
    } else if (code == 0) {
      x = 0;
      ++y;
    } else if (code == 1) {
      return true;
    } else if (code == 2) {
      if (size - i < 2)
        return false;
      x += in[i];
      y += in[i + 1];
      i += 2;
    } else {
      // An absolute run of `code` pixels, padded to a whole number of 16-bit words.
      const size_t bytes = four ? (code + 1u) / 2 : code;
      if (size - i < bytes)
        return false;
      for (int k = 0; k < code; ++k)
        emit(four ? ((k & 1) ? in[i + k / 2] & 0xF : in[i + k / 2] >> 4) : in[i + k]);
      i += std::min(size - i, (bytes + 1) & ~size_t{1});
    }
  }
  return true;
}

// The pixel data, read forward from its offset. After a false answer, failure holds the
// system's error, 0 for a file that ends early.
struct PixelReader {
  ReadableFile& file;
  int64_t offset;
  int failure = 0;

  bool Read(void* buffer, size_t n) {
    size_t got = 0;
    Outcome outcome = file.ReadAt(offset, buffer, n, &got);
    if (!outcome)
      failure = outcome.error;
    offset += static_cast<int64_t>(got);
    return outcome.ok() && got == n;
  }
};

// Reads an RLE stream (at most what the file holds after the data offset) and decodes it
// through put.
template <typename Put>
bool ReadRle(PixelReader& in, const Layout& layout, Put put) {
  // No valid stream is longer than two bytes per pixel and per row, plus its end.
  const int64_t most = 2 * layout.width * layout.height + 2 * layout.height + 2;
  std::vector<uint8_t> stream(static_cast<size_t>(std::min(layout.left, most)));
  if (!in.Read(stream.data(), stream.size()))
    return false;
  return DecodeRle(stream.data(), stream.size(), layout, put);
}

// Reads the pixel data into the held rows: the bottom row first, 16 and 32 bits turned into 24.
bool ReadPixels(PixelReader& in, const Layout& layout, std::vector<uint8_t>& out) {
  const int64_t stride = layout.height > 0 ? layout.length / layout.height : 0;
  if (layout.Rle()) {
    const bool four = layout.compression == kRle4;
    return ReadRle(in, layout, [&](int64_t x, int64_t y, uint8_t index) {
      uint8_t* p = out.data() + y * stride;
      if (four) {
        const int shift = (x & 1) ? 0 : 4;
        p[x >> 1] = static_cast<uint8_t>((p[x >> 1] & ~(0xF << shift)) | (index << shift));
      } else {
        p[x] = index;
      }
    });
  }
  const bool convert = layout.header.biBitCount != layout.fileBits;
  if (!convert && !layout.topDown)
    return out.empty() || in.Read(out.data(), out.size());
  std::vector<uint8_t> row(static_cast<size_t>(layout.fileStride));
  const Channel red(layout.masks[0]), green(layout.masks[1]), blue(layout.masks[2]);
  for (int64_t r = 0; r < layout.height; ++r) {
    uint8_t* target = out.data() + (layout.topDown ? layout.height - 1 - r : r) * stride;
    if (!convert) {
      if (!in.Read(target, static_cast<size_t>(stride)))
        return false;
      continue;
    }
    if (!in.Read(row.data(), row.size()))
      return false;
    const int bytes = layout.fileBits / 8;
    for (int64_t x = 0; x < layout.width; ++x) {
      const uint32_t pixel = ReadLe(row.data() + bytes * x, bytes);
      target[3 * x] = blue(pixel);
      target[3 * x + 1] = green(pixel);
      target[3 * x + 2] = red(pixel);
    }
  }
  return true;
}

// Whether pixel col of a stored row is white: any of its bits set (any colour bit, for 16
// and 32 bits, whose colour bits are `colour`).
bool WhitePixel(const uint8_t* p, int bits, uint32_t colour, int64_t col) {
  switch (bits) {
    case 1:
    case 2:
    case 4: {
      const int64_t bit = col * bits;
      return ((p[bit / 8] >> (8 - bits - bit % 8)) & ((1 << bits) - 1)) != 0;
    }
    case 8:
      return p[col] != 0;
    case 16:
      return (ReadLe(p + 2 * col, 2) & colour) != 0;
    case 24:
      return (p[3 * col] | p[3 * col + 1] | p[3 * col + 2]) != 0;
    default:
      return (ReadLe(p + 4 * col, 4) & colour) != 0;
  }
}

// Eight bytes as a little-endian word (one load where the machine is little-endian).
inline uint64_t LoadLe64(const uint8_t* p) {
  uint64_t v = 0;
  for (int i = 7; i >= 0; --i)
    v = (v << 8) | p[i];
  return v;
}

// Flags of the nonzero bytes of eight bytes read as a little-endian word: bit i for byte i.
inline unsigned NonZeroBytes(uint64_t w) {
  constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7F;
  const uint64_t high = (((w & kLow7) + kLow7) | w) & ~kLow7;
  return static_cast<unsigned>((high * 0x0002040810204081) >> 56);
}

// Four 24-bit pixels from the flags of their twelve bytes: pixel 0 in bit 3.
constexpr auto kFourPixels = [] {
  std::array<uint8_t, 4096> t{};
  for (unsigned flags = 0; flags < 4096; ++flags) {
    for (int k = 0; k < 4; ++k)
      t[flags] |= static_cast<uint8_t>(((flags >> (3 * k)) & 7) != 0) << (3 - k);
  }
  return t;
}();

// The two-colour view of a stored row of width pixels as a 1-bit row: a set bit where
// WhitePixel holds, column 0 in the high bit, the bits past the width zero. Eight pixels at a
// time; the few past the last whole byte one at a time.
void WhiteBits(const uint8_t* p, int bits, uint32_t colour, int64_t width, uint8_t* out) {
  const int64_t whole = width / 8;  // bytes of eight columns each, all inside the row
  // Whether a pixel of 2 or 4 bits, or each of the two halves of a byte, is white.
  static constexpr auto kHalves = [] {
    std::array<uint8_t, 256> t{};
    for (int b = 0; b < 256; ++b)
      t[b] = static_cast<uint8_t>(((b >> 4) != 0) << 1 | ((b & 0xF) != 0));
    return t;
  }();
  static constexpr auto kQuarters = [] {
    std::array<uint8_t, 256> t{};
    for (int b = 0; b < 256; ++b) {
      for (int q = 0; q < 4; ++q)
        t[b] |= static_cast<uint8_t>(((b >> (6 - 2 * q)) & 3) != 0) << (3 - q);
    }
    return t;
  }();
  switch (bits) {
    case 1:
      std::memcpy(out, p, static_cast<size_t>(whole));
      break;
    case 2:
      for (int64_t i = 0; i < whole; ++i)
        out[i] = static_cast<uint8_t>(kQuarters[p[2 * i]] << 4 | kQuarters[p[2 * i + 1]]);
      break;
    case 4:
      for (int64_t i = 0; i < whole; ++i) {
        const uint8_t* q = p + 4 * i;
        out[i] = static_cast<uint8_t>(kHalves[q[0]] << 6 | kHalves[q[1]] << 4 | kHalves[q[2]] << 2 |
                                      kHalves[q[3]]);
      }
      break;
    case 8:
      for (int64_t i = 0; i < whole; ++i) {
        const uint8_t* q = p + 8 * i;
        unsigned flags = 0;
        for (int k = 0; k < 8; ++k)
          flags |= unsigned{q[k] != 0} << (7 - k);
        out[i] = static_cast<uint8_t>(flags);
      }
      break;
    case 24:
      for (int64_t i = 0; i < whole; ++i) {
        // Eight pixels are three words; a pixel is white when any of its three bytes is not 0.
        const uint8_t* q = p + 24 * i;
        const unsigned flags = NonZeroBytes(LoadLe64(q)) | NonZeroBytes(LoadLe64(q + 8)) << 8 |
                               NonZeroBytes(LoadLe64(q + 16)) << 16;
        out[i] = static_cast<uint8_t>(kFourPixels[flags & 0xFFF] << 4 | kFourPixels[flags >> 12]);
      }
      break;
    default:
      for (int64_t i = 0; i < whole; ++i) {
        unsigned flags = 0;
        for (int k = 0; k < 8; ++k)
          flags |= unsigned{WhitePixel(p, bits, colour, 8 * i + k)} << (7 - k);
        out[i] = static_cast<uint8_t>(flags);
      }
      break;
  }
  if (width % 8 != 0) {
    unsigned flags = 0;
    for (int64_t col = whole * 8; col < width; ++col)
      flags |= unsigned{WhitePixel(p, bits, colour, col)} << (7 - col % 8);
    out[whole] = static_cast<uint8_t>(flags);
  }
}

// Reads the pixel data straight into view, a blank 1-bit image of the picture's size: each
// block of stored rows becomes two colours as soon as it is read.
bool ReadWhiteRows(PixelReader& in, const Layout& layout, BmpImage& view) {
  if (layout.Rle()) {
    // Unset pixels are index 0: black, as the blank view is.
    return ReadRle(in, layout, [&](int64_t x, int64_t y, uint8_t index) {
      if (index != 0)
        view.Row(static_cast<int32_t>(y))[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    });
  }
  const int64_t stride = layout.fileStride;
  if (layout.fileBits == 1 && !layout.topDown) {
    // Stored as the view holds it: read in one go, then clear what lies past the width.
    if (layout.height == 0)
      return true;
    if (!in.Read(view.Row(0), static_cast<size_t>(stride * layout.height)))
      return false;
    const int64_t used = (layout.width + 7) / 8;
    for (int32_t row = 0; row < layout.height; ++row) {
      uint8_t* p = view.Row(row);
      if (layout.width % 8 != 0)
        p[used - 1] &= static_cast<uint8_t>(0xFF << (8 - layout.width % 8));
      std::memset(p + used, 0, static_cast<size_t>(stride - used));
    }
    return true;
  }
  // A few hundred kilobytes per read: few system calls, and the block stays in the cache.
  constexpr int64_t kBlockBytes = 256 << 10;
  const int64_t rowsPerRead =
      std::clamp<int64_t>(kBlockBytes / std::max<int64_t>(stride, 1), 1, layout.height);
  std::vector<uint8_t> block(static_cast<size_t>(rowsPerRead * stride));
  const uint32_t colour = layout.masks[0] | layout.masks[1] | layout.masks[2];
  for (int64_t first = 0; first < layout.height; first += rowsPerRead) {
    const int64_t rows = std::min(rowsPerRead, layout.height - first);
    if (!in.Read(block.data(), static_cast<size_t>(rows * stride)))
      return false;
    for (int64_t k = 0; k < rows; ++k) {
      const int64_t r = first + k;
      const int64_t held = layout.topDown ? layout.height - 1 - r : r;
      WhiteBits(block.data() + k * stride, layout.fileBits, colour, layout.width,
                view.Row(static_cast<int32_t>(held)));
    }
  }
  return true;
}

}  // namespace

int64_t BmpStride(int64_t width, int64_t bitsPerPixel) {
  if (width < 0 || bitsPerPixel < 0)
    return -1;
  int64_t bits = width * bitsPerPixel;  // at most 2^31 * 2^16: no overflow
  int64_t bytes = bits / 8 + (bits % 8 != 0 ? 1 : 0);
  int64_t stride = (bytes + 3) / 4 * 4;
  return stride > kMaxPixelBytes ? -1 : stride;
}

int64_t BmpPaletteEntries(uint16_t bitCount, uint32_t clrUsed) {
  if (bitCount != 24 && clrUsed == 0) {
    return bitCount < 32 ? int64_t{1} << bitCount : std::numeric_limits<int64_t>::max();
  }
  return clrUsed;
}

BmpImage::BmpImage() : BmpImage("test.bmp") {}

BmpImage::BmpImage(std::string fileName) : m_fileName(std::move(fileName)) {}

BmpImage::BmpImage(std::string fileName, int32_t height, int32_t width)
    : m_fileName(std::move(fileName)) {
  m_header.bfOffBits = 62;
  m_header.biWidth = width;
  m_header.biHeight = height;
  m_header.biBitCount = 1;
  int64_t stride = BmpStride(width, 1);
  int64_t length = stride * static_cast<int64_t>(height);
  if (stride < 0 || height < 0 || length > kMaxPixelBytes - 62) {
    // Too large for the format: left without pixels, which every user checks.
    m_header.biWidth = 0;
    m_header.biHeight = 0;
    length = 0;
  } else {
    m_pixels.assign(static_cast<size_t>(length), 0);
    m_hasPixels = true;
  }
  m_header.biSizeImage = static_cast<uint32_t>(length);
  m_header.bfSize = static_cast<uint32_t>(62 + length);
  m_palette[1] = {255, 255, 255, 0};
}

void BmpImage::Clear() {
  m_header = BmpHeader();
  m_pixels.clear();
  m_pixels.shrink_to_fit();
  m_hasPixels = false;
}

Outcome BmpImage::Load(Env& env, int64_t maxPixelBytes) {
  return Read(env, maxPixelBytes, false);
}

Outcome BmpImage::LoadTwoColour(Env& env, int64_t maxPixelBytes) {
  return Read(env, maxPixelBytes, true);
}

Outcome BmpImage::Read(Env& env, int64_t maxPixelBytes, bool twoColour) {
  m_paletteCutShort = false;
  std::unique_ptr<ReadableFile> file;
  if (Outcome opened = env.OpenForRead(m_fileName, &file); !opened) {
    // A file that cannot be opened leaves the image as it was; anything else is refused.
    if (opened.code != Code::kCannotOpen)
      Clear();
    return opened;
  }
  auto refuse = [this](Code code, int error = 0) {
    Clear();
    return Outcome::Fail(code, m_fileName, error);
  };

  uint8_t head[kMaxHeadBytes] = {};
  size_t headSize = 0;
  if (Outcome read = file->ReadAt(0, head, sizeof head, &headSize); !read)
    return refuse(Code::kCannotRead, read.error);
  // Not a bitmap file at all (empty, text, another format) is told apart from a bitmap that
  // is refused, so that a host can say which.
  if (headSize < 2 || head[0] != 'B' || head[1] != 'M')
    return refuse(Code::kNotAPicture);
  Layout layout;
  const Code checked =
      ReadLayout(head, headSize, file->Size(), std::min(maxPixelBytes, kMaxPixelBytes), layout);
  if (checked == Code::kPictureTooLarge) {
    return refuse(checked).With(std::to_string(layout.width) + " x " +
                                std::to_string(layout.height));
  }
  if (checked != Code::kOk && checked != Code::kShortPixelData)
    return refuse(checked);

  // The colour table: an entry that is missing is noted, and the pixels are still tried.
  Palette palette{};
  const int64_t tableBytes = layout.paletteEntries * layout.paletteEntrySize;
  uint8_t table[256 * 4];
  size_t got = 0;
  if (tableBytes > 0 &&
      !file->ReadAt(layout.paletteOffset, table, static_cast<size_t>(tableBytes), &got))
    got = 0;
  // OS/2 1.x entries have no reserved byte; it stays 0.
  for (int64_t e = 0; e < static_cast<int64_t>(got) / layout.paletteEntrySize; ++e)
    std::memcpy(palette[e].data(), table + e * layout.paletteEntrySize, layout.paletteEntrySize);
  // Told even when the pixels then fail: the table was cut short all the same.
  const bool cutShort = static_cast<int64_t>(got) != tableBytes;
  m_paletteCutShort = cutShort;
  if (checked == Code::kShortPixelData)
    return refuse(checked);

  PixelReader in{*file, layout.dataOffset};
  if (twoColour) {
    try {
      BmpImage view(m_fileName, static_cast<int32_t>(layout.height),
                    static_cast<int32_t>(layout.width));
      // A 1-bit picture the format cannot hold beside its 62 bytes of headers.
      if (!view.HasPixels())
        return refuse(Code::kUnsupportedBitmap);
      if (!ReadWhiteRows(in, layout, view))
        return refuse(in.failure != 0 ? Code::kCannotRead : Code::kShortPixelData, in.failure);
      *this = std::move(view);
      m_paletteCutShort = cutShort;
    } catch (const std::bad_alloc&) {
      return refuse(Code::kNoMemory);
    }
    return Outcome::Ok();
  }
  std::vector<uint8_t> pixels;
  try {
    pixels.resize(static_cast<size_t>(layout.length));
  } catch (const std::bad_alloc&) {
    return refuse(Code::kNoMemory);
  }
  if (!ReadPixels(in, layout, pixels))
    return refuse(in.failure != 0 ? Code::kCannotRead : Code::kShortPixelData, in.failure);
  m_header = layout.header;
  m_palette = palette;
  m_pixels = std::move(pixels);
  m_hasPixels = true;
  return Outcome::Ok();
}

// What WriteTo would refuse, found before anything is created.
static Outcome CheckWritable(const BmpHeader& header, int64_t stride, bool hasPixels,
                             size_t pixelBytes, const std::string& name) {
  const int64_t entries = BmpPaletteEntries(header.biBitCount, header.biClrUsed);
  if (entries < 0 || entries > 256 || stride < 0 || header.biHeight < 0)
    return Outcome::Fail(Code::kUnsupportedBitmap, name);
  const int64_t length = stride * header.biHeight;
  if (length > 0 && (!hasPixels || static_cast<int64_t>(pixelBytes) < length))
    return Outcome::Fail(Code::kNoPixels, name);
  return Outcome::Ok();
}

Outcome BmpImage::WriteTo(WritableFile& file) const {
  const int64_t stride = Stride();
  if (Outcome fits = CheckWritable(m_header, stride, m_hasPixels, m_pixels.size(), m_fileName);
      !fits) {
    return fits;
  }
  // Headers and colour table in one write, the pixels in another.
  const int64_t entries = BmpPaletteEntries(m_header.biBitCount, m_header.biClrUsed);
  uint8_t head[kBmpHeaderBytes + 256 * 4];
  EncodeHeader(m_header, head);
  for (int64_t e = 0; e < entries; ++e)
    std::memcpy(head + kBmpHeaderBytes + 4 * e, m_palette[e].data(), 4);
  if (Outcome written = file.Append(head, static_cast<size_t>(kBmpHeaderBytes + 4 * entries));
      !written) {
    return written;
  }
  const int64_t length = stride * m_header.biHeight;
  if (length > 0)
    return file.Append(m_pixels.data(), static_cast<size_t>(length));
  return Outcome::Ok();
}

Outcome BmpImage::Save(Env& env, uint32_t mode) const {
  if (Outcome fits = CheckWritable(m_header, Stride(), m_hasPixels, m_pixels.size(), m_fileName);
      !fits) {
    return fits;
  }
  return WriteFileAtomically(env, m_fileName, mode,
                             [this](WritableFile& file) { return WriteTo(file); });
}

char BmpImage::GetPixel(int32_t row, int32_t col) const {
  const uint8_t* p = m_pixels.data() + static_cast<int64_t>(row) * Stride();
  switch (m_header.biBitCount) {
    case 1:
      return (p[col / 8] & (0x80 >> (col % 8))) ? 'w' : 'b';
    case 2:
      return (p[col / 4] & (0xC0 >> (2 * (col % 4)))) ? 'w' : 'b';
    case 4:
      return (p[col / 2] & ((col % 2) ? 0x0F : 0xF0)) ? 'w' : 'b';
    case 8:
      return p[col] ? 'w' : 'b';
    case 24:
      p += 3 * static_cast<int64_t>(col);
      return (p[0] | p[1] | p[2]) ? 'w' : 'b';
    default:
      return 'w';
  }
}

void BmpImage::WhiteRow(int32_t row, uint8_t* out) const {
  const int bits = m_header.biBitCount;
  const int64_t width = m_header.biWidth;
  if (bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 24) {
    WhiteBits(Row(row), bits, 0, width, out);
    return;
  }
  // GetPixel reads any other depth as white.
  const size_t bytes = static_cast<size_t>((width + 7) / 8);
  std::memset(out, 0xFF, bytes);
  if (width % 8 != 0)
    out[bytes - 1] = static_cast<uint8_t>(0xFF << (8 - width % 8));
}

void BmpImage::SetPixel(int32_t row, int32_t col, int black) {
  uint8_t* p = m_pixels.data() + static_cast<int64_t>(row) * Stride();
  uint8_t mask;
  switch (m_header.biBitCount) {
    case 1:
      p += col / 8;
      mask = static_cast<uint8_t>(0x80 >> (col % 8));
      break;
    case 2:
      p += col / 4;
      mask = static_cast<uint8_t>(0xC0 >> (2 * (col % 4)));
      break;
    case 4:
      p += col / 2;
      mask = (col % 2) ? 0x0F : 0xF0;
      break;
    case 8:
      p += col;
      mask = 0xFF;
      break;
    case 24:
      p += 3 * static_cast<int64_t>(col);
      std::memset(p, black ? 0 : 255, 3);
      return;
    default:
      return;
  }
  *p = black ? (*p & ~mask) : (*p | mask);
}

}  // namespace quillon
