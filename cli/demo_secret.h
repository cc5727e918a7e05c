// The demo's secret, drawn in code so that the demo needs no input file: a word in a small
// built-in 5 x 7 font, black on white, in a 1-bit image.
#pragma once

#include <string>
#include <string_view>

#include "core/bmp_image.h"

namespace quillon::cli {

constexpr const char* kDemoWord = "QUILLON";

// text in capitals of the built-in font (letters it lacks are left blank), each font dot
// dotWidth x dotHeight pixels, one dot between letters and margin dots around the word.
BmpImage DrawWord(const std::string& fileName, std::string_view text, int dotWidth, int dotHeight,
                  int margin);

// Font dots of the demo secret; a dot twice as high as wide fills one terminal cell.
constexpr int kDemoDotWidth = 8;
constexpr int kDemoDotHeight = 16;

// kDemoWord, a few hundred pixels wide.
BmpImage MakeDemoSecret(const std::string& fileName);

}  // namespace quillon::cli
