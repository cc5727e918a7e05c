#include "cli/console.h"

#include "core/windows1252.h"

namespace quillon::cli {

std::string ToUtf8(std::string_view text) {
  return Windows1252ToUtf8(text);
}

std::string OneLine(std::string_view text) {
  std::string line = ToUtf8(text);
  for (char& c : line) {
    if (c == '\n' || c == '\r')
      c = ' ';
  }
  return line;
}

namespace {

constexpr std::string_view kUnsupported = "ERROR: Unsupported bitmap file ";

// After a line that tells of a refused bitmap file, the hint says what would work.
void PrintHintAfter(const Console& console, std::string_view line) {
  if (line.find(kUnsupported) != std::string_view::npos)
    std::fprintf(console.err, "%s\n", UnsupportedFileHint().c_str());
}

std::string& ProgramPathSlot() {
  static std::string path = kProgramName;
  return path;
}

}  // namespace

void PrintMessage(const Console& console, std::string_view caption, std::string_view text) {
  std::string line = caption.empty() ? OneLine(text) : OneLine(caption) + ": " + OneLine(text);
  std::fprintf(console.err, "%s\n", line.c_str());
  PrintHintAfter(console, line);
  std::fflush(console.err);
}

std::string UnsupportedFileHint() {
  return std::string(kProgramName) +
         " reads PNG and JPEG pictures and BMP files (Windows or OS/2 headers; 1, 2, 4, 8, 16, "
         "24 or 32 bits per pixel; uncompressed, bit fields, RLE8 or RLE4); to convert a "
         "picture, for example with "
         "ImageMagick: convert picture.png -compress none BMP3:picture.bmp";
}

void SetProgramPath(std::string path) {
  if (!path.empty())
    ProgramPathSlot() = std::move(path);
}

const std::string& ProgramPath() {
  return ProgramPathSlot();
}

namespace {

std::string Prefix(std::string_view command) {
  std::string prefix = kProgramName;
  if (!command.empty()) {
    prefix += ' ';
    prefix += command;
  }
  return prefix;
}

}  // namespace

int UsageError(const Console& console, std::string_view command, std::string_view text) {
  std::string prefix = Prefix(command);
  std::fprintf(console.err, "%s: %s (see '%s --help')\n", prefix.c_str(), OneLine(text).c_str(),
               prefix.c_str());
  std::fflush(console.err);
  return kExitUsage;
}

int Failure(const Console& console, std::string_view command, std::string_view text) {
  std::fprintf(console.err, "%s: %s\n", Prefix(command).c_str(), OneLine(text).c_str());
  PrintHintAfter(console, text);
  std::fflush(console.err);
  return kExitFailure;
}

HeldMessages::HeldMessages(const Console& console, std::string_view command)
    : m_console(console),
      m_command(command),
      m_reporter([this](const std::string& caption, const std::string& text) {
        m_texts.push_back(caption.empty() ? text : caption + ": " + text);
      }) {}

HeldMessages::~HeldMessages() {
  for (const std::string& text : m_texts) {
    const std::string line = Prefix(m_command) + ": " + OneLine(text);
    std::fprintf(m_console.err, "%s\n", line.c_str());
    PrintHintAfter(m_console, line);
  }
  std::fflush(m_console.err);
}

std::string HeldMessages::Take(std::string_view context) {
  std::string text;
  for (const std::string& held : m_texts)
    text += (text.empty() ? "" : "; ") + held;
  m_texts.clear();
  if (context.empty())
    return text;
  return text.empty() ? std::string(context) : text + " (" + std::string(context) + ")";
}

}  // namespace quillon::cli
