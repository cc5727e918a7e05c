// Pictures in a terminal: a BmpImage scaled down to fit a number of columns, each character
// cell showing the share of black pixels under it as one of five shades. A share then looks
// like an even grey noise, and stacked shares show the secret darker than its background.
#pragma once

#include <string>

#include "core/bmp_image.h"

namespace quillon::cli {

enum class Glyphs {
  Unicode,  // ' ' '░' '▒' '▓' '█'
  Ascii,    // ' ' '.' ':' '+' '#'
};

// Unicode when the locale (LC_ALL, LC_CTYPE or LANG, the first one set) names UTF-8.
Glyphs TerminalGlyphs();

// The picture as text lines, its top first, each ending in '\n'. A cell is twice as high as
// it is wide, like a terminal's character cells; at most maxColumns cells make a line, and
// never more than the image has pixels across. Empty for an image without pixels.
// With stretch, the lightest cells (5th percentile and below) are drawn blank and the darkest
// (95th and above) full, so that stacked shares, whose white is already grey, show their
// secret clearly.
std::string RenderPicture(const BmpImage& image, int maxColumns, Glyphs glyphs,
                          bool stretch = false);

}  // namespace quillon::cli
