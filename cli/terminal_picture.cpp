#include "cli/terminal_picture.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace quillon::cli {
namespace {

constexpr int kShades = 5;
constexpr const char* kUnicodeShades[kShades] = {" ", "\u2591", "\u2592", "\u2593", "\u2588"};
constexpr const char* kAsciiShades[kShades] = {" ", ".", ":", "+", "#"};

bool NamesUtf8(std::string_view locale) {
  std::string lower(locale);
  for (char& c : lower)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower.find("utf-8") != std::string::npos || lower.find("utf8") != std::string::npos;
}

}  // namespace

Glyphs TerminalGlyphs() {
  for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0')
      return NamesUtf8(value) ? Glyphs::Unicode : Glyphs::Ascii;
  }
  return Glyphs::Ascii;
}

std::string RenderPicture(const BmpImage& image, int maxColumns, Glyphs glyphs, bool stretch) {
  const int64_t width = image.Width();
  const int64_t height = image.Height();
  if (!image.HasPixels() || width <= 0 || height <= 0 || maxColumns <= 0)
    return "";
  const int64_t columns = std::min<int64_t>(maxColumns, width);
  const double cellHeight = 2.0 * static_cast<double>(width) / static_cast<double>(columns);
  const int64_t lines =
      std::max<int64_t>(1, std::llround(static_cast<double>(height) / cellHeight));

  std::vector<double> darkness(static_cast<size_t>(lines * columns));
  for (int64_t line = 0; line < lines; ++line) {
    // Line 0 is the picture's top, the last row stored in the file.
    const int64_t top = line * height / lines;
    const int64_t bottom = std::max(top + 1, (line + 1) * height / lines);
    for (int64_t column = 0; column < columns; ++column) {
      const int64_t left = column * width / columns;
      const int64_t right = std::max(left + 1, (column + 1) * width / columns);
      int64_t black = 0;
      for (int64_t y = top; y < bottom; ++y) {
        const auto row = static_cast<int32_t>(height - 1 - y);
        for (int64_t x = left; x < right; ++x) {
          black += image.GetPixel(row, static_cast<int32_t>(x)) == 'b';
        }
      }
      darkness[line * columns + column] =
          static_cast<double>(black) / static_cast<double>((bottom - top) * (right - left));
    }
  }

  double low = 0.0;
  double high = 1.0;
  if (stretch) {
    // The 5th and 95th percentiles, so that a few noisy cells do not flatten the rest.
    std::vector<double> sorted = darkness;
    std::sort(sorted.begin(), sorted.end());
    const double lowest = sorted[sorted.size() * 5 / 100];
    const double highest = sorted[sorted.size() * 95 / 100];
    if (highest > lowest) {
      low = lowest;
      high = highest;
    }
  }
  const char* const* shades = glyphs == Glyphs::Unicode ? kUnicodeShades : kAsciiShades;
  std::string text;
  for (int64_t line = 0; line < lines; ++line) {
    for (int64_t column = 0; column < columns; ++column) {
      const double level = (darkness[line * columns + column] - low) / (high - low);
      text += shades[std::clamp<int>(static_cast<int>(std::lround(level * (kShades - 1))), 0,
                                     kShades - 1)];
    }
    text += '\n';
  }
  return text;
}

}  // namespace quillon::cli
