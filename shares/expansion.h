// The seven expansion methods: each turns the secret and a basis-matrix pair (S0 for white
// secret pixels, S1 for black) into m shares, one per matrix row. Every method draws its
// random numbers in a fixed number and order, so a deterministic source fixes every share bit.
#pragma once

#include <vector>

#include "core/basis_matrix.h"
#include "core/bmp_image.h"
#include "core/kinds.h"
#include "core/progress.h"
#include "shares/share_output.h"

namespace quillon {

// The methods as the driver runs them: create and register the shares, fill them, save
// them. The caller has checked that m <= kShareSlots, c >= 1 and that the shares fit
// (ShareSizeFits). Pixel sampling and the three square methods leave S0 and S1 in the
// column order their permutations reached; the others leave them untouched.
void RandomBasisColumn(ShareTable& shares, const BmpImage& secret, const BasisMatrix& s0,
                       const BasisMatrix& s1);
void PixelSampling(ShareTable& shares, const BmpImage& secret, BasisMatrix& s0, BasisMatrix& s1);
void SquareSubpixelExpansion(ShareTable& shares, const BmpImage& secret, BasisMatrix& s0,
                             BasisMatrix& s1);
void SmallestSquareWithFiller(ShareTable& shares, const BmpImage& secret, BasisMatrix& s0,
                              BasisMatrix& s1);
void SmallestSquareWithoutFiller(ShareTable& shares, const BmpImage& secret, BasisMatrix& s0,
                                 BasisMatrix& s1);
// The extended methods first ask for one innocent image per participant; false when the
// user gave up (nothing is then created or registered).
bool ExtendedPreserveSize(ShareTable& shares, const BmpImage& secret, const BasisMatrix& s0,
                          const BasisMatrix& s1);
bool ExtendedPreserveDetail(ShareTable& shares, const BmpImage& secret, const BasisMatrix& s0,
                            const BasisMatrix& s1);

// Runs one of the seven; false only when an extended method gave up.
bool RunExpansionMethod(ExpansionMethod method, ShareTable& shares, const BmpImage& secret,
                        BasisMatrix& s0, BasisMatrix& s1);

// Asks for participant r's innocent image under "Select Innocent Image File " + digit, in
// participant order, and loads it. A cancel, a file that fails to load or an image smaller
// than width x height ends the choice with "Cannot Encrypt without valid innocent image
// source file." and false, innocents left empty.
bool ChooseInnocentImages(ShareSession& session, int m, int32_t width, int32_t height,
                          std::vector<BmpImage>& innocents);

// The pixel work of a method alone: fills shares that were created blank at MethodShareSize,
// a 64-pixel word at a time. innocents (at least the secret's size) are read only by the
// extended methods. Gives exactly the bits, draws and matrix order of PlainShares
// (reference/plain_expansion.h).
// progress hears how far the work has come, every few rows.
void EncodeShares(ExpansionMethod method, const BmpImage& secret,
                  const std::vector<BmpImage>& innocents, BasisMatrix& s0, BasisMatrix& s1,
                  std::vector<BmpImage>& shares, const ProgressFn& progress = {});

// The same for the three methods that never reorder S0 or S1 (random basis column and the
// two extended methods), reading the pair where it stands.
void EncodeUnpermutedShares(ExpansionMethod method, const BmpImage& secret,
                            const std::vector<BmpImage>& innocents, const BasisMatrix& s0,
                            const BasisMatrix& s1, std::vector<BmpImage>& shares,
                            const ProgressFn& progress = {});

}  // namespace quillon
