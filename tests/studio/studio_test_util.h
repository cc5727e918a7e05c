// Helpers of the Studio's tests: pictures written as files in the formats the Studio opens,
// pictures as rows of 'b'/'w', and an observer that records what it heard.
#pragma once

#include <png.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/bmp_image.h"
#include "studio/document.h"
#include "tests/shares/share_test_util.h"
#include "tests/test_util.h"

namespace quillon::testing {

// A greyscale PNG file, top row first.
inline void WriteGreyPng(const std::string& path, int width, int height,
                         const std::vector<uint8_t>& luma) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = width;
  image.height = height;
  image.format = PNG_FORMAT_GRAY;
  ASSERT_TRUE(png_image_write_to_file(&image, path.c_str(), 0, luma.data(), 0, nullptr));
}

// A 1-bit picture from rows of 'b'/'w', top row first as it is seen.
inline BmpImage SeenPicture(const std::vector<std::string>& rows,
                            const std::string& name = "p.bmp") {
  const int32_t height = static_cast<int32_t>(rows.size());
  BmpImage image(name, height, height == 0 ? 0 : static_cast<int32_t>(rows[0].size()));
  for (int32_t y = 0; y < height; ++y) {
    for (size_t x = 0; x < rows[y].size(); ++x)
      image.SetPixel(height - 1 - y, static_cast<int32_t>(x), rows[y][x] == 'b');
  }
  return image;
}

// The pixels as rows of 'b'/'w', top row first.
inline std::vector<std::string> SeenRows(const BmpImage& image) {
  std::vector<std::string> rows(image.Height(), std::string(image.Width(), 'w'));
  for (int32_t y = 0; y < image.Height(); ++y) {
    for (int32_t x = 0; x < image.Width(); ++x)
      rows[y][x] = image.GetPixel(image.Height() - 1 - y, x);
  }
  return rows;
}

inline void SaveBmp(const BmpImage& image, const std::string& path) {
  BmpImage named = image;
  named.SetFileName(path);
  ASSERT_TRUE(named.Save(Env::Default()));
}

class RecordingObserver : public studio::DocumentObserver {
 public:
  void DocumentChanged(unsigned aspects) override { heard.push_back(aspects); }
  // Everything heard since the last call, ORed.
  unsigned Take() {
    unsigned all = 0;
    for (unsigned aspects : heard)
      all |= aspects;
    heard.clear();
    return all;
  }
  std::vector<unsigned> heard;
};

}  // namespace quillon::testing
