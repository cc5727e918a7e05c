// BMP files of 1, 8 and 24 bits with chosen colour tables, written and loaded for tests.
#pragma once

#include <array>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/bmp_image.h"
#include "tests/test_util.h"

namespace quillon::testing {

inline void Put(std::vector<uint8_t>& bytes, size_t at, uint32_t value, int width) {
  for (int i = 0; i < width; ++i)
    bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// A plain BMP file of 1, 8 or 24 bits: palette entries as {b, g, r}, pixels as palette
// indices or 0xRRGGBB values, top row first.
inline BmpImage LoadBmp(const std::string& path, int bits, int32_t width, int32_t height,
                        const std::vector<std::array<uint8_t, 3>>& palette,
                        const std::vector<uint32_t>& pixels) {
  const int64_t stride = BmpStride(width, bits);
  const size_t offset = 54 + 4 * palette.size();
  std::vector<uint8_t> bytes(offset + stride * height);
  bytes[0] = 'B';
  bytes[1] = 'M';
  Put(bytes, 2, static_cast<uint32_t>(bytes.size()), 4);
  Put(bytes, 10, static_cast<uint32_t>(offset), 4);
  Put(bytes, 14, 40, 4);
  Put(bytes, 18, width, 4);
  Put(bytes, 22, height, 4);
  Put(bytes, 26, 1, 2);
  Put(bytes, 28, bits, 2);
  Put(bytes, 46, static_cast<uint32_t>(palette.size()), 4);
  for (size_t i = 0; i < palette.size(); ++i)
    std::copy(palette[i].begin(), palette[i].end(), bytes.begin() + 54 + 4 * i);
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* row = bytes.data() + offset + (height - 1 - y) * stride;
    for (int32_t x = 0; x < width; ++x) {
      const uint32_t v = pixels[y * width + x];
      if (bits == 24) {
        Put(bytes, row - bytes.data() + 3 * x, v, 3);
      } else if (bits == 8) {
        row[x] = static_cast<uint8_t>(v);
      } else {
        row[x / 8] |= static_cast<uint8_t>(v << (7 - x % 8));
      }
    }
  }
  WriteFileBytes(path, bytes);
  BmpImage image(path);
  EXPECT_TRUE(image.Load(Env::Default()));
  return image;
}

}  // namespace quillon::testing
