#include "cli/cli_session.h"

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <utility>

namespace quillon::cli {
namespace {

// A line stays until the work has taken this long; short work shows nothing.
constexpr double kQuietSeconds = 1.0;

double SteadySeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace

ProgressLine::ProgressLine(std::FILE* err, std::string command)
    : ProgressLine(err, std::move(command), err != nullptr && isatty(fileno(err)) == 1,
                   SteadySeconds) {}

ProgressLine::ProgressLine(std::FILE* err, std::string command, bool terminal, Clock clock)
    : m_err(err),
      m_command(std::move(command)),
      m_terminal(terminal),
      m_clock(std::move(clock)),
      m_start(m_clock()) {}

ProgressLine::~ProgressLine() {
  Clear();
}

void ProgressLine::Update(double fraction) {
  if (!m_terminal)
    return;
  if (fraction >= 1.0) {
    Clear();
    return;
  }
  const int percent = static_cast<int>(fraction * 100.0);
  if (percent == m_shown || m_clock() - m_start < kQuietSeconds)
    return;
  std::fprintf(m_err, "\r%s %s: %3d%%", kProgramName, m_command.c_str(), percent);
  std::fflush(m_err);
  m_shown = percent;
}

void ProgressLine::Clear() {
  if (m_shown < 0)
    return;
  // Blanks the line and puts the cursor back, so the next message starts clean.
  const std::string blank(std::string(kProgramName).size() + m_command.size() + 7, ' ');
  std::fprintf(m_err, "\r%s\r", blank.c_str());
  std::fflush(m_err);
  m_shown = -1;
}

CliShareSession::CliShareSession(Console console, std::string outDir,
                                 std::vector<std::string> innocentImages)
    : m_console(console),
      m_outDir(std::move(outDir)),
      m_innocentImages(std::move(innocentImages)),
      m_progress(console.err, "split") {}

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

CliCombineSession::CliCombineSession(Console console, std::vector<std::string> layerFiles,
                                     std::string outPath)
    : m_layerFiles(std::move(layerFiles)),
      m_outPath(std::move(outPath)),
      m_progress(console.err, "stack") {}

std::optional<std::string> CliCombineSession::ChooseLayer(int layer, const std::string&) {
  if (layer < 0 || static_cast<size_t>(layer) >= m_layerFiles.size())
    return std::nullopt;
  return m_layerFiles[layer];
}

}  // namespace quillon::cli
