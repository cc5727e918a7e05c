// The seven methods the slow, obvious way: one GetPixel per secret pixel, one SetPixel per
// share pixel, the matrices permuted in place with PermuteColumns. The fast encoders are
// checked bit for bit against these.
#include "reference/plain_expansion.h"

#include <cmath>

#include "core/random.h"
#include "shares/expansion.h"

namespace quillon {
namespace {

std::vector<BmpImage> BlankShares(int m, int64_t width, int64_t height) {
  std::vector<BmpImage> shares;
  for (int r = 0; r < m; ++r) {
    shares.emplace_back(ShareName(r), static_cast<int32_t>(height), static_cast<int32_t>(width));
  }
  return shares;
}

const BasisMatrix& Choose(const BmpImage& secret, int32_t y, int32_t x, const BasisMatrix& s0,
                          const BasisMatrix& s1) {
  return secret.GetPixel(y, x) == 'w' ? s0 : s1;
}

BasisMatrix& Choose(const BmpImage& secret, int32_t y, int32_t x, BasisMatrix& s0,
                    BasisMatrix& s1) {
  return secret.GetPixel(y, x) == 'w' ? s0 : s1;
}

// Place p of the s x s block at (top, left) is share pixel (top + p / s, left + p % s).
void SetPlace(BmpImage& share, int64_t top, int64_t left, int64_t s, int64_t p, bool black) {
  share.SetPixel(static_cast<int32_t>(top + p / s), static_cast<int32_t>(left + p % s), black);
}

std::vector<BmpImage> RandomBasisColumnPlain(RandomSource& random, const BmpImage& secret,
                                             const BasisMatrix& s0, const BasisMatrix& s1) {
  const int m = s0.Rows();
  const int32_t c = s0.Cols();
  auto shares = BlankShares(m, secret.Width(), secret.Height());
  for (int32_t y = 0; y < secret.Height(); ++y) {
    for (int32_t x = 0; x < secret.Width(); ++x) {
      const BasisMatrix& chosen = Choose(secret, y, x, s0, s1);
      const int32_t j = RandBelow(random, c);
      for (int r = 0; r < m; ++r)
        shares[r].SetPixel(y, x, chosen.Get(r, j) != 0);
    }
  }
  return shares;
}

int64_t PlainSquareFactor(int64_t c) {
  for (int64_t i = 1; i < c; ++i) {
    const double root = std::sqrt(static_cast<double>(i * c));
    if (root == std::floor(root))
      return i;
  }
  return c;
}

std::vector<BmpImage> PixelSamplingPlain(RandomSource& random, const BmpImage& secret,
                                         BasisMatrix& s0, BasisMatrix& s1) {
  const int m = s0.Rows();
  const int64_t c = s0.Cols();
  const int64_t f = PlainSquareFactor(c);
  const int64_t s = static_cast<int64_t>(std::sqrt(static_cast<double>(f * c)));
  const int64_t w = secret.Width(), h = secret.Height();
  auto shares = BlankShares(m, w / s * s, h / s * s);
  for (int64_t y = 0; y + s <= h; y += s) {
    for (int64_t x = 0; x + s <= w; x += s) {
      BasisMatrix& chosen =
          Choose(secret, static_cast<int32_t>(y), static_cast<int32_t>(x), s0, s1);
      chosen.PermuteColumns(random);
      for (int r = 0; r < m; ++r) {
        for (int64_t p = 0; p < s * s; ++p) {
          SetPlace(shares[r], y, x, s, p, chosen.Get(r, static_cast<int32_t>(p % c)) != 0);
        }
      }
    }
  }
  return shares;
}

std::vector<BmpImage> SquareSubpixelPlain(RandomSource& random, const BmpImage& secret,
                                          BasisMatrix& s0, BasisMatrix& s1) {
  const int m = s0.Rows();
  const int64_t c = s0.Cols();
  auto shares = BlankShares(m, c * secret.Width(), c * secret.Height());
  for (int32_t y = 0; y < secret.Height(); ++y) {
    for (int32_t x = 0; x < secret.Width(); ++x) {
      BasisMatrix& chosen = Choose(secret, y, x, s0, s1);
      chosen.PermuteColumns(random);
      for (int64_t a = 0; a < c; ++a) {
        for (int r = 0; r < m; ++r) {
          for (int64_t l = 0; l < c; ++l) {
            shares[r].SetPixel(static_cast<int32_t>(c * y + a), static_cast<int32_t>(c * x + l),
                               chosen.Get(r, static_cast<int32_t>(l)) != 0);
          }
        }
      }
    }
  }
  return shares;
}

std::vector<BmpImage> SmallestSquarePlain(RandomSource& random, const BmpImage& secret,
                                          BasisMatrix& s0, BasisMatrix& s1, bool filler) {
  const int m = s0.Rows();
  const int64_t c = s0.Cols();
  const int64_t s =
      filler ? static_cast<int64_t>(std::ceil(std::sqrt(static_cast<double>(c))))
             : static_cast<int64_t>(std::sqrt(static_cast<double>(PlainSquareFactor(c) * c)));
  auto shares = BlankShares(m, s * secret.Width(), s * secret.Height());
  for (int32_t y = 0; y < secret.Height(); ++y) {
    for (int32_t x = 0; x < secret.Width(); ++x) {
      BasisMatrix& chosen = Choose(secret, y, x, s0, s1);
      chosen.PermuteColumns(random);
      for (int r = 0; r < m; ++r) {
        for (int64_t p = 0; p < s * s; ++p) {
          bool black;
          if (!filler) {
            black = chosen.Get(r, static_cast<int32_t>(p % c)) != 0;
          } else if (p < c) {
            black = chosen.Get(r, static_cast<int32_t>(p)) != 0;
          } else {
            black = RandBelow(random, 2) == 1;
          }
          SetPlace(shares[r], s * y, s * x, s, p, black);
        }
      }
    }
  }
  return shares;
}

// Builds T and then E for one secret pixel, as both extended methods do before writing.
void BuildExtended(const BasisMatrix& chosen, const std::vector<BmpImage>& innocents, int32_t y,
                   int32_t x, BasisMatrix& t, BasisMatrix& e) {
  const int m = chosen.Rows();
  const int32_t c = chosen.Cols();
  for (int r = 0; r < m; ++r) {
    const bool black = innocents[r].GetPixel(y, x) == 'b';
    for (int j = 0; j < m; ++j)
      t.Set(r, j, black || j != r ? 1 : 0);
  }
  for (int r = 0; r < m; ++r) {
    for (int32_t j = 0; j < c; ++j)
      e.Set(r, j, chosen.Get(r, j));
    for (int j = 0; j < m; ++j)
      e.Set(r, c + j, t.Get(r, j));
  }
}

std::vector<BmpImage> ExtendedPlain(RandomSource& random, const BmpImage& secret,
                                    const std::vector<BmpImage>& innocents, const BasisMatrix& s0,
                                    const BasisMatrix& s1, bool detail) {
  const int m = s0.Rows();
  const int32_t c = s0.Cols();
  const int64_t f = PlainSquareFactor(c + m);
  const int64_t s = detail ? static_cast<int64_t>(std::sqrt(static_cast<double>(f * (c + m)))) : 1;
  auto shares = BlankShares(m, s * secret.Width(), s * secret.Height());
  BasisMatrix e(m, c + m), t(m, m);
  for (int32_t y = 0; y < secret.Height(); ++y) {
    for (int32_t x = 0; x < secret.Width(); ++x) {
      BuildExtended(Choose(secret, y, x, s0, s1), innocents, y, x, t, e);
      if (!detail) {
        const int32_t j = RandBelow(random, e.Cols());
        for (int r = 0; r < m; ++r)
          shares[r].SetPixel(y, x, e.Get(r, j) != 0);
        continue;
      }
      e.PermuteColumns(random);
      for (int r = 0; r < m; ++r) {
        for (int64_t p = 0; p < s * s; ++p) {
          SetPlace(shares[r], s * y, s * x, s, p, e.Get(r, static_cast<int32_t>(p % (c + m))) != 0);
        }
      }
    }
  }
  return shares;
}

}  // namespace

std::vector<BmpImage> PlainShares(RandomSource& random, ExpansionMethod method,
                                  const BmpImage& secret, const std::vector<BmpImage>& innocents,
                                  BasisMatrix& s0, BasisMatrix& s1) {
  switch (method) {
    case ExpansionMethod::RandomBasisColumn:
      return RandomBasisColumnPlain(random, secret, s0, s1);
    case ExpansionMethod::PixelSampling:
      return PixelSamplingPlain(random, secret, s0, s1);
    case ExpansionMethod::SquareSubpixelExpansion:
      return SquareSubpixelPlain(random, secret, s0, s1);
    case ExpansionMethod::SmallestSquareWithFiller:
      return SmallestSquarePlain(random, secret, s0, s1, true);
    case ExpansionMethod::SmallestSquareWithoutFiller:
      return SmallestSquarePlain(random, secret, s0, s1, false);
    case ExpansionMethod::ExtendedPreserveSize:
      return ExtendedPlain(random, secret, innocents, s0, s1, false);
    case ExpansionMethod::ExtendedPreserveDetail:
      return ExtendedPlain(random, secret, innocents, s0, s1, true);
  }
  return {};
}

}  // namespace quillon
