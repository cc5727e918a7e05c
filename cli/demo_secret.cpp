#include "cli/demo_secret.h"

namespace quillon::cli {
namespace {

constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;

struct Glyph {
  char letter;
  const char* rows[kGlyphHeight];  // top row first, '#' for a dot
};

// Only the letters the demo needs.
constexpr Glyph kFont[] = {
    {'I', {".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
    {'N', {"#...#", "#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#"}},
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'Q', {".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"}},
    {'U', {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
};

const Glyph* FindGlyph(char letter) {
  for (const Glyph& glyph : kFont) {
    if (glyph.letter == letter)
      return &glyph;
  }
  return nullptr;
}

}  // namespace

BmpImage DrawWord(const std::string& fileName, std::string_view text, int dotWidth, int dotHeight,
                  int margin) {
  const int letters = static_cast<int>(text.size());
  const int dotsAcross = letters * (kGlyphWidth + 1) - (letters > 0 ? 1 : 0) + 2 * margin;
  const int dotsDown = kGlyphHeight + 2 * margin;
  BmpImage image(fileName, dotsDown * dotHeight, dotsAcross * dotWidth);
  const int32_t height = image.Height();
  for (int32_t row = 0; row < height; ++row) {
    for (int32_t col = 0; col < image.Width(); ++col)
      image.SetPixel(row, col, 0);
  }
  for (int i = 0; i < letters; ++i) {
    const Glyph* glyph = FindGlyph(text[i]);
    if (glyph == nullptr)
      continue;
    for (int gy = 0; gy < kGlyphHeight; ++gy) {
      for (int gx = 0; gx < kGlyphWidth; ++gx) {
        if (glyph->rows[gy][gx] != '#')
          continue;
        const int dotX = margin + i * (kGlyphWidth + 1) + gx;
        const int dotY = margin + gy;  // from the top
        for (int y = 0; y < dotHeight; ++y) {
          // Stored row 0 is the picture's bottom line.
          const int32_t row = height - 1 - (dotY * dotHeight + y);
          for (int x = 0; x < dotWidth; ++x)
            image.SetPixel(row, dotX * dotWidth + x, 1);
        }
      }
    }
  }
  return image;
}

BmpImage MakeDemoSecret(const std::string& fileName) {
  return DrawWord(fileName, kDemoWord, kDemoDotWidth, kDemoDotHeight, 1);
}

}  // namespace quillon::cli
