#include "tests/app/app_test_util.h"

#include <fstream>
#include <sstream>

namespace quillon::testing {

BmpImage Picture(const std::vector<std::string>& rows, const std::string& name) {
  BmpImage image(name, static_cast<int32_t>(rows.size()),
                 rows.empty() ? 0 : static_cast<int32_t>(rows[0].size()));
  for (size_t y = 0; y < rows.size(); ++y) {
    for (size_t x = 0; x < rows[y].size(); ++x)
      image.SetPixel(static_cast<int32_t>(y), static_cast<int32_t>(x), rows[y][x] == 'b');
  }
  return image;
}

std::vector<std::string> Pixels(const BmpImage& image) {
  std::vector<std::string> rows(image.Height(), std::string(image.Width(), 'w'));
  for (int32_t y = 0; y < image.Height(); ++y) {
    for (int32_t x = 0; x < image.Width(); ++x)
      rows[y][x] = image.GetPixel(y, x);
  }
  return rows;
}

void Write24BitBmp(const std::string& path, int width, int height,
                   const std::function<ui::Rgb(int, int)>& colour) {
  const int stride = (width * 3 + 3) / 4 * 4;
  const uint32_t pixelBytes = static_cast<uint32_t>(stride * height);
  std::vector<uint8_t> bytes;
  auto put = [&bytes](uint32_t value, int size) {
    for (int i = 0; i < size; ++i)
      bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
  };
  put('B' | ('M' << 8), 2);
  put(54 + pixelBytes, 4);
  put(0, 4);
  put(54, 4);
  put(40, 4);
  put(width, 4);
  put(height, 4);
  put(1, 2);
  put(24, 2);
  put(0, 4);
  put(pixelBytes, 4);
  put(2835, 4);
  put(2835, 4);
  put(0, 4);  // colours used
  put(0, 4);  // important colours
  for (int row = 0; row < height; ++row) {
    const int y = height - 1 - row;  // stored bottom-up
    for (int x = 0; x < width; ++x) {
      const ui::Rgb c = colour(x, y);
      bytes.insert(bytes.end(), {c.blue, c.green, c.red});
    }
    bytes.resize(bytes.size() + (stride - width * 3), 0);
  }
  WriteFileBytes(path, bytes);
}

::testing::AssertionResult ShowsPicture(const ui::Surface& surface, int x, int y,
                                        const std::string& path) {
  BmpImage image(path);
  if (!image.Load(Env::Default()))
    return ::testing::AssertionFailure() << "cannot load " << path;
  for (int line = 0; line < image.Height(); ++line) {
    const uint8_t* row = image.Row(image.Height() - 1 - line);
    for (int col = 0; col < image.Width(); ++col) {
      if (!surface.Contains(x + col, y + line))
        continue;
      ui::Rgb expected;
      if (image.BitCount() == 1) {
        const int index = (row[col / 8] >> (7 - col % 8)) & 1;
        const auto& entry = image.ColourTable()[index];
        expected = ui::Rgb{entry[2], entry[1], entry[0]};
      } else {
        expected = ui::Rgb{row[3 * col + 2], row[3 * col + 1], row[3 * col]};
      }
      if (surface.GetPixel(x + col, y + line) != expected) {
        return ::testing::AssertionFailure()
               << path << ": picture pixel (" << col << ", " << line << ") differs";
      }
    }
  }
  return ::testing::AssertionSuccess();
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace quillon::testing
