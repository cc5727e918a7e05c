// What the shares are for, checked on the real scheme matrices and the real methods: every
// qualified set sees black secret pixels darker than white ones, and every forbidden set
// sees the same thing whatever the secret.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>

#include "schemes/scheme_pair.h"
#include "shares/expansion.h"
#include "tests/shares/share_test_util.h"

namespace quillon {
namespace {

using Set = unsigned;  // bit t: participant t

struct SchemeCase {
  std::string name;
  SchemeKind kind;
  int n, k;
  std::vector<Set> minimal;  // general access structures only

  bool Qualified(Set q) const {
    if (kind != SchemeKind::SchemeGeneral)
      return std::popcount(q) >= k;
    return std::any_of(minimal.begin(), minimal.end(), [q](Set s) { return (q & s) == s; });
  }

  SchemePair Build() const {
    BasisMatrix sets(0, n);
    for (Set s : minimal) {
      std::vector<int32_t> row(n);
      for (int t = 0; t < n; ++t)
        row[t] = (s >> t) & 1;
      sets.InsertRow(sets.Rows(), row.data());
    }
    SchemeParams params;
    params.scheme = kind;
    params.n = n;
    params.k = k;
    params.qualifiedSets = &sets;
    return BuildSchemePair(params);
  }
};

std::vector<SchemeCase> SmallSchemes() {
  std::vector<SchemeCase> cases = {{"2of2", SchemeKind::Scheme2of2, 2, 2, {}}};
  for (int n = 2; n <= 5; ++n) {
    cases.push_back({"2of" + std::to_string(n), SchemeKind::Scheme2ofN, n, 2, {}});
    cases.push_back({"nofn" + std::to_string(n), SchemeKind::SchemeNofN, n, n, {}});
    for (int k = 2; k <= n; ++k) {
      cases.push_back(
          {"kofn" + std::to_string(k) + std::to_string(n), SchemeKind::SchemeKofN, n, k, {}});
    }
  }
  // Participants 1..n are bits 0..n-1.
  cases.push_back({"g3:12,23", SchemeKind::SchemeGeneral, 3, 0, {0b011, 0b110}});
  cases.push_back({"g3:pairs", SchemeKind::SchemeGeneral, 3, 0, {0b011, 0b101, 0b110}});
  cases.push_back({"g3:123", SchemeKind::SchemeGeneral, 3, 0, {0b111}});
  cases.push_back({"g4:12,34", SchemeKind::SchemeGeneral, 4, 0, {0b0011, 0b1100}});
  cases.push_back({"g4:12,23,34", SchemeKind::SchemeGeneral, 4, 0, {0b0011, 0b0110, 0b1100}});
  return cases;
}

// Columns that the rows of q make black when stacked.
int StackedBlack(const BasisMatrix& m, Set q) {
  int black = 0;
  for (int32_t j = 0; j < m.Cols(); ++j)
    black += (m.ColumnCode(j) & q) != 0;
  return black;
}

std::vector<uint64_t> RestrictedColumns(const BasisMatrix& m, Set q) {
  std::vector<uint64_t> patterns;
  for (int32_t j = 0; j < m.Cols(); ++j)
    patterns.push_back(m.ColumnCode(j) & q);
  std::sort(patterns.begin(), patterns.end());
  return patterns;
}

TEST(SchemeMatrices, QualifiedSetsSeeContrastAndForbiddenSetsSeeEqualColumns) {
  for (const SchemeCase& scheme : SmallSchemes()) {
    SCOPED_TRACE(scheme.name);
    const SchemePair pair = scheme.Build();
    ASSERT_EQ(pair.error, SchemeError::None);
    ASSERT_EQ(pair.s0.Rows(), scheme.n);
    for (Set q = 1; q < (1u << scheme.n); ++q) {
      if (scheme.Qualified(q)) {
        EXPECT_GT(StackedBlack(pair.s1, q), StackedBlack(pair.s0, q)) << "set " << q;
      } else {
        EXPECT_EQ(RestrictedColumns(pair.s0, q), RestrictedColumns(pair.s1, q)) << "set " << q;
      }
    }
  }
}

// hist[code] counts the share-pixel positions whose black shares are the bits of code.
std::vector<double> CodeFrequencies(const std::vector<BmpImage>& shares) {
  std::vector<double> hist(size_t{1} << shares.size());
  const BmpImage& first = shares[0];
  for (int32_t y = 0; y < first.Height(); ++y) {
    for (int32_t x = 0; x < first.Width(); ++x) {
      unsigned code = 0;
      for (size_t r = 0; r < shares.size(); ++r)
        code |= (shares[r].GetPixel(y, x) == 'b') << r;
      hist[code] += 1;
    }
  }
  for (double& h : hist)
    h /= double(first.Height()) * first.Width();
  return hist;
}

BmpImage Uniform(int32_t side, bool black) {
  BmpImage image("u.bmp", side, side);
  for (int32_t y = 0; y < side; ++y) {
    for (int32_t x = 0; x < side; ++x)
      image.SetPixel(y, x, black);
  }
  return image;
}

// Shares of an all-white and an all-black secret, compared set by set: a qualified set's
// stack must be darker for black by at least half the contrast it should show; a forbidden
// set's patterns must occur equally often (within six standard deviations; the seeds are
// fixed, so the outcome does not vary from run to run).
void ExpectSecurity(const SchemeCase& scheme, ExpansionMethod method, int32_t side, uint32_t seed) {
  SCOPED_TRACE(::testing::Message() << scheme.name << ", method " << static_cast<int>(method));
  const SchemePair pair = scheme.Build();
  std::vector<BmpImage> innocents;
  for (int r = 0; r < scheme.n; ++r) {
    innocents.push_back(testing::RandomPicture(side, side, 1, seed + 50 + r));
  }
  std::vector<double> freq[2];
  for (int black = 0; black < 2; ++black) {
    BasisMatrix s0 = pair.s0, s1 = pair.s1;
    const ShareSize size = MethodShareSize(method, side, side, s0.Rows(), s0.Cols());
    std::vector<BmpImage> shares;
    for (int r = 0; r < scheme.n; ++r) {
      shares.emplace_back(ShareName(r), static_cast<int32_t>(size.height),
                          static_cast<int32_t>(size.width));
    }
    ScopedSeed source(seed + black);
    EncodeShares(method, Uniform(side, black), innocents, s0, s1, shares);
    freq[black] = CodeFrequencies(shares);
  }
  const double c = pair.s0.Cols();
  // Secret pixels (or sampled blocks) are the independent samples; six standard deviations
  // of a difference of two frequencies over that many.
  const double samples = method == ExpansionMethod::PixelSampling
                             ? double(side / SquareBlockSide(pair.s0.Cols())) *
                                   (side / SquareBlockSide(pair.s0.Cols()))
                             : double(side) * side;
  const double tolerance = 6 * std::sqrt(2 * 0.25 / samples);
  for (Set q = 1; q < (1u << scheme.n); ++q) {
    std::vector<double> seen[2] = {std::vector<double>(1u << scheme.n),
                                   std::vector<double>(1u << scheme.n)};
    double dark[2] = {0, 0};
    for (int b = 0; b < 2; ++b) {
      for (Set code = 0; code < freq[b].size(); ++code) {
        seen[b][code & q] += freq[b][code];
        if (code & q)
          dark[b] += freq[b][code];
      }
    }
    if (scheme.Qualified(q)) {
      // Extended shares spend m more sub-pixels, and filler dilutes a block, but neither
      // takes away more than the column count's share of the contrast.
      const double contrast = (StackedBlack(pair.s1, q) - StackedBlack(pair.s0, q)) / c;
      const double diluted = contrast * c / (c + scheme.n) / 2;
      EXPECT_GT(dark[1] - dark[0], diluted / 2) << "set " << q;
    } else {
      for (Set code = 0; code < seen[0].size(); ++code) {
        EXPECT_NEAR(seen[0][code], seen[1][code], tolerance) << "set " << q << ", pattern " << code;
      }
    }
  }
}

TEST(SchemeShares, RandomBasisColumnOnEverySmallScheme) {
  uint32_t seed = 1;
  for (const SchemeCase& scheme : SmallSchemes()) {
    ExpectSecurity(scheme, ExpansionMethod::RandomBasisColumn, 128, seed += 2);
  }
}

TEST(SchemeShares, EveryOtherMethodOnSchemesWithFewColumns) {
  const ExpansionMethod methods[] = {ExpansionMethod::PixelSampling,
                                     ExpansionMethod::SquareSubpixelExpansion,
                                     ExpansionMethod::SmallestSquareWithFiller,
                                     ExpansionMethod::SmallestSquareWithoutFiller,
                                     ExpansionMethod::ExtendedPreserveSize,
                                     ExpansionMethod::ExtendedPreserveDetail};
  uint32_t seed = 1000;
  for (const SchemeCase& scheme : SmallSchemes()) {
    if (scheme.Build().s0.Cols() > 12)
      continue;
    for (ExpansionMethod method : methods) {
      // Pixel sampling spends a block of secret pixels on one encoded pixel; preserve size
      // makes one share pixel per secret pixel, so more of them are cheap.
      const int32_t side = method == ExpansionMethod::PixelSampling          ? 96
                           : method == ExpansionMethod::ExtendedPreserveSize ? 128
                                                                             : 40;
      ExpectSecurity(scheme, method, side, seed += 2);
    }
  }
}

}  // namespace
}  // namespace quillon
