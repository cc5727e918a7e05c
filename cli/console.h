// Where quillon-cli writes: its normal output and its one-line error messages. Commands take
// the streams as arguments, so that tests can run them in-process and read what they wrote.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace quillon::cli {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

constexpr const char* kProgramName = "quillon-cli";

struct Console {
  std::FILE* out = stdout;
  std::FILE* err = stderr;
};

// The messages of the computing code use Windows-1252 (the desktop program's texts); text that
// is not valid UTF-8 is read as Windows-1252 and converted, valid UTF-8 is left alone.
std::string ToUtf8(std::string_view text);

// One line: line feeds inside the text become spaces, the encoding becomes UTF-8.
std::string OneLine(std::string_view text);

// A message of the computing code as one line on err: "caption: text", or the text alone.
void PrintMessage(const Console& console, std::string_view caption, std::string_view text);

// "quillon-cli COMMAND: text (see 'quillon-cli COMMAND --help')"; returns kExitUsage.
// An empty command stands for the program as a whole.
int UsageError(const Console& console, std::string_view command, std::string_view text);

// "quillon-cli COMMAND: text"; returns kExitFailure.
int Failure(const Console& console, std::string_view command, std::string_view text);

}  // namespace quillon::cli
