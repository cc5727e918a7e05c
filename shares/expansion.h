// The seven expansion methods: each turns the secret and a basis-matrix pair (S0 for white
// secret pixels, S1 for black) into m shares, one per matrix row. Every method draws its
// random numbers in a fixed number and order from the source handed to it, so a seeded source
// fixes every share bit. The source is only drawn from: whether it failed is the caller's to
// check afterwards (RandomSource::FailedWith).
#pragma once

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

// The same for the three methods that never reorder S0 or S1 (random basis column and the
// two extended methods), reading the pair where it stands.
void EncodeUnpermutedShares(RandomSource& random, ExpansionMethod method, const BmpImage& secret,
                            const std::vector<BmpImage>& innocents, const BasisMatrix& s0,
                            const BasisMatrix& s1, std::vector<BmpImage>& shares,
                            const ProgressFn& progress = {});

}  // namespace quillon
