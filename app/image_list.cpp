#include "app/image_list.h"

namespace quillon {

void ImageList::RegisterImage(const std::string& path, const std::string& label) {
  if (m_imageCount == kMaxImages) {
    m_imageCount = kMaxImages - 1;
    if (m_selection == m_imageCount)
      m_selection = kNoImage;
  }
  m_imageNames[m_imageCount] = path;
  m_labels[m_imageCount] = label;
  ++m_imageCount;
}

void ImageList::Select(int index) {
  m_selection = index >= 0 && index < m_imageCount ? index : kNoImage;
}

const std::string* ImageList::SelectedName() const {
  return m_selection == kNoImage ? nullptr : &m_imageNames[m_selection];
}

bool ImageList::CloseSelected() {
  if (m_selection == kNoImage)
    return false;
  for (int i = m_selection; i + 1 < m_imageCount; ++i) {
    m_imageNames[i] = m_imageNames[i + 1];
    m_labels[i] = m_labels[i + 1];
  }
  --m_imageCount;
  m_selection = m_imageCount > 0 ? 0 : kNoImage;
  return true;
}

void ImageList::CloseAll() {
  m_imageCount = 0;
  m_selection = kNoImage;
}

bool ImageList::RenameSelected(const std::string& path, const std::string& label) {
  if (m_selection == kNoImage)
    return false;
  m_imageNames[m_selection] = path;
  m_labels[m_selection] = label;
  return true;
}

}  // namespace quillon
