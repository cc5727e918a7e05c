#include "ui/surface.h"

#include <algorithm>
#include <cstring>

namespace quillon::ui {

Surface::Surface(int width, int height, Rgb fill)
    : m_width(std::max(width, 0)), m_height(std::max(height, 0)) {
  m_data.resize(static_cast<size_t>(m_width) * m_height * 3);
  FillRect(0, 0, m_width, m_height, fill);
}

Rgb Surface::GetPixel(int x, int y) const {
  const size_t at = (static_cast<size_t>(y) * m_width + x) * 3;
  return Rgb{m_data[at], m_data[at + 1], m_data[at + 2]};
}

void Surface::SetPixel(int x, int y, Rgb colour) {
  if (!Contains(x, y))
    return;
  const size_t at = (static_cast<size_t>(y) * m_width + x) * 3;
  m_data[at] = colour.red;
  m_data[at + 1] = colour.green;
  m_data[at + 2] = colour.blue;
}

void Surface::FillRect(int left, int top, int right, int bottom, Rgb colour) {
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, m_width);
  bottom = std::min(bottom, m_height);
  for (int y = top; y < bottom; ++y) {
    uint8_t* p = &m_data[(static_cast<size_t>(y) * m_width + left) * 3];
    for (int x = left; x < right; ++x, p += 3) {
      p[0] = colour.red;
      p[1] = colour.green;
      p[2] = colour.blue;
    }
  }
}

void Surface::CopyFrom(const Surface& source, int srcX, int srcY, int width, int height, int dstX,
                       int dstY) {
  // Clip the block against the source, then against this surface, moving both origins.
  auto clip = [](int& src, int& dst, int& length, int srcLimit, int dstLimit) {
    const int shift = std::max({0, -src, -dst});
    src += shift;
    dst += shift;
    length -= shift;
    length = std::min({length, srcLimit - src, dstLimit - dst});
  };
  clip(srcX, dstX, width, source.m_width, m_width);
  clip(srcY, dstY, height, source.m_height, m_height);
  if (width <= 0 || height <= 0)
    return;
  for (int row = 0; row < height; ++row) {
    const uint8_t* from =
        &source.m_data[(static_cast<size_t>(srcY + row) * source.m_width + srcX) * 3];
    uint8_t* to = &m_data[(static_cast<size_t>(dstY + row) * m_width + dstX) * 3];
    std::memmove(to, from, static_cast<size_t>(width) * 3);
  }
}

}  // namespace quillon::ui
