// Running quillon-cli in tests: in-process through RunCli, or as the built program.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "core/bmp_image.h"

namespace quillon::cli::testing {

struct CliRun {
  int status = -1;
  std::string out;
  std::string err;
};

// RunCli with out and err captured.
CliRun RunInProcess(const std::vector<std::string>& args);

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

}  // namespace quillon::cli::testing
