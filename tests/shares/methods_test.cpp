// The methods' layouts and draws on small cases worked out by hand, with listed draws.
#include <gtest/gtest.h>

#include "shares/expansion.h"
#include "tests/shares/share_test_util.h"

namespace quillon {
namespace {

using testing::ListedDraws;
using testing::Matrix;
using testing::Picture;
using testing::Pixels;
using Rows = std::vector<std::string>;

std::vector<BmpImage> Encode(RandomSource& random, ExpansionMethod method, const BmpImage& secret,
                             BasisMatrix& s0, BasisMatrix& s1,
                             const std::vector<BmpImage>& innocents = {}) {
  const ShareSize size =
      MethodShareSize(method, secret.Width(), secret.Height(), s0.Rows(), s0.Cols());
  std::vector<BmpImage> shares;
  for (int r = 0; r < s0.Rows(); ++r) {
    shares.emplace_back(ShareName(r), static_cast<int32_t>(size.height),
                        static_cast<int32_t>(size.width));
  }
  EncodeShares(random, method, secret, innocents, s0, s1, shares);
  return shares;
}

TEST(RandomBasisColumn, TwoOfTwoPixelsTakeOneColumnForBothShares) {
  BasisMatrix s0 = Matrix({"01", "01"}), s1 = Matrix({"01", "10"});
  // Columns 0, 1, 0, 1 (draws taken mod 2) for white, white, black, black.
  ListedDraws draws(std::vector<int32_t>{10, 7, 4, 2147483647});
  auto shares = Encode(draws, ExpansionMethod::RandomBasisColumn, Picture({"wwbb"}), s0, s1);
  EXPECT_EQ(Pixels(shares[0]), Rows({"wbwb"}));
  EXPECT_EQ(Pixels(shares[1]), Rows({"wbbw"}));
  EXPECT_EQ(draws.Used(), 4u);
}

// The shuffle's choice for place i is among i + 1; choosing i itself every time (draws c - 1
// down to 1) keeps every column in place, so a block shows the matrix rows as stored.
std::vector<int32_t> Identity(int c) {
  std::vector<int32_t> d;
  for (int i = c - 1; i > 0; --i)
    d.push_back(i);
  return d;
}

TEST(BlockMethods, FourColumnsMakeTwoByTwoBlocksWithAndWithoutFiller) {
  for (auto method :
       {ExpansionMethod::SmallestSquareWithFiller, ExpansionMethod::SmallestSquareWithoutFiller}) {
    BasisMatrix s0 = Matrix({"0110", "1000"}), s1 = s0;
    ListedDraws draws(Identity(4));
    auto shares = Encode(draws, method, Picture({"w"}), s0, s1);
    EXPECT_EQ(Pixels(shares[0]), Rows({"wb", "bw"}));
    EXPECT_EQ(Pixels(shares[1]), Rows({"bw", "ww"}));
    EXPECT_EQ(draws.Used(), 3u) << "no filler for a perfect square";
  }
}

TEST(BlockMethods, TwoColumnsRepeatTheRowOrFillTheBottomRow) {
  BasisMatrix s0 = Matrix({"01", "10"}), s1 = s0;
  // Without filler, and pixel sampling of a 2 x 2 secret, lay the row down twice.
  for (auto method :
       {ExpansionMethod::SmallestSquareWithoutFiller, ExpansionMethod::PixelSampling}) {
    ListedDraws draws(Identity(2));
    const bool sampling = method == ExpansionMethod::PixelSampling;
    auto shares = Encode(draws, method, sampling ? Picture({"ww", "ww"}) : Picture({"w"}), s0, s1);
    EXPECT_EQ(Pixels(shares[0]), Rows({"wb", "wb"}));
    EXPECT_EQ(Pixels(shares[1]), Rows({"bw", "bw"}));
  }
  {
    // The permutation's choice, then share 0's two filler choices, then share 1's (odd =
    // black).
    ListedDraws draws(std::vector<int32_t>{1, 3, 4, 6, 9});
    auto shares = Encode(draws, ExpansionMethod::SmallestSquareWithFiller, Picture({"w"}), s0, s1);
    EXPECT_EQ(Pixels(shares[0]), Rows({"wb", "bw"}));
    EXPECT_EQ(Pixels(shares[1]), Rows({"bw", "wb"}));
    EXPECT_EQ(draws.Used(), 5u);
  }
}

TEST(BlockMethods, ThreeColumns) {
  BasisMatrix s0 = Matrix({"011"}), s1 = s0;
  {
    ListedDraws draws(std::vector<int32_t>{2, 1, 5});
    auto shares = Encode(draws, ExpansionMethod::SmallestSquareWithFiller, Picture({"w"}), s0, s1);
    EXPECT_EQ(Pixels(shares[0]), Rows({"wb", "bb"}));  // filler at the bottom right
  }
  {
    ListedDraws draws(Identity(3));
    auto shares =
        Encode(draws, ExpansionMethod::SmallestSquareWithoutFiller, Picture({"w"}), s0, s1);
    EXPECT_EQ(Pixels(shares[0]), Rows({"wbb", "wbb", "wbb"}));
  }
}

TEST(BlockMethods, FiveColumns) {
  BasisMatrix s0 = Matrix({"01101"}), s1 = s0;
  {
    // Places 5 to 8 are filler: the end of the middle row and the whole bottom row.
    ListedDraws draws(std::vector<int32_t>{4, 3, 2, 1, 1, 0, 0, 1});
    auto shares = Encode(draws, ExpansionMethod::SmallestSquareWithFiller, Picture({"w"}), s0, s1);
    EXPECT_EQ(Pixels(shares[0]), Rows({"wbb", "wbb", "wwb"}));
    EXPECT_EQ(draws.Used(), 8u);
  }
  {
    ListedDraws draws(Identity(5));
    auto shares =
        Encode(draws, ExpansionMethod::SmallestSquareWithoutFiller, Picture({"w"}), s0, s1);
    EXPECT_EQ(Pixels(shares[0]), Rows(5, "wbbwb"));
  }
}

TEST(BlockMethods, EightColumnsTakeTwoBlockRowsPerCopy) {
  BasisMatrix s0 = Matrix({"01100111"}), s1 = s0;
  ListedDraws draws(Identity(8));
  auto shares = Encode(draws, ExpansionMethod::SmallestSquareWithoutFiller, Picture({"w"}), s0, s1);
  EXPECT_EQ(Pixels(shares[0]), Rows({"wbbw", "wbbb", "wbbw", "wbbb"}));
}

TEST(BlockMethods, PermutationDrawsPlaceTheColumns) {
  // Choices 0 among 3 and 0 among 2 swap places (2, 0) and (1, 0): the order becomes 1, 2, 0.
  BasisMatrix s0 = Matrix({"100"}), s1 = Matrix({"111"});
  ListedDraws draws(std::vector<int32_t>{3, 4});
  auto shares = Encode(draws, ExpansionMethod::SmallestSquareWithoutFiller, Picture({"w"}), s0, s1);
  EXPECT_EQ(Pixels(shares[0]), Rows(3, "wwb"));
  EXPECT_EQ(s0, Matrix({"001"})) << "the matrix keeps the order it reached";
  EXPECT_EQ(s1, Matrix({"111"}));
}

TEST(SquareSubpixelExpansion, EveryBlockRowRepeatsThePermutedRow) {
  BasisMatrix s0 = Matrix({"01", "01"}), s1 = Matrix({"01", "10"});
  // Pixel (0,0) white keeps S0's order; pixel (0,1) black swaps S1's columns.
  ListedDraws draws(std::vector<int32_t>{1, 0});
  auto shares = Encode(draws, ExpansionMethod::SquareSubpixelExpansion, Picture({"wb"}), s0, s1);
  EXPECT_EQ(Pixels(shares[0]), Rows({"wbbw", "wbbw"}));
  EXPECT_EQ(Pixels(shares[1]), Rows({"wbwb", "wbwb"}));
  EXPECT_EQ(draws.Used(), 2u) << "c - 1 choices per pixel";
}

TEST(PixelSampling, SamplesTheTopLeftPixelOfEveryWholeBlock) {
  // s = 2 (c = 4). Only rows 0 and 2, columns 0, 2 and 4 are read; every other pixel is
  // the opposite colour, so reading one would show.
  const BmpImage secret = Picture({"wbbwwbb",  //
                                   "bbwwbbw",  //
                                   "bwwbbww",  //
                                   "wwbbwwb",  //
                                   "bbbbbbb"});
  BasisMatrix s0 = Matrix({"0000"}), s1 = Matrix({"1111"});
  ListedDraws draws(std::vector<int32_t>(18, 0));
  auto shares = Encode(draws, ExpansionMethod::PixelSampling, secret, s0, s1);
  EXPECT_EQ(Pixels(shares[0]), Rows({"wwbbww", "wwbbww", "bbwwbb", "bbwwbb"}));
  EXPECT_EQ(draws.Used(), 18u) << "c - 1 choices for each of the 3 x 2 blocks";
}

TEST(PixelSampling, SecretSmallerThanABlockGivesEmptySharesAndNoDraws) {
  BasisMatrix s0 = Matrix({"011"}), s1 = s0;  // s = 3
  ListedDraws draws(std::vector<int32_t>{});
  auto shares = Encode(draws, ExpansionMethod::PixelSampling, Picture({"wwwww", "wwwww"}), s0, s1);
  EXPECT_EQ(shares[0].Width(), 3);
  EXPECT_EQ(shares[0].Height(), 0);
  EXPECT_EQ(draws.Used(), 0u);
}

class Extended : public ::testing::Test {
 protected:
  BasisMatrix s0 = Matrix({"01", "01"}), s1 = Matrix({"01", "10"});
};

TEST_F(Extended, PreserveSizePicksOneColumnOfEWithTheInnocentColumnsLast) {
  // Participant 0's innocent is white, participant 1's black, at the one pixel.
  const std::vector<BmpImage> innocents = {Picture({"w"}), Picture({"b"})};
  const struct {
    int32_t draw;
    const char* shares;
  } cases[] = {
      {2, "wb"},  // T column 0: white only for participant 0, whose innocent is white
      {3, "bb"},  // T column 1: participant 1's innocent is black, so black for both
      {4, "ww"},  // 4 mod 4 = 0: S0's column 0
  };
  for (const auto& c : cases) {
    ListedDraws draws(std::vector<int32_t>{c.draw});
    auto shares =
        Encode(draws, ExpansionMethod::ExtendedPreserveSize, Picture({"w"}), s0, s1, innocents);
    EXPECT_EQ(std::string() + shares[0].GetPixel(0, 0) + shares[1].GetPixel(0, 0), c.shares)
        << "draw " << c.draw;
    EXPECT_EQ(draws.Used(), 1u);
  }
}

TEST_F(Extended, PreserveDetailLaysThePermutedRowOfEIntoTwoByTwoBlocks) {
  // Black secret: E rows are S1's row then T's: participant 0 (innocent black) 01|11,
  // participant 1 (innocent white) 10|10.
  const std::vector<BmpImage> innocents = {Picture({"b"}), Picture({"w"})};
  ListedDraws draws(Identity(4));
  auto shares =
      Encode(draws, ExpansionMethod::ExtendedPreserveDetail, Picture({"b"}), s0, s1, innocents);
  EXPECT_EQ(Pixels(shares[0]), Rows({"wb", "bb"}));
  EXPECT_EQ(Pixels(shares[1]), Rows({"bw", "bw"}));
  EXPECT_EQ(s1, Matrix({"01", "10"})) << "S0 and S1 are never permuted";
}

TEST_F(Extended, PreserveDetailStartsEveryPixelFromTheStoredOrder) {
  const std::vector<BmpImage> innocents = {Picture({"ww"}), Picture({"ww"})};
  // Both pixels choose 0 among 4, 3 and 2: the swaps (3, 0), (2, 0), (1, 0) put columns
  // 1, 2, 3, 0 in places 0 to 3 each time.
  ListedDraws draws(std::vector<int32_t>(6, 0));
  auto shares =
      Encode(draws, ExpansionMethod::ExtendedPreserveDetail, Picture({"ww"}), s0, s1, innocents);
  // Participant 0's E row for a white pixel and white innocent is 01|01; moved: 1 0 1 0.
  EXPECT_EQ(Pixels(shares[0]), Rows({"bwbw", "bwbw"}));
  EXPECT_EQ(draws.Used(), 6u) << "c + m - 1 choices per pixel";
}

TEST_F(Extended, ThreeParticipantsWithThreeColumnsUseSixBySixBlocks) {
  BasisMatrix w = Matrix({"001", "001", "001"}), b = Matrix({"100", "010", "001"});
  const std::vector<BmpImage> innocents = {Picture({"b"}), Picture({"w"}), Picture({"b"})};
  ListedDraws draws(Identity(6));
  auto shares =
      Encode(draws, ExpansionMethod::ExtendedPreserveDetail, Picture({"w"}), w, b, innocents);
  ASSERT_EQ(shares[1].Width(), 6);
  // Participant 1: scheme row 001, then T row 1 with a white diagonal: 101.
  EXPECT_EQ(Pixels(shares[1]), Rows(6, "wwbbwb"));
  EXPECT_EQ(Pixels(shares[0]), Rows(6, "wwbbbb"));
}

TEST_F(Extended, DrawCounts) {
  const BmpImage secret = testing::RandomPicture(3, 5, 1, 7);
  const std::vector<BmpImage> innocents = {testing::RandomPicture(3, 5, 1, 8),
                                           testing::RandomPicture(3, 5, 8, 9)};
  {
    ListedDraws draws(std::vector<int32_t>(15, 11));
    Encode(draws, ExpansionMethod::ExtendedPreserveSize, secret, s0, s1, innocents);
    EXPECT_EQ(draws.Used(), 15u);
  }
  {
    ListedDraws draws(std::vector<int32_t>(45, 11));
    Encode(draws, ExpansionMethod::ExtendedPreserveDetail, secret, s0, s1, innocents);
    EXPECT_EQ(draws.Used(), 45u);
  }
}

}  // namespace
}  // namespace quillon
