// Where quillon-cli writes: its normal output and its one-line error messages. Commands take
// the streams as arguments, so that tests can run them in-process and read what they wrote.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "core/report.h"

namespace quillon::cli {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

constexpr const char* kProgramName = "quillon-cli";

struct Console {
  std::FILE* out = stdout;
  std::FILE* err = stderr;
};

// The messages of the computing code use Windows-1252 (the desktop program's texts); UTF-8
// sequences in them (file names) stay as they are, every other byte is read as Windows-1252.
std::string ToUtf8(std::string_view text);

// One line: line feeds inside the text become spaces, the encoding becomes UTF-8.
std::string OneLine(std::string_view text);

// A message of the computing code as one line on err: "caption: text", or the text alone.
// A refused bitmap file is followed by one hint line (UnsupportedFileHint).
void PrintMessage(const Console& console, std::string_view caption, std::string_view text);

// What the reader takes and how to convert a picture to it: the line that follows a refusal.
std::string UnsupportedFileHint();

// How the user started this program (argv[0]), so that a hint can name a command that works
// from where the user stands; "quillon-cli" until main sets it.
void SetProgramPath(std::string path);
const std::string& ProgramPath();

// Holds the computing code's messages while it lives instead of printing them, so that a
// failure says them on its own one line. What is still held at the end is printed, one line
// each with the command's prefix.
class HeldMessages {
 public:
  HeldMessages(const Console& console, std::string_view command);
  ~HeldMessages();
  HeldMessages(const HeldMessages&) = delete;
  HeldMessages& operator=(const HeldMessages&) = delete;

  // The held messages as one text ("caption: text" each, joined by "; "), then forgotten.
  // With a context the text ends in " (context)"; with none held it is the context alone.
  std::string Take(std::string_view context = "");

 private:
  Console m_console;
  std::string m_command;
  std::vector<std::string> m_texts;
  ScopedReporter m_reporter;
};

// "quillon-cli COMMAND: text (see 'quillon-cli COMMAND --help')"; returns kExitUsage.
// An empty command stands for the program as a whole.
int UsageError(const Console& console, std::string_view command, std::string_view text);

// "quillon-cli COMMAND: text"; returns kExitFailure.
int Failure(const Console& console, std::string_view command, std::string_view text);

}  // namespace quillon::cli
