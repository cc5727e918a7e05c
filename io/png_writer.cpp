#include "io/png_writer.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

namespace quillon {
namespace {

constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// The most bytes a stored deflate block holds: its length is a 16-bit field.
constexpr int64_t kBlockBytes = 65535;
// A zlib stream of deflate data with a 32 KB window, marked as the fastest level.
constexpr uint8_t kZlibHeader[2] = {0x78, 0x01};
// Length, type and CRC around every chunk's data.
constexpr int64_t kChunkFrame = 12;

void PutBe32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v >> 24);
  p[1] = static_cast<uint8_t>(v >> 16);
  p[2] = static_cast<uint8_t>(v >> 8);
  p[3] = static_cast<uint8_t>(v);
}

// Fills in the length and CRC of a chunk whose type and data stand at chunk + 4 and appends it.
Outcome AppendChunk(WritableFile& file, uint8_t* chunk, size_t dataBytes) {
  PutBe32(chunk, static_cast<uint32_t>(dataBytes));
  const uLong crc = crc32(crc32(0, nullptr, 0), chunk + 4, static_cast<uInt>(4 + dataBytes));
  PutBe32(chunk + 8 + dataBytes, static_cast<uint32_t>(crc));
  return file.Append(chunk, dataBytes + kChunkFrame);
}

// The bytes of the filtered image data: a filter byte (0, none) before every packed row.
int64_t RawBytes(int64_t width, int64_t height) {
  return height * (1 + (width + 7) / 8);
}

// IDAT chunks, one per stored block: the zlib header goes into the first, the Adler-32 of the
// raw bytes into the last.
class IdatWriter {
 public:
  IdatWriter(WritableFile& file, int64_t raw)
      : m_file(file),
        m_left(raw),
        m_chunk(static_cast<size_t>(kChunkFrame + 2 + 5 + kBlockBytes + 4)) {
    std::memcpy(m_chunk.data() + 4, "IDAT", 4);
    StartBlock();
  }

  Outcome Put(const uint8_t* data, int64_t n) {
    m_adler = adler32(m_adler, data, static_cast<uInt>(n));
    while (n > 0) {
      const int64_t part = std::min(n, m_blockLeft);
      std::memcpy(m_chunk.data() + m_at, data, static_cast<size_t>(part));
      m_at += static_cast<size_t>(part);
      m_blockLeft -= part;
      m_left -= part;
      data += part;
      n -= part;
      if (m_blockLeft == 0) {
        if (Outcome written = EndBlock(); !written)
          return written;
      }
    }
    return Outcome::Ok();
  }

 private:
  void StartBlock() {
    m_at = 8;
    if (m_first) {
      std::memcpy(m_chunk.data() + m_at, kZlibHeader, 2);
      m_at += 2;
    }
    const int64_t length = std::min(m_left, kBlockBytes);
    uint8_t* header = m_chunk.data() + m_at;
    header[0] = length == m_left ? 1 : 0;  // the last block is marked final
    header[1] = static_cast<uint8_t>(length);
    header[2] = static_cast<uint8_t>(length >> 8);
    header[3] = static_cast<uint8_t>(~length);
    header[4] = static_cast<uint8_t>(~length >> 8);
    m_at += 5;
    m_blockLeft = length;
  }

  Outcome EndBlock() {
    const bool last = m_left == 0;
    if (last) {
      PutBe32(m_chunk.data() + m_at, static_cast<uint32_t>(m_adler));
      m_at += 4;
    }
    if (Outcome written = AppendChunk(m_file, m_chunk.data(), m_at - 8); !written)
      return written;
    m_first = false;
    if (!last)
      StartBlock();
    return Outcome::Ok();
  }

  WritableFile& m_file;
  int64_t m_left;  // raw bytes not yet put
  std::vector<uint8_t> m_chunk;
  size_t m_at = 0;  // where the next byte of the chunk goes
  int64_t m_blockLeft = 0;
  bool m_first = true;
  uLong m_adler = adler32(0, nullptr, 0);
};

Outcome Encode(const BmpImage& image, WritableFile& file) {
  const int32_t width = image.Width();
  const int32_t height = image.Height();
  uint8_t head[sizeof kSignature + kChunkFrame + 13];
  std::memcpy(head, kSignature, sizeof kSignature);
  uint8_t* ihdr = head + sizeof kSignature;
  std::memcpy(ihdr + 4, "IHDR", 4);
  PutBe32(ihdr + 8, static_cast<uint32_t>(width));
  PutBe32(ihdr + 12, static_cast<uint32_t>(height));
  const uint8_t rest[5] = {1, 0, 0, 0, 0};  // 1 bit, grey, deflate, adaptive filters, no interlace
  std::memcpy(ihdr + 16, rest, sizeof rest);
  PutBe32(ihdr, 13);
  PutBe32(ihdr + 21, static_cast<uint32_t>(crc32(crc32(0, nullptr, 0), ihdr + 4, 17)));
  if (Outcome written = file.Append(head, sizeof head); !written)
    return written;

  IdatWriter idat(file, RawBytes(width, height));
  std::vector<uint8_t> row(1 + (static_cast<size_t>(width) + 7) / 8);
  for (int32_t y = 0; y < height; ++y) {
    row[0] = 0;  // filter type none
    image.WhiteRow(height - 1 - y, row.data() + 1);
    if (Outcome written = idat.Put(row.data(), static_cast<int64_t>(row.size())); !written)
      return written;
  }
  uint8_t end[kChunkFrame];
  std::memcpy(end + 4, "IEND", 4);
  return AppendChunk(file, end, 0);
}

}  // namespace

int64_t PngFileBytes(int64_t width, int64_t height) {
  const int64_t raw = RawBytes(width, height);
  const int64_t blocks = (raw + kBlockBytes - 1) / kBlockBytes;
  const int64_t zlib = sizeof kZlibHeader + 5 * blocks + raw + 4;
  return static_cast<int64_t>(sizeof kSignature) + kChunkFrame + 13 + kChunkFrame * blocks + zlib +
         kChunkFrame;
}

Outcome WritePng(const BmpImage& image, WritableFile& file) {
  if (!image.HasPixels() || image.Width() <= 0 || image.Height() <= 0)
    return Outcome::Fail(Code::kNoPixels, image.FileName());
  try {
    return Encode(image, file);
  } catch (const std::bad_alloc&) {
    return Outcome::Fail(Code::kNoMemory);
  }
}

Outcome SavePng(Env& env, const BmpImage& image, const std::string& path, uint32_t mode) {
  if (!image.HasPixels() || image.Width() <= 0 || image.Height() <= 0)
    return Outcome::Fail(Code::kNoPixels, path);
  return WriteFileAtomically(env, path, mode,
                             [&image](WritableFile& file) { return WritePng(image, file); });
}

}  // namespace quillon
