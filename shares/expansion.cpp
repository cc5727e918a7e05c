#include "shares/expansion.h"

namespace quillon {
namespace {

const char kNoInnocentImage[] = "Cannot Encrypt without valid innocent image source file.";

// Create and register the shares, fill them, save them: the frame of every method.
void MakeShares(ExpansionMethod method, ShareTable& shares, const BmpImage& secret,
                const std::vector<BmpImage>& innocents, BasisMatrix& s0, BasisMatrix& s1) {
  const int m = s0.Rows();
  const ShareSize size = MethodShareSize(method, secret.Width(), secret.Height(), m, s0.Cols());
  shares.CreateShareImages(m, static_cast<int32_t>(size.width), static_cast<int32_t>(size.height));
  EncodeShares(method, secret, innocents, s0, s1, shares.Images());
  shares.SaveShareImages(m);
}

bool MakeExtendedShares(ExpansionMethod method, ShareTable& shares, const BmpImage& secret,
                        const BasisMatrix& s0, const BasisMatrix& s1) {
  std::vector<BmpImage> innocents;
  if (!ChooseInnocentImages(shares.Session(), s0.Rows(), secret.Width(), secret.Height(),
                            innocents)) {
    return false;
  }
  // The extended methods never reorder S0 or S1; the copies only satisfy the common frame.
  BasisMatrix white = s0, black = s1;
  MakeShares(method, shares, secret, innocents, white, black);
  return true;
}

}  // namespace

void RandomBasisColumn(ShareTable& shares, const BmpImage& secret, const BasisMatrix& s0,
                       const BasisMatrix& s1) {
  BasisMatrix white = s0, black = s1;
  MakeShares(ExpansionMethod::RandomBasisColumn, shares, secret, {}, white, black);
}

void PixelSampling(ShareTable& shares, const BmpImage& secret, BasisMatrix& s0, BasisMatrix& s1) {
  MakeShares(ExpansionMethod::PixelSampling, shares, secret, {}, s0, s1);
}

void SquareSubpixelExpansion(ShareTable& shares, const BmpImage& secret, BasisMatrix& s0,
                             BasisMatrix& s1) {
  MakeShares(ExpansionMethod::SquareSubpixelExpansion, shares, secret, {}, s0, s1);
}

void SmallestSquareWithFiller(ShareTable& shares, const BmpImage& secret, BasisMatrix& s0,
                              BasisMatrix& s1) {
  MakeShares(ExpansionMethod::SmallestSquareWithFiller, shares, secret, {}, s0, s1);
}

void SmallestSquareWithoutFiller(ShareTable& shares, const BmpImage& secret, BasisMatrix& s0,
                                 BasisMatrix& s1) {
  MakeShares(ExpansionMethod::SmallestSquareWithoutFiller, shares, secret, {}, s0, s1);
}

bool ExtendedPreserveSize(ShareTable& shares, const BmpImage& secret, const BasisMatrix& s0,
                          const BasisMatrix& s1) {
  return MakeExtendedShares(ExpansionMethod::ExtendedPreserveSize, shares, secret, s0, s1);
}

bool ExtendedPreserveDetail(ShareTable& shares, const BmpImage& secret, const BasisMatrix& s0,
                            const BasisMatrix& s1) {
  return MakeExtendedShares(ExpansionMethod::ExtendedPreserveDetail, shares, secret, s0, s1);
}

bool RunExpansionMethod(ExpansionMethod method, ShareTable& shares, const BmpImage& secret,
                        BasisMatrix& s0, BasisMatrix& s1) {
  switch (method) {
    case ExpansionMethod::RandomBasisColumn:
      RandomBasisColumn(shares, secret, s0, s1);
      return true;
    case ExpansionMethod::PixelSampling:
      PixelSampling(shares, secret, s0, s1);
      return true;
    case ExpansionMethod::SquareSubpixelExpansion:
      SquareSubpixelExpansion(shares, secret, s0, s1);
      return true;
    case ExpansionMethod::SmallestSquareWithFiller:
      SmallestSquareWithFiller(shares, secret, s0, s1);
      return true;
    case ExpansionMethod::SmallestSquareWithoutFiller:
      SmallestSquareWithoutFiller(shares, secret, s0, s1);
      return true;
    case ExpansionMethod::ExtendedPreserveSize:
      return ExtendedPreserveSize(shares, secret, s0, s1);
    case ExpansionMethod::ExtendedPreserveDetail:
      return ExtendedPreserveDetail(shares, secret, s0, s1);
  }
  return false;
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
      usable = image.Load() && image.Width() >= width && image.Height() >= height;
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
