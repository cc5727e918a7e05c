#include "core/bmp_image.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

#include "core/report.h"

namespace quillon {
namespace {

constexpr int64_t kMaxPixelBytes = std::numeric_limits<int32_t>::max();

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

bool SupportedDepth(int bits) {
  return bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 24;
}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

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
    Report("ERROR: Can't allocate memory for image!");
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

bool BmpImage::Load() {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(m_fileName.c_str(), "rb"));
  if (!file) {
    Report("ERROR: Cannot open " + m_fileName);
    return false;
  }
  struct stat info;
  if (fstat(fileno(file.get()), &info) != 0 || !S_ISREG(info.st_mode)) {
    Clear();
    Report("ERROR: Unsupported bitmap file " + m_fileName);
    return false;
  }
  const int64_t fileSize = info.st_size;

  uint8_t raw[kBmpHeaderBytes];
  if (std::fread(raw, 1, sizeof raw, file.get()) != sizeof raw) {
    Clear();
    Report("ERROR: Unsupported bitmap file " + m_fileName);
    return false;
  }
  const BmpHeader header = DecodeHeader(raw);
  const int64_t entries = BmpPaletteEntries(header.biBitCount, header.biClrUsed);
  const int64_t stride = BmpStride(header.biWidth, header.biBitCount);
  const bool supported = SupportedDepth(header.biBitCount) && header.biCompression == 0 &&
                         header.biSize == 40 && entries <= 256 && header.biWidth >= 0 &&
                         header.biHeight >= 0 && stride >= 0 &&
                         header.bfOffBits == kBmpHeaderBytes + 4 * entries &&
                         stride * header.biHeight <= kMaxPixelBytes;
  if (!supported) {
    Clear();
    Report("ERROR: Unsupported bitmap file " + m_fileName);
    return false;
  }
  m_header = header;

  uint8_t table[256 * 4];
  const size_t tableBytes = static_cast<size_t>(entries) * 4;
  size_t got = std::fread(table, 1, tableBytes, file.get());
  for (size_t e = 0; e < got / 4; ++e)
    std::memcpy(m_palette[e].data(), table + 4 * e, 4);
  if (got != tableBytes) {
    // Every later entry would fail the same way; one message says it.
    Report("ERROR: Can't read bitmap's color palette!");
  }

  const int64_t length = stride * header.biHeight;
  const int64_t left = fileSize - kBmpHeaderBytes - static_cast<int64_t>(got);
  if (length > left) {
    // Never allocate for data the file cannot hold.
    Clear();
    Report("ERROR: Can't read in image!");
    return false;
  }
  std::vector<uint8_t> pixels;
  try {
    pixels.resize(static_cast<size_t>(length));
  } catch (const std::bad_alloc&) {
    Clear();
    Report("ERROR: Can't allocate memory for image!");
    return false;
  }
  if (length > 0 && std::fread(pixels.data(), 1, pixels.size(), file.get()) != pixels.size()) {
    Clear();
    Report("ERROR: Can't read in image!");
    return false;
  }
  m_pixels = std::move(pixels);
  m_hasPixels = true;
  return true;
}

bool BmpImage::Save() const {
  const int64_t entries = BmpPaletteEntries(m_header.biBitCount, m_header.biClrUsed);
  const int64_t stride = Stride();
  const int64_t length = stride < 0 ? -1 : stride * m_header.biHeight;

  // A temporary name beside the target: the rename below is atomic within one directory.
  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = m_fileName + ".tmp" + std::to_string(getpid()) + "-" + std::to_string(attempt);
    fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST)
      break;
  }
  if (fd < 0) {
    Report("ERROR: Can't open " + m_fileName);
    return false;
  }
  std::unique_ptr<std::FILE, FileCloser> file(fdopen(fd, "wb"));
  if (!file) {
    close(fd);
    unlink(temp.c_str());
    Report("ERROR: Can't open " + m_fileName);
    return false;
  }
  auto fail = [&](const char* message) {
    file.reset();
    unlink(temp.c_str());
    Report(message);
    return false;
  };

  uint8_t raw[kBmpHeaderBytes];
  EncodeHeader(m_header, raw);
  if (std::fwrite(raw, 1, sizeof raw, file.get()) != sizeof raw) {
    return fail("ERROR: Can't write image!");
  }
  if (entries < 0 || entries > 256)
    return fail("ERROR: Can't write bitmap's color palette!");
  for (int64_t e = 0; e < entries; ++e) {
    if (std::fwrite(m_palette[e].data(), 1, 4, file.get()) != 4) {
      return fail("ERROR: Can't write bitmap's color palette!");
    }
  }
  if (length < 0 ||
      (length > 0 && (!m_hasPixels || static_cast<int64_t>(m_pixels.size()) < length))) {
    return fail("ERROR: Can't write image!");
  }
  if (length > 0 && std::fwrite(m_pixels.data(), 1, static_cast<size_t>(length), file.get()) !=
                        static_cast<size_t>(length)) {
    return fail("ERROR: Can't write image!");
  }
  if (std::fflush(file.get()) != 0 || fsync(fileno(file.get())) != 0) {
    return fail("ERROR: Can't write image!");
  }
  if (std::fclose(file.release()) != 0) {
    unlink(temp.c_str());
    Report("ERROR: Can't write image!");
    return false;
  }
  if (std::rename(temp.c_str(), m_fileName.c_str()) != 0) {
    unlink(temp.c_str());
    Report("ERROR: Can't open " + m_fileName);
    return false;
  }
  return true;
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
