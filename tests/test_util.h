// Helpers shared by the tests: a recording reporter and a scratch folder.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "core/report.h"

namespace quillon::testing {

// Records every reported message while it lives.
class MessageLog {
 public:
  MessageLog();
  ~MessageLog();
  const std::vector<std::pair<std::string, std::string>>& Messages() const { return m_messages; }
  std::vector<std::string> Texts() const;
  void Clear() { m_messages.clear(); }

 private:
  std::vector<std::pair<std::string, std::string>> m_messages;
  Reporter m_previous;
};

// A fresh folder under the system's temporary directory, removed at the end.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  const std::filesystem::path& Path() const { return m_path; }
  std::string File(const std::string& name) const { return (m_path / name).string(); }

 private:
  std::filesystem::path m_path;
};

std::vector<uint8_t> ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace quillon::testing
