// Exact decoding of stacked shares made by a block method. Every secret pixel (for pixel
// sampling, every block of secret pixels) became an s x s block in each share, and the
// stacked block of a qualified set holds a known number of black sub-pixels for a white and
// for a black secret pixel. Counting them tells the colour exactly where the eye sees grey.
// The functions only read their arguments: safe from any thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/bmp_image.h"
#include "core/kinds.h"

namespace quillon {

struct BlockLayout {
  int32_t side = 0;        // s: blocks are s x s pixels
  int32_t places = 0;      // places 0..places-1 of a block (row-major) hold sub-pixels; the
                           // rest is random filler and is not counted
  int64_t whiteBlack = 0;  // black places among them for a white secret pixel
  int64_t blackBlack = 0;  // the same for a black secret pixel
};

// The blocks of the method (its row in schemes/method_table.h) for a pair of m x c basis
// matrices whose stacked rows of the participants give l (S0) and h (S1) black columns;
// stacked is the number of shares laid together. nullopt for the methods without blocks
// (random basis column, extended preserve size), for c < 1 or m < 1, for a single share with
// the extended method (its innocent sub-pixels then depend on the innocent picture) and for
// blocks beyond 32-bit sides.
std::optional<BlockLayout> MethodBlockLayout(ExpansionMethod method, int64_t m, int64_t c,
                                             int64_t l, int64_t h, int stacked);

struct DecodeResult {
  BmpImage image;         // one pixel per whole block, black or white
  int64_t blocks = 0;     // pixels of image
  int64_t ambiguous = 0;  // blocks whose count is neither expected value
};

// Decodes the stacked image block by block (rows as stored, row 0 first): a block with
// blackBlack black places is black, one with whiteBlack is white, and any other count is
// ambiguous and takes the colour of the nearer value (black on a tie). Partial blocks at the
// edges are ignored. Needs layout.side >= 1 and 1 <= places <= side * side; otherwise the
// result is an empty image. Pure function of its arguments. The block rows are shared among
// threads threads (0: one per core for large images), each writing rows of its own; the
// result does not depend on how many.
DecodeResult DecodeStacked(const BmpImage& stacked, const BlockLayout& layout,
                           const std::string& resultName, int threads = 0);

}  // namespace quillon
