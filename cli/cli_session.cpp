#include "cli/cli_session.h"

#include <algorithm>
#include <filesystem>
#include <utility>

#include "core/bmp_image.h"
#include "core/report.h"

namespace quillon::cli {
namespace {

// The desktop program's message when an innocent image is missing or unusable.
constexpr const char* kNoInnocentImage = "Cannot Encrypt without valid innocent image source file.";

}  // namespace

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

}  // namespace quillon::cli
