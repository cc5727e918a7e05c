// What a scheme and method will give, shown before anything is encrypted: the sub-pixels per
// secret pixel, the share size in pixels and in millimetres at the print pixel size, the
// contrast each size of qualified set sees and the exact security check of the analysis
// (schemes/analysis.h), with the warnings that follow from them. Pure functions of their
// arguments: safe from any thread (the analysis of the widest pairs takes about a tenth of a
// second, so a view may compute it off the owner thread).
#pragma once

#include <cstdint>
#include <vector>

#include "core/kinds.h"
#include "core/outcome.h"
#include "schemes/analysis.h"
#include "schemes/block_geometry.h"
#include "schemes/exact_lp.h"
#include "studio/scheme_setup.h"

namespace quillon::studio {

// Stacked shares show a white secret pixel as the grey l/m and a black one as h/m; the
// contrast (h - l)/m is how far apart those greys are. Below 1/16 the two greys differ by
// less than one step in sixteen, which the noise of the share pattern on printed
// transparencies hides from the eye: the secret is there but hard to see.
inline Rational ReadableContrast() {
  return Rational::Fraction(1, 16);
}

// The qualified and forbidden sets of one size.
struct SizeFacts {
  int size = 0;          // participants stacked
  int sets = 0;          // sets of that size
  int qualified = 0;     // how many of them see the secret
  Rational minContrast;  // over the qualified ones; 0 without any
  Rational maxContrast;
  int insecure = 0;  // forbidden sets of that size that can tell white from black
};

struct SchemeFacts {
  Code refusal = Code::kOk;       // why the pair cannot be built; the rest is empty then
  int participants = 0;           // shares, one per matrix row
  int64_t subpixels = 0;          // m: the columns of the basis matrices
  std::vector<SizeFacts> bySize;  // sizes 1 .. participants
  SchemeAnalysis analysis;        // every set, exactly
  Rational minContrast;           // the smallest contrast of a qualified set
  bool allSecure = true;          // every forbidden set sees S0 and S1 alike
  bool lowContrast = false;       // minContrast below ReadableContrast()
  int loneParticipant = -1;       // a participant who alone is qualified (from 0), or -1

  // The contrast-optimal (k,n) pair, offered when it shows the secret better than the
  // current choice or when the construction is too large to build.
  bool optimalOffered = false;
  int optimalK = 0;
  int optimalN = 0;
  Rational optimalContrast;
  int64_t optimalSubpixels = 0;
};

// Builds the pair of the setup and analyses it. Refusals: the codes of SchemeSetup::Check and
// of BuildSchemePair.
SchemeFacts AnalyzeScheme(const SchemeSetup& setup);

struct ShareFacts {
  Code refusal = Code::kOk;  // kNoSecret, kSharesTooLarge or kSmallerThanBlock; or the scheme's
  int64_t blockSide = 1;     // each secret pixel (or block) becomes blockSide^2 share pixels
  ShareSize size;            // pixels of every share
  double widthMm = 0;        // printed at pixelMm per share pixel
  double heightMm = 0;
};

// The shares a width x height secret gives under the method with the analysed scheme; a
// secret of size 0 x 0 (none open) answers kNoSecret.
ShareFacts ShareSizeFacts(const SchemeFacts& scheme, ExpansionMethod method, int32_t width,
                          int32_t height, double pixelMm);

}  // namespace quillon::studio
