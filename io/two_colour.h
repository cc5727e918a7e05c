// Two-colour pictures from any picture: a luminance threshold or Floyd-Steinberg error
// diffusion turns grey or colour pixels into a 1-bit BmpImage, and a BMP's own two-colour
// reading ('b' where all of a pixel's bits are zero) is inspected for the cases where it
// would not show what the picture shows. Functions are thread-safe.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "core/bmp_image.h"
#include "io/picture.h"

namespace quillon {

struct TwoColourRule {
  enum class Mode { Threshold, Dither };
  Mode mode = Mode::Threshold;
  int threshold = 128;  // Threshold: a pixel is black when its luminance is below this
  bool invert = false;  // swap black and white after the rule
};

// Writes the luminance of picture row y (0 is the top row) into out[0 .. width).
using LumaRowFn = std::function<void(int32_t y, uint8_t* out)>;

// A new 1-bit image named name, of width x height pixels (a size the caller has checked),
// black where the rule says so. Bottom row first, as BMP stores it. Error diffusion runs
// left to right and top to bottom with weights 7/16, 3/16, 5/16, 1/16 around 128.
BmpImage MakeTwoColour(const std::string& name, int32_t width, int32_t height,
                       const LumaRowFn& lumaRow, const TwoColourRule& rule);

BmpImage MakeTwoColour(const std::string& name, const GreyPicture& picture,
                       const TwoColourRule& rule);

// Whether the luminance of a BMP's pixels can be read: depths 1, 2, 4 and 8 through the
// colour table, and 24.
bool BmpHasReadableColours(const BmpImage& image);
// The luminance of row y of a loaded BMP counted from the top, by colour. Callers keep
// BmpHasReadableColours(image) and 0 <= y < image.Height().
void BmpLumaRow(const BmpImage& image, int32_t y, uint8_t* out);

// image read by colour (BmpHasReadableColours must hold).
BmpImage MakeTwoColour(const std::string& name, const BmpImage& image, const TwoColourRule& rule);

// The image's own two-colour reading as a new 1-bit image, swapped when invert is set.
BmpImage TwoColourView(const std::string& name, const BmpImage& image, bool invert);

// What the two-colour reading of a loaded image shows.
struct TwoColourFindings {
  bool hasBlack = false;
  bool hasWhite = false;
  // Palette entry 0 (read as black) is lighter than every other entry that pixels use, so
  // the reading is the picture's negative.
  bool negativePalette = false;
};
TwoColourFindings InspectTwoColour(const BmpImage& image);

}  // namespace quillon
