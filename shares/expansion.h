// The seven expansion methods: each turns the secret and a basis-matrix pair (S0 for white
// secret pixels, S1 for black) into m shares, one per matrix row. Every method draws its
// random numbers in a fixed number and order from the source handed to it, so a seeded source
// fixes every share bit. The source is only drawn from: whether it failed is the caller's to
// check afterwards (RandomSource::FailedWith).
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "core/basis_matrix.h"
#include "core/bmp_image.h"
#include "core/kinds.h"
#include "core/progress.h"
#include "core/random.h"
#include "shares/share_output.h"
#include "shares/share_session.h"

namespace quillon {

// The methods as the driver runs them: create the m blank shares in the table, then fill
// them; nothing is written. The caller has checked that m <= kShareSlots, c >= 1 and that
// the shares fit (ShareSizeFits). Creating the shares throws std::bad_alloc when memory runs
// out. Pixel sampling and the three square methods leave S0 and S1 in the column order their
// permutations reached; the others leave them untouched. The extended methods read one
// innocent image per share, each at least the secret's size (ChooseInnocentImages).
void RandomBasisColumn(RandomSource& random, ShareTable& shares, const BmpImage& secret,
                       const BasisMatrix& s0, const BasisMatrix& s1,
                       const ProgressFn& progress = {});
void PixelSampling(RandomSource& random, ShareTable& shares, const BmpImage& secret,
                   BasisMatrix& s0, BasisMatrix& s1, const ProgressFn& progress = {});
void SquareSubpixelExpansion(RandomSource& random, ShareTable& shares, const BmpImage& secret,
                             BasisMatrix& s0, BasisMatrix& s1, const ProgressFn& progress = {});
void SmallestSquareWithFiller(RandomSource& random, ShareTable& shares, const BmpImage& secret,
                              BasisMatrix& s0, BasisMatrix& s1, const ProgressFn& progress = {});
void SmallestSquareWithoutFiller(RandomSource& random, ShareTable& shares, const BmpImage& secret,
                                 BasisMatrix& s0, BasisMatrix& s1, const ProgressFn& progress = {});
void ExtendedPreserveSize(RandomSource& random, ShareTable& shares, const BmpImage& secret,
                          const std::vector<BmpImage>& innocents, const BasisMatrix& s0,
                          const BasisMatrix& s1, const ProgressFn& progress = {});
void ExtendedPreserveDetail(RandomSource& random, ShareTable& shares, const BmpImage& secret,
                            const std::vector<BmpImage>& innocents, const BasisMatrix& s0,
                            const BasisMatrix& s1, const ProgressFn& progress = {});

// Runs one of the seven (innocents are read by the extended methods only).
void RunExpansionMethod(RandomSource& random, ExpansionMethod method, ShareTable& shares,
                        const BmpImage& secret, const std::vector<BmpImage>& innocents,
                        BasisMatrix& s0, BasisMatrix& s1, const ProgressFn& progress = {});

// Asks the session for share r's innocent image, r = 0 .. m - 1 in order, and loads it.
// Stops at the first share whose image is declined (kCancelled), cannot be loaded (the
// loader's outcome) or is smaller than width x height (kInnocentTooSmall), every outcome
// with the share's index; innocents are then left empty.
Outcome ChooseInnocentImages(ShareSession& session, Env& env, int m, int32_t width, int32_t height,
                             std::vector<BmpImage>& innocents);

// The pixel work of a method alone: fills shares that were created blank at MethodShareSize,
// a 64-pixel word at a time. innocents (at least the secret's size) are read only by the
// extended methods. Gives exactly the bits, draws and matrix order of PlainShares
// (reference/plain_expansion.h).
// progress hears how far the work has come, every few rows.
void EncodeShares(RandomSource& random, ExpansionMethod method, const BmpImage& secret,
                  const std::vector<BmpImage>& innocents, BasisMatrix& s0, BasisMatrix& s1,
                  std::vector<BmpImage>& shares, const ProgressFn& progress = {});

// Rows [first, end) of a method's walk.
struct RowBand {
  int64_t first = 0;
  int64_t end = 0;
};

// The rows a method walks: the secret's rows, or for pixel sampling its rows of whole blocks.
// Each walk row fills share rows no other walk row touches.
int64_t MethodWalkRows(ExpansionMethod method, const BmpImage& secret, int64_t c);

// EncodeShares for the walk rows of band alone: exactly the share rows and draws that
// EncodeShares gives a secret made of those rows alone (innocents read at the same rows).
// A permuting method starts from the order S0 and S1 have and leaves the order it reached in
// *reached0 and *reached1 (each may be null, or S0 and S1 themselves). Bands that share no
// rows may run at once on threads of their own, each with its own source, none writing S0
// or S1 meanwhile.
void EncodeShareRows(RandomSource& random, ExpansionMethod method, const BmpImage& secret,
                     const std::vector<BmpImage>& innocents, const BasisMatrix& s0,
                     const BasisMatrix& s1, BasisMatrix* reached0, BasisMatrix* reached1,
                     std::vector<BmpImage>& shares, RowBand band, const ProgressFn& progress = {});

// How far banded work has come, 0 to 1, on the calling thread every few milliseconds; false
// stops the work.
using BandWatch = std::function<bool(double fraction)>;

// RunExpansionMethod with the walk rows cut into sources.size() bands of about equal height
// (fewer when there are fewer rows), band i drawn from *sources[i] on a thread of its own
// while the calling thread watches. Answers false when watch stopped the work (the shares are
// then half made); an exception of a band (std::bad_alloc) is thrown here once every band has
// stopped. S0 and S1 end in the order the last band reached, each band having started from
// the order they had. Every source belongs to its band's thread meanwhile.
bool RunExpansionMethodInBands(const std::vector<RandomSource*>& sources, ExpansionMethod method,
                               ShareTable& shares, const BmpImage& secret,
                               const std::vector<BmpImage>& innocents, BasisMatrix& s0,
                               BasisMatrix& s1, const BandWatch& watch);

// The same for the three methods that never reorder S0 or S1 (random basis column and the
// two extended methods), reading the pair where it stands.
void EncodeUnpermutedShares(RandomSource& random, ExpansionMethod method, const BmpImage& secret,
                            const std::vector<BmpImage>& innocents, const BasisMatrix& s0,
                            const BasisMatrix& s1, std::vector<BmpImage>& shares,
                            const ProgressFn& progress = {});

}  // namespace quillon
