// Pixel surfaces: the off-screen canvas a program draws on and the client areas of windows.
// A surface is a plain RGB buffer, top line first; a backend only presents it. Drawing is
// clipped: whatever falls outside the surface is dropped without notice. Not thread-safe.
#pragma once

#include <cstdint>
#include <vector>

namespace quillon::ui {

struct Rgb {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  bool operator==(const Rgb&) const = default;
};

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};

class Surface {
 public:
  // A fresh surface is black, like a newly made screen-compatible bitmap.
  Surface(int width, int height, Rgb fill = kBlack);

  int Width() const { return m_width; }
  int Height() const { return m_height; }

  // Callers keep 0 <= x < Width() and 0 <= y < Height().
  Rgb GetPixel(int x, int y) const;
  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < m_width && y < m_height; }
  // Dropped outside the surface.
  void SetPixel(int x, int y, Rgb colour);
  // Fills left <= x < right, top <= y < bottom, clipped.
  void FillRect(int left, int top, int right, int bottom, Rgb colour);
  // Copies the width x height block at (srcX, srcY) of source to (dstX, dstY), clipped to
  // both surfaces (a block copy).
  void CopyFrom(const Surface& source, int srcX, int srcY, int width, int height, int dstX,
                int dstY);

  // Three bytes per pixel (red, green, blue), rows top first, no padding.
  const std::vector<uint8_t>& Data() const { return m_data; }

 private:
  int m_width;
  int m_height;
  std::vector<uint8_t> m_data;
};

// The program's off-screen canvas has a fixed size, whatever the screen's.
constexpr int kCanvasWidth = 1024;
constexpr int kCanvasHeight = 768;

class Canvas : public Surface {
 public:
  Canvas() : Surface(kCanvasWidth, kCanvasHeight) {}
};

}  // namespace quillon::ui
