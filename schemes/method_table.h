// The table of the seven expansion methods: one row per method with everything the programs
// and the computing code know of it besides its own pixel work. The share size, the block
// sides (schemes/block_geometry.h), exact decoding (combine/decode.h), the encoder that runs
// it (shares/expansion.h), the command-line names and the desktop program's selector all read
// these rows, so a method that lays out its pixels like one of these takes one row here plus
// its enumerator in core/kinds.h. Constant data, safe from any thread.
#pragma once

#include <span>

#include "core/kinds.h"

namespace quillon {

// How a method turns the secret's pixels into share pixels.
enum class PixelLayout {
  OneColumn,      // each secret pixel: one column drawn, one share pixel
  BlockPerPixel,  // each secret pixel: the columns permuted and laid into an s x s block
  SampledBlock,   // each whole s x s block of the secret: its top-left pixel, permuted into it
};

// The block side s that follows from the columns laid into a block: c, or c + m when the m
// columns of the innocent images join the scheme's c.
enum class BlockSide {
  None,          // no blocks (s = 1)
  Columns,       // s = the columns: every block row holds the matrix row once
  SquareFactor,  // s = SquareBlockSide(columns): copies of the row fill the block exactly
  Filler,        // s = FillerBlockSide(columns): the row once, then random filler places
};

struct MethodRow {
  ExpansionMethod method;    // its number: the selector index, also taken on the command line
  const char* name;          // its name on the command line
  const char* selectorText;  // the desktop program's method selector, byte for byte
  PixelLayout layout;
  BlockSide side;
  bool innocents;  // hides the shares in innocent images, one per share
};

// Every method, in selector order: row i is method i.
std::span<const MethodRow> MethodRows();

// The row of a method; method is one of the rows'.
const MethodRow& MethodInfo(ExpansionMethod method);

// The two methods that hide the shares in innocent images.
inline bool IsExtendedMethod(ExpansionMethod method) {
  return MethodInfo(method).innocents;
}

// Methods whose shares are s x s blocks with a known count of black sub-pixels, which
// stacked shares can be decoded from exactly.
inline bool IsBlockMethod(ExpansionMethod method) {
  return MethodInfo(method).side != BlockSide::None;
}

// Methods that permute S0 and S1 themselves, leaving them in the order reached; the others
// only read the pair (the extended block method permutes a copy).
inline bool PermutesPair(ExpansionMethod method) {
  const MethodRow& row = MethodInfo(method);
  return row.layout != PixelLayout::OneColumn && !row.innocents;
}

}  // namespace quillon
