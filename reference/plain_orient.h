// The EXIF orientations applied pixel by pixel, straight from their definitions (where the
// stored first row and first column go): what io/picture.h's OrientPicture, which walks in
// tiles, is checked against. For tests and benchmarks only.
#pragma once

#include "io/picture.h"

namespace quillon::reference {

inline GreyPicture PlainOrient(const GreyPicture& stored, int orientation) {
  const int32_t w = stored.width, h = stored.height;
  const bool swapped = orientation >= 5 && orientation <= 8;
  GreyPicture shown;
  shown.width = swapped ? h : w;
  shown.height = swapped ? w : h;
  for (int32_t y = 0; y < shown.height; ++y) {
    for (int32_t x = 0; x < shown.width; ++x) {
      int32_t sx = x, sy = y;
      switch (orientation) {
        case 2:  // first column on the right
          sx = w - 1 - x;
          break;
        case 3:  // first row at the bottom, first column on the right
          sx = w - 1 - x, sy = h - 1 - y;
          break;
        case 4:  // first row at the bottom
          sy = h - 1 - y;
          break;
        case 5:  // first row on the left, first column at the top
          sx = y, sy = x;
          break;
        case 6:  // first row on the right, first column at the top
          sx = y, sy = h - 1 - x;
          break;
        case 7:  // first row on the right, first column at the bottom
          sx = w - 1 - y, sy = h - 1 - x;
          break;
        case 8:  // first row on the left, first column at the bottom
          sx = w - 1 - y, sy = x;
          break;
      }
      shown.luma.push_back(stored.At(sx, sy));
    }
  }
  return shown;
}

}  // namespace quillon::reference
