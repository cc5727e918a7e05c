#include "cli/console.h"

#include <cstdint>

namespace quillon::cli {
namespace {

bool IsValidUtf8(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    auto c = static_cast<uint8_t>(text[i]);
    size_t more;
    if (c < 0x80) {
      more = 0;
    } else if ((c & 0xE0) == 0xC0 && c >= 0xC2) {
      more = 1;
    } else if ((c & 0xF0) == 0xE0) {
      more = 2;
    } else if ((c & 0xF8) == 0xF0 && c <= 0xF4) {
      more = 3;
    } else {
      return false;
    }
    if (more > text.size() - i - 1)
      return false;
    for (size_t j = 1; j <= more; ++j) {
      if ((static_cast<uint8_t>(text[i + j]) & 0xC0) != 0x80)
        return false;
    }
    i += 1 + more;
  }
  return true;
}

// The code points of Windows-1252's bytes 0x80 to 0x9F; the other bytes are Latin-1.
constexpr uint16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

}  // namespace

std::string ToUtf8(std::string_view text) {
  if (IsValidUtf8(text))
    return std::string(text);
  std::string out;
  out.reserve(text.size() + 8);
  for (char ch : text) {
    auto c = static_cast<uint8_t>(ch);
    AppendUtf8(out, c >= 0x80 && c < 0xA0 ? kCp1252High[c - 0x80] : c);
  }
  return out;
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
