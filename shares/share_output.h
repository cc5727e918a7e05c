// What every expansion method shares: the share names, the share sizes and block sides, and
// the table of share images that is created, registered and saved through the session.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/bmp_image.h"
#include "core/kinds.h"
#include "shares/share_session.h"

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

// The share images of one encryption. Shares are created and registered all at once before
// any pixel is computed, and written only by SaveShareImages.
class ShareTable {
 public:
  explicit ShareTable(ShareSession& session) : m_session(session) {}

  // Creates m blank 1-bit shares (m <= kShareSlots) written to session.OutputPath(name),
  // then registers each under its plain name, in share order. Throws std::bad_alloc when
  // the shares do not fit in memory; nothing is registered then.
  void CreateShareImages(int m, int32_t width, int32_t height);

  // Saves shares 0..m-1 in order (a failed save does not stop the others), then selects the
  // first new share. Returns whether every share was written.
  bool SaveShareImages(int m);

  ShareSession& Session() { return m_session; }
  std::vector<BmpImage>& Images() { return m_images; }
  const std::vector<BmpImage>& Images() const { return m_images; }
  bool AllSaved() const { return m_allSaved; }

 private:
  ShareSession& m_session;
  std::vector<BmpImage> m_images;
  bool m_allSaved = true;
};

}  // namespace quillon
