#include "studio/recent_files.h"

#include <algorithm>

namespace quillon::studio {

void RecentFiles::Add(const std::string& path) {
  if (path.empty())
    return;
  Remove(path);
  m_paths.insert(m_paths.begin(), path);
  if (m_paths.size() > kMaxRecentFiles)
    m_paths.resize(kMaxRecentFiles);
}

void RecentFiles::Remove(const std::string& path) {
  m_paths.erase(std::remove(m_paths.begin(), m_paths.end(), path), m_paths.end());
}

void RecentFiles::Load(const std::vector<std::string>& stored) {
  m_paths.clear();
  for (const std::string& path : stored) {
    if (m_paths.size() == kMaxRecentFiles)
      break;
    if (!path.empty() && std::find(m_paths.begin(), m_paths.end(), path) == m_paths.end())
      m_paths.push_back(path);
  }
}

}  // namespace quillon::studio
