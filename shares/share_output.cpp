#include "shares/share_output.h"

namespace quillon {

std::string ShareName(int r) {
  return std::string("capa") + static_cast<char>('1' + r) + ".bmp";
}

void ShareTable::CreateShareImages(int m, int32_t width, int32_t height) {
  m_images.clear();
  m_images.reserve(m);
  for (int r = 0; r < m; ++r)
    m_images.emplace_back(ShareName(r), height, width);
}

}  // namespace quillon
