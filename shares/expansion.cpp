#include "shares/expansion.h"

namespace quillon {
namespace {

// Create the shares at the method's size, then fill them with encode(images).
template <typename Encode>
void MakeShares(ExpansionMethod method, ShareTable& shares, const BmpImage& secret,
                const BasisMatrix& s0, Encode encode) {
  const int m = s0.Rows();
  const ShareSize size = MethodShareSize(method, secret.Width(), secret.Height(), m, s0.Cols());
  shares.CreateShareImages(m, static_cast<int32_t>(size.width), static_cast<int32_t>(size.height));
  encode(shares.Images());
}

void MakePermutedShares(RandomSource& random, ExpansionMethod method, ShareTable& shares,
                        const BmpImage& secret, BasisMatrix& s0, BasisMatrix& s1,
                        const ProgressFn& progress) {
  MakeShares(method, shares, secret, s0, [&](std::vector<BmpImage>& images) {
    EncodeShares(random, method, secret, {}, s0, s1, images, progress);
  });
}

// Methods that only read S0 and S1 use the driver's pair as it is, without a copy.
void MakeUnpermutedShares(RandomSource& random, ExpansionMethod method, ShareTable& shares,
                          const BmpImage& secret, const std::vector<BmpImage>& innocents,
                          const BasisMatrix& s0, const BasisMatrix& s1,
                          const ProgressFn& progress) {
  MakeShares(method, shares, secret, s0, [&](std::vector<BmpImage>& images) {
    EncodeUnpermutedShares(random, method, secret, innocents, s0, s1, images, progress);
  });
}

}  // namespace

void RandomBasisColumn(RandomSource& random, ShareTable& shares, const BmpImage& secret,
                       const BasisMatrix& s0, const BasisMatrix& s1, const ProgressFn& progress) {
  MakeUnpermutedShares(random, ExpansionMethod::RandomBasisColumn, shares, secret, {}, s0, s1,
                       progress);
}

void PixelSampling(RandomSource& random, ShareTable& shares, const BmpImage& secret,
                   BasisMatrix& s0, BasisMatrix& s1, const ProgressFn& progress) {
  MakePermutedShares(random, ExpansionMethod::PixelSampling, shares, secret, s0, s1, progress);
}

void SquareSubpixelExpansion(RandomSource& random, ShareTable& shares, const BmpImage& secret,
                             BasisMatrix& s0, BasisMatrix& s1, const ProgressFn& progress) {
  MakePermutedShares(random, ExpansionMethod::SquareSubpixelExpansion, shares, secret, s0, s1,
                     progress);
}

void SmallestSquareWithFiller(RandomSource& random, ShareTable& shares, const BmpImage& secret,
                              BasisMatrix& s0, BasisMatrix& s1, const ProgressFn& progress) {
  MakePermutedShares(random, ExpansionMethod::SmallestSquareWithFiller, shares, secret, s0, s1,
                     progress);
}

void SmallestSquareWithoutFiller(RandomSource& random, ShareTable& shares, const BmpImage& secret,
                                 BasisMatrix& s0, BasisMatrix& s1, const ProgressFn& progress) {
  MakePermutedShares(random, ExpansionMethod::SmallestSquareWithoutFiller, shares, secret, s0, s1,
                     progress);
}

void ExtendedPreserveSize(RandomSource& random, ShareTable& shares, const BmpImage& secret,
                          const std::vector<BmpImage>& innocents, const BasisMatrix& s0,
                          const BasisMatrix& s1, const ProgressFn& progress) {
  MakeUnpermutedShares(random, ExpansionMethod::ExtendedPreserveSize, shares, secret, innocents, s0,
                       s1, progress);
}

void ExtendedPreserveDetail(RandomSource& random, ShareTable& shares, const BmpImage& secret,
                            const std::vector<BmpImage>& innocents, const BasisMatrix& s0,
                            const BasisMatrix& s1, const ProgressFn& progress) {
  MakeUnpermutedShares(random, ExpansionMethod::ExtendedPreserveDetail, shares, secret, innocents,
                       s0, s1, progress);
}

void RunExpansionMethod(RandomSource& random, ExpansionMethod method, ShareTable& shares,
                        const BmpImage& secret, const std::vector<BmpImage>& innocents,
                        BasisMatrix& s0, BasisMatrix& s1, const ProgressFn& progress) {
  if (!PermutesPair(method))
    return MakeUnpermutedShares(random, method, shares, secret, innocents, s0, s1, progress);
  MakePermutedShares(random, method, shares, secret, s0, s1, progress);
}

Outcome ChooseInnocentImages(ShareSession& session, Env& env, int m, int32_t width, int32_t height,
                             std::vector<BmpImage>& innocents) {
  innocents.clear();
  for (int r = 0; r < m; ++r) {
    const std::optional<std::string> path = session.ChooseInnocentImage(r);
    Outcome outcome;
    BmpImage image;
    if (!path) {
      outcome = Outcome::Fail(Code::kCancelled);
    } else if (outcome = session.LoadInnocentImage(env, r, *path, image); outcome) {
      // Every innocent pixel is read at the secret's own coordinates, so a smaller image
      // would be read outside its rows.
      if (!image.HasPixels() || image.Width() < width || image.Height() < height)
        outcome = Outcome::Fail(Code::kInnocentTooSmall, *path);
    }
    if (!outcome) {
      innocents.clear();
      return std::move(outcome).At(r);
    }
    innocents.push_back(std::move(image));
  }
  return Outcome::Ok();
}

}  // namespace quillon
