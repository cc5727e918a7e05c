#include "cli/console.h"

#include "core/windows1252.h"

namespace quillon::cli {
namespace {

std::string& ProgramPathSlot() {
  static std::string path = kProgramName;
  return path;
}

std::string Prefix(std::string_view command) {
  std::string prefix = kProgramName;
  if (!command.empty()) {
    prefix += ' ';
    prefix += command;
  }
  return prefix;
}

}  // namespace

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

int UsageError(const Console& console, std::string_view command, std::string_view text) {
  std::string prefix = Prefix(command);
  std::fprintf(console.err, "%s: %s (see '%s --help')\n", prefix.c_str(), OneLine(text).c_str(),
               prefix.c_str());
  std::fflush(console.err);
  return kExitUsage;
}

int Failure(const Console& console, std::string_view command, std::string_view text,
            bool bitmapHint) {
  std::fprintf(console.err, "%s: %s\n", Prefix(command).c_str(), OneLine(text).c_str());
  if (bitmapHint)
    std::fprintf(console.err, "%s\n", UnsupportedFileHint().c_str());
  std::fflush(console.err);
  return kExitFailure;
}

void Warning(const Console& console, std::string_view command, std::string_view text) {
  std::fprintf(console.err, "%s: warning: %s\n", Prefix(command).c_str(), OneLine(text).c_str());
  std::fflush(console.err);
}

}  // namespace quillon::cli
