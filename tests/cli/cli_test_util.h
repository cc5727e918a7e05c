// Running quillon-cli in tests: in-process through RunCli, or as the built program; and the
// whole state of a folder, to show that a failed command left it as it was.
#pragma once

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "core/bmp_image.h"
#include "core/env.h"
#include "core/random.h"

namespace quillon::cli::testing {

struct CliRun {
  int status = -1;
  std::string out;
  std::string err;
};

// RunCli with out and err captured, on env (null: the real file system) and, when given,
// the system generator keyed from entropy.
CliRun RunInProcess(const std::vector<std::string>& args, Env* env = nullptr,
                    EntropyFn entropy = {});

// The built quillon-cli with the given arguments, started in the folder dir.
CliRun RunBinary(const std::string& dir, const std::vector<std::string>& args);

// A 1-bit image of the given size whose pixel (row, col) is black when black(row, col).
template <typename Black>
BmpImage MakeImage(const std::string& name, int32_t height, int32_t width, Black black) {
  BmpImage image(name, height, width);
  for (int32_t row = 0; row < height; ++row) {
    for (int32_t col = 0; col < width; ++col)
      image.SetPixel(row, col, black(row, col) ? 1 : 0);
  }
  return image;
}

// The lines of text, without their line feeds.
std::vector<std::string> Lines(const std::string& text);

// Every entry under dir, hidden ones too, by path relative to dir: a file's bytes, "<folder>"
// for a folder and "<other>" for anything else.
std::map<std::string, std::string> FolderState(const std::filesystem::path& dir);

}  // namespace quillon::cli::testing
