// Where quillon-cli writes and what it works on: its normal output, its one-line messages, the
// file layer and the system generator's entropy. Commands take a Console as an argument, so
// that tests can run them in-process, read what they wrote and fail chosen file calls.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "core/env.h"
#include "core/random.h"

namespace quillon::cli {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

constexpr const char* kProgramName = "quillon-cli";

struct Console {
  std::FILE* out = stdout;
  std::FILE* err = stderr;
  // The file layer; null stands for Env::Default().
  Env* env = nullptr;
  // What the system generator is keyed from; empty for the operating system's generator.
  EntropyFn entropy;

  Env& Files() const { return env != nullptr ? *env : Env::Default(); }
};

// File names need not be UTF-8: each byte sequence is judged on its own, a UTF-8 sequence stays
// as it is and every other byte is read as Windows-1252.
std::string ToUtf8(std::string_view text);

// One line: line feeds inside the text (a file name may hold them) become spaces, the
// encoding becomes UTF-8.
std::string OneLine(std::string_view text);

// What the reader takes and how to convert a picture to it: the line that follows the refusal
// of a bitmap file.
std::string UnsupportedFileHint();

// How the user started this program (argv[0]), so that a hint can name a command that works
// from where the user stands; "quillon-cli" until main sets it.
void SetProgramPath(std::string path);
const std::string& ProgramPath();

// "quillon-cli COMMAND: text (see 'quillon-cli COMMAND --help')"; returns kExitUsage.
// An empty command stands for the program as a whole.
int UsageError(const Console& console, std::string_view command, std::string_view text);

// "quillon-cli COMMAND: text", then the hint line when bitmapHint; returns kExitFailure.
int Failure(const Console& console, std::string_view command, std::string_view text,
            bool bitmapHint = false);

// "quillon-cli COMMAND: warning: text".
void Warning(const Console& console, std::string_view command, std::string_view text);

}  // namespace quillon::cli
