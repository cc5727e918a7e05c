#include "shares/expansion.h"

namespace quillon {
namespace {

const char kNoInnocentImage[] = "Cannot Encrypt without valid innocent image source file.";

ProgressFn ShareProgress(ShareTable& shares) {
  return [&shares](double fraction) { shares.Session().ShowProgress(fraction); };
}

// Create and register the shares, fill them with encode(images), save them: the frame of
// every method.
template <typename Encode>
void MakeShares(ExpansionMethod method, ShareTable& shares, const BmpImage& secret,
                const BasisMatrix& s0, Encode encode) {
  const int m = s0.Rows();
  const ShareSize size = MethodShareSize(method, secret.Width(), secret.Height(), m, s0.Cols());
  shares.CreateShareImages(m, static_cast<int32_t>(size.width), static_cast<int32_t>(size.height));
  encode(shares.Images());
  shares.SaveShareImages(m);
}

void MakePermutedShares(ExpansionMethod method, ShareTable& shares, const BmpImage& secret,
                        BasisMatrix& s0, BasisMatrix& s1) {
  MakeShares(method, shares, secret, s0, [&](std::vector<BmpImage>& images) {
    EncodeShares(method, secret, {}, s0, s1, images, ShareProgress(shares));
  });
}

// Methods that only read S0 and S1 use the driver's pair as it is, without a copy.
bool MakeUnpermutedShares(ExpansionMethod method, ShareTable& shares, const BmpImage& secret,
                          const BasisMatrix& s0, const BasisMatrix& s1) {
  std::vector<BmpImage> innocents;
  if (IsExtendedMethod(method) && !ChooseInnocentImages(shares.Session(), s0.Rows(), secret.Width(),
                                                        secret.Height(), innocents)) {
    return false;
  }
  MakeShares(method, shares, secret, s0, [&](std::vector<BmpImage>& images) {
    EncodeUnpermutedShares(method, secret, innocents, s0, s1, images, ShareProgress(shares));
  });
  return true;
}

}  // namespace

void RandomBasisColumn(ShareTable& shares, const BmpImage& secret, const BasisMatrix& s0,
                       const BasisMatrix& s1) {
  MakeUnpermutedShares(ExpansionMethod::RandomBasisColumn, shares, secret, s0, s1);
}

void PixelSampling(ShareTable& shares, const BmpImage& secret, BasisMatrix& s0, BasisMatrix& s1) {
  MakePermutedShares(ExpansionMethod::PixelSampling, shares, secret, s0, s1);
}

void SquareSubpixelExpansion(ShareTable& shares, const BmpImage& secret, BasisMatrix& s0,
                             BasisMatrix& s1) {
  MakePermutedShares(ExpansionMethod::SquareSubpixelExpansion, shares, secret, s0, s1);
}

void SmallestSquareWithFiller(ShareTable& shares, const BmpImage& secret, BasisMatrix& s0,
                              BasisMatrix& s1) {
  MakePermutedShares(ExpansionMethod::SmallestSquareWithFiller, shares, secret, s0, s1);
}

void SmallestSquareWithoutFiller(ShareTable& shares, const BmpImage& secret, BasisMatrix& s0,
                                 BasisMatrix& s1) {
  MakePermutedShares(ExpansionMethod::SmallestSquareWithoutFiller, shares, secret, s0, s1);
}

bool ExtendedPreserveSize(ShareTable& shares, const BmpImage& secret, const BasisMatrix& s0,
                          const BasisMatrix& s1) {
  return MakeUnpermutedShares(ExpansionMethod::ExtendedPreserveSize, shares, secret, s0, s1);
}

bool ExtendedPreserveDetail(ShareTable& shares, const BmpImage& secret, const BasisMatrix& s0,
                            const BasisMatrix& s1) {
  return MakeUnpermutedShares(ExpansionMethod::ExtendedPreserveDetail, shares, secret, s0, s1);
}

bool RunExpansionMethod(ExpansionMethod method, ShareTable& shares, const BmpImage& secret,
                        BasisMatrix& s0, BasisMatrix& s1) {
  if (!PermutesPair(method))
    return MakeUnpermutedShares(method, shares, secret, s0, s1);
  MakePermutedShares(method, shares, secret, s0, s1);
  return true;
}

bool ChooseInnocentImages(ShareSession& session, int m, int32_t width, int32_t height,
                          std::vector<BmpImage>& innocents) {
  innocents.clear();
  for (int r = 0; r < m; ++r) {
    const std::string title =
        std::string("Select Innocent Image File ") + static_cast<char>('1' + r);
    const std::optional<std::string> path = session.ChooseInnocentImage(title);
    bool usable = false;
    if (path) {
      BmpImage image(*path);
      // Every innocent pixel is read at the secret's own coordinates, so a smaller image
      // would be read outside its rows.
      usable = image.Load(SessionReporter(session)) && image.Width() >= width &&
               image.Height() >= height;
      if (usable)
        innocents.push_back(std::move(image));
    }
    if (!usable) {
      session.ShowMessage("", kNoInnocentImage);
      innocents.clear();
      return false;
    }
  }
  return true;
}

}  // namespace quillon
