#include "cli/console.h"

#include "core/display_text.h"

namespace quillon::cli {

std::string ToUtf8(std::string_view text) {
  return DisplayText(text);
}

std::string OneLine(std::string_view text) {
  std::string line = ToUtf8(text);
  for (char& c : line) {
    if (c == '\n' || c == '\r')
      c = ' ';
  }
  return line;
}

void PrintMessage(const Console& console, std::string_view caption, std::string_view text) {
  std::string line = caption.empty() ? OneLine(text) : OneLine(caption) + ": " + OneLine(text);
  std::fprintf(console.err, "%s\n", line.c_str());
  std::fflush(console.err);
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
  std::fflush(console.err);
  return kExitFailure;
}

}  // namespace quillon::cli
