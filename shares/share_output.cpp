#include "shares/share_output.h"

namespace quillon {

std::string ShareName(int r) {
  return std::string("capa") + static_cast<char>('1' + r) + ".bmp";
}

void ShareTable::CreateShareImages(int m, int32_t width, int32_t height) {
  m_images.clear();
  m_images.reserve(m);
  m_allSaved = true;
  // Every share is allocated before any is registered: running out of memory on the last
  // one leaves the session as it was.
  for (int r = 0; r < m; ++r)
    m_images.emplace_back(m_session.OutputPath(ShareName(r)), height, width);
  for (int r = 0; r < m; ++r)
    m_session.RegisterImage(ShareName(r), ShareName(r));
}

bool ShareTable::SaveShareImages(int m) {
  for (int r = 0; r < m && r < static_cast<int>(m_images.size()); ++r) {
    if (!m_images[r].Save(SessionReporter(m_session)))
      m_allSaved = false;
  }
  m_session.SelectFirstNewShare(m);
  return m_allSaved;
}

}  // namespace quillon
