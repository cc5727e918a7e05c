// Helpers of the share tests: a session that records what the methods ask of it, scripted
// draws, and small images and matrices written out in full.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "core/basis_matrix.h"
#include "core/bmp_image.h"
#include "core/random.h"
#include "shares/share_session.h"
#include "tests/test_util.h"

namespace quillon::testing {

// Records what the driver asks of its host: the innocent images asked for (by share), the
// sets written, the progress heard.
class FakeSession : public ShareSession {
 public:
  explicit FakeSession(const ScratchDir& dir) : m_dir(dir) {}

  std::optional<std::string> ChooseInnocentImage(int share) override {
    asked.push_back(share);
    if (innocentChoices.empty())
      return std::nullopt;
    std::optional<std::string> choice = innocentChoices.front();
    innocentChoices.pop_front();
    return choice;
  }
  std::string OutputPath(int, const std::string& name) override { return m_dir.File(name); }
  void SharesWritten(int m) override { written.push_back(m); }
  void ShowProgress(double fraction) override { progress.push_back(fraction); }

  std::vector<int> asked, written;
  std::vector<double> progress;
  std::deque<std::optional<std::string>> innocentChoices;

 private:
  const ScratchDir& m_dir;
};

// Rows given as strings of '0'/'1' (1 = black sub-pixel).
inline BasisMatrix Matrix(const std::vector<std::string>& rows) {
  BasisMatrix m(static_cast<int32_t>(rows.size()), rows.empty() ? 0 : rows[0].size());
  for (size_t r = 0; r < rows.size(); ++r) {
    for (size_t c = 0; c < rows[r].size(); ++c)
      m.Set(r, c, rows[r][c] == '1');
  }
  return m;
}

// A 1-bit image from rows of 'b'/'w', row 0 first.
inline BmpImage Picture(const std::vector<std::string>& rows, const std::string& name = "p.bmp") {
  BmpImage image(name, static_cast<int32_t>(rows.size()),
                 rows.empty() ? 0 : static_cast<int32_t>(rows[0].size()));
  for (size_t y = 0; y < rows.size(); ++y) {
    for (size_t x = 0; x < rows[y].size(); ++x)
      image.SetPixel(y, x, rows[y][x] == 'b');
  }
  return image;
}

// The pixels as rows of 'b'/'w', row 0 first.
inline std::vector<std::string> Pixels(const BmpImage& image) {
  std::vector<std::string> rows(image.Height(), std::string(image.Width(), 'w'));
  for (int32_t y = 0; y < image.Height(); ++y) {
    for (int32_t x = 0; x < image.Width(); ++x)
      rows[y][x] = image.GetPixel(y, x);
  }
  return rows;
}

// A picture of the given depth (1, 2, 4, 8 or 24 bits) with random pixel values, about half
// of them black; the padding bits are random too, as a loaded file may have them.
inline BmpImage RandomPicture(int32_t height, int32_t width, int bits, uint32_t seed,
                              const std::string& name = "random.bmp") {
  // A 1-bit image width * bits wide has exactly the stride of the deeper one.
  BmpImage image(name, height, width * bits);
  image.MutableHeader().biWidth = width;
  image.MutableHeader().biBitCount = static_cast<uint16_t>(bits);
  std::mt19937 engine(seed);
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* row = image.Row(y);
    for (int64_t i = 0; i < image.Stride(); ++i)
      row[i] = static_cast<uint8_t>(engine());
    for (int32_t x = 0; x < width; ++x) {
      const bool white = engine() % 2;
      for (int b = 0; b < bits; ++b) {
        const int64_t bit = int64_t{x} * bits + b;
        // White keeps its random bits but the last one set, so 24-bit values like
        // (0, 0, 1) occur; black clears them all.
        if (white && b == bits - 1) {
          row[bit / 8] |= static_cast<uint8_t>(0x80 >> (bit % 8));
        } else if (!white) {
          row[bit / 8] &= static_cast<uint8_t>(~(0x80 >> (bit % 8)));
        }
      }
    }
  }
  return image;
}

}  // namespace quillon::testing
