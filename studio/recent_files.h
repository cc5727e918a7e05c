// The recent-files list of the File menu: most recent first, no file twice, at most
// kMaxRecentFiles. The model keeps the list; the view stores it (wxConfig) as plain strings
// through Save and Load. A plain value used on the owner thread.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace quillon::studio {

constexpr size_t kMaxRecentFiles = 8;

class RecentFiles {
 public:
  // Puts path first, removing it from further down; the oldest falls off a full list. An
  // empty path is ignored.
  void Add(const std::string& path);
  // Takes path off the list (a file that no longer opens); absent paths are ignored.
  void Remove(const std::string& path);
  void Clear() { m_paths.clear(); }

  const std::vector<std::string>& Paths() const { return m_paths; }

  // The list as stored: most recent first.
  std::vector<std::string> Save() const { return m_paths; }
  // Replaces the list with stored paths, most recent first: empty entries and repeats are
  // dropped and the list is cut at kMaxRecentFiles.
  void Load(const std::vector<std::string>& stored);

 private:
  std::vector<std::string> m_paths;
};

}  // namespace quillon::studio
