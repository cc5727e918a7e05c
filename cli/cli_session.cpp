#include "cli/cli_session.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <utility>

#include "cli/commands.h"
#include "cli/picture_input.h"
#include "core/bmp_image.h"
#include "core/report.h"

namespace quillon::cli {
namespace {

// The desktop program's message when an innocent image is missing or unusable.
constexpr const char* kNoInnocentImage = "Cannot Encrypt without valid innocent image source file.";

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
  if (caption.empty() && text == kNoInnocentImage) {
    // Say which image and why after the message, instead of what loading it said.
    std::string reason = InnocentReason();
    if (!m_ranOut && !m_lastInnocent.empty())
      m_held.resize(std::min(m_held.size(), m_heldBeforeInnocent));
    m_held.emplace_back(caption, text + " " + reason);
    return;
  }
  m_held.emplace_back(caption, text);
}

std::string CliShareSession::TakeHeldMessages() {
  std::string text;
  for (const auto& [caption, message] : m_held)
    text += (text.empty() ? "" : "; ") + (caption.empty() ? message : caption + ": " + message);
  m_held.clear();
  return text;
}

void CliShareSession::SetSecretSize(int32_t width, int32_t height) {
  m_secretWidth = width;
  m_secretHeight = height;
}

std::string CliShareSession::InnocentReason() const {
  if (m_ranOut) {
    return "Not enough innocent images: the extended methods need one per share "
           "(--innocent A.bmp,B.bmp,...).";
  }
  const std::string which =
      "Innocent image " + std::to_string(m_nextInnocent) + " '" + m_lastInnocent + "'";
  std::string loadMessage;
  BmpImage image(m_lastInnocent);
  {
    ScopedReporter quiet([&loadMessage](const std::string&, const std::string& text) {
      if (loadMessage.empty())
        loadMessage = text;
    });
    if (!image.Load())
      return which + " cannot be read: " + loadMessage;
  }
  const std::string secret =
      " than the secret (" + std::to_string(m_secretWidth) + "x" + std::to_string(m_secretHeight);
  if (image.Width() < m_secretWidth) {
    return which + " is narrower" + secret + ", the image " + std::to_string(image.Width()) + "x" +
           std::to_string(image.Height()) + ").";
  }
  if (image.Height() < m_secretHeight) {
    return which + " is lower" + secret + ", the image " + std::to_string(image.Width()) + "x" +
           std::to_string(image.Height()) + ").";
  }
  return which + " cannot be used.";
}

std::optional<std::string> CliShareSession::ChooseInnocentImage(const std::string&) {
  if (m_nextInnocent < m_innocentImages.size()) {
    m_heldBeforeInnocent = m_held.size();
    m_lastInnocent = m_innocentImages[m_nextInnocent++];
    return m_lastInnocent;
  }
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

bool CliCombineSession::LoadLayer(const std::string& path, BmpImage& layer) {
  std::string error;
  if (LoadTwoColourPicture(path, false, {}, layer, error))
    return true;
  if (!error.empty())
    m_error = CannotRead("layer", path, error) + "; nothing written";
  return false;
}

void CliCombineSession::ShowMessage(const std::string& caption, const std::string& text) {
  if (text != kCannotCombine)
    Report(caption, text);
}

bool CliCombineSession::ReadyToWrite() {
  m_error = MakeOutputDir(std::filesystem::path(m_outPath).parent_path().string());
  return m_error.empty();
}

std::optional<std::string> CliCombineSession::ChooseLayer(int layer, const std::string&) {
  if (layer < 0 || static_cast<size_t>(layer) >= m_layerFiles.size())
    return std::nullopt;
  return m_layerFiles[layer];
}

}  // namespace quillon::cli
