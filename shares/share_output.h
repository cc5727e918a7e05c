// What every expansion method shares: the share names and the table of share images that is
// created, registered and saved through the session. The share sizes and block sides are the
// methods' block geometry (schemes/block_geometry.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/bmp_image.h"
#include "schemes/block_geometry.h"
#include "shares/share_session.h"

namespace quillon {

// The share table has one slot per participant; share names carry a single digit.
constexpr int kShareSlots = 9;

// "capa1.bmp" for r = 0 up to "capa9.bmp" for r = 8.
std::string ShareName(int r);

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
