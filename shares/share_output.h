// What every expansion method shares: the share names, the share sizes and block sides, and
// the table of share images that a method fills.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/bmp_image.h"
#include "core/kinds.h"

namespace quillon {

// The share table has one slot per participant; share names carry a single digit.
constexpr int kShareSlots = 9;

// "capa1.bmp" for r = 0 up to "capa9.bmp" for r = 8.
std::string ShareName(int r);

// The smallest f >= 1 for which f * c is a perfect square, found by testing the square root
// of i * c in double precision for i = 1, 2, ...; c for c <= 1 or when no i below c passes.
int64_t SmallestSquareFactor(int64_t c);

// sqrt(f * c) with f = SmallestSquareFactor(c): the block side of pixel sampling, the
// smallest square without filler and the extended preserve-detail method (there of c + m).
int64_t SquareBlockSide(int64_t c);

// ceil(sqrt(c)): the block side of the smallest square with filler.
int64_t FillerBlockSide(int64_t c);

struct ShareSize {
  int64_t width = 0;
  int64_t height = 0;
};

// The size of every share that the method makes from a width x height secret and a pair of
// m x c basis matrices. Computed in 64 bits, so that oversized shares can be refused.
ShareSize MethodShareSize(ExpansionMethod method, int64_t width, int64_t height, int64_t m,
                          int64_t c);

// Whether a 1-bit BMP of that size can be held and written: both sides within int32, and
// pixel data plus the 62 bytes of headers and colour table within 2^31 - 1 bytes.
bool ShareSizeFits(const ShareSize& size);

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
