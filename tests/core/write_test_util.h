// What the writing tests compare: a folder's entries before and after a write.
#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <string>

#include "tests/test_util.h"

namespace quillon::testing {

// Every entry under folder by relative path: a regular file's bytes and mode, a link's
// target, or the kind of anything else.
inline std::map<std::string, std::string> Snapshot(const std::filesystem::path& folder) {
  namespace fs = std::filesystem;
  std::map<std::string, std::string> entries;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    const std::string name = fs::relative(entry.path(), folder).string();
    struct stat info;
    lstat(entry.path().c_str(), &info);
    if (S_ISLNK(info.st_mode)) {
      entries[name] = "link to " + fs::read_symlink(entry.path()).string();
    } else if (S_ISREG(info.st_mode)) {
      const std::vector<uint8_t> bytes = ReadFileBytes(entry.path().string());
      entries[name] =
          std::to_string(info.st_mode & 0777) + ":" + std::string(bytes.begin(), bytes.end());
    } else {
      entries[name] = S_ISDIR(info.st_mode) ? "folder" : "other";
    }
  }
  return entries;
}

// The staged files left under folder.
inline int StagedCount(const std::filesystem::path& folder) {
  int count = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
    count += entry.path().filename().string().find(".quillon-") != std::string::npos;
  return count;
}

inline uint32_t ModeOf(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

}  // namespace quillon::testing
