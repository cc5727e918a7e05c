// What every expansion method shares: the share names and the table of share images that a
// method fills. The share sizes and block sides are the methods' block geometry
// (schemes/block_geometry.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/bmp_image.h"
#include "schemes/block_geometry.h"

namespace quillon {

// The share table has one slot per participant; share names carry a single digit.
constexpr int kShareSlots = 9;

// "capa1.bmp" for r = 0 up to "capa9.bmp" for r = 8.
std::string ShareName(int r);

// The share images of one encryption, held in memory until the driver writes them as one set.
class ShareTable {
 public:
  // Creates m blank 1-bit shares named ShareName(0 .. m) (m <= kShareSlots). Throws
  // std::bad_alloc when they do not fit in memory.
  void CreateShareImages(int m, int32_t width, int32_t height);

  std::vector<BmpImage>& Images() { return m_images; }
  const std::vector<BmpImage>& Images() const { return m_images; }

 private:
  std::vector<BmpImage> m_images;
};

}  // namespace quillon
