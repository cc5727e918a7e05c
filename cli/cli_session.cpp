#include "cli/cli_session.h"

#include <filesystem>
#include <utility>

namespace quillon::cli {

CliShareSession::CliShareSession(Console console, std::string outDir,
                                 std::vector<std::string> innocentImages)
    : m_console(console),
      m_outDir(std::move(outDir)),
      m_innocentImages(std::move(innocentImages)) {}

void CliShareSession::RegisterImage(const std::string& path, const std::string& label) {
  // A bare share name lies in the output folder; anything else is a path already.
  bool bareName = !label.empty() && !std::filesystem::path(label).has_parent_path();
  m_shareFiles.push_back(bareName ? OutputPath(label) : path);
}

void CliShareSession::ShowMessage(const std::string& caption, const std::string& text) {
  m_held.emplace_back(caption, text);
}

void CliShareSession::PrintHeldMessages() {
  for (const auto& [caption, text] : m_held)
    PrintMessage(m_console, caption, text);
  m_held.clear();
}

std::optional<std::string> CliShareSession::ChooseInnocentImage(const std::string&) {
  if (m_nextInnocent < m_innocentImages.size())
    return m_innocentImages[m_nextInnocent++];
  m_ranOut = true;
  return std::nullopt;
}

std::string CliShareSession::OutputPath(const std::string& name) {
  if (m_outDir.empty())
    return name;
  return (std::filesystem::path(m_outDir) / name).string();
}

}  // namespace quillon::cli
