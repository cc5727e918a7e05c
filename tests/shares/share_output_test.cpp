#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>

#include "shares/expansion.h"
#include "tests/shares/share_test_util.h"

namespace quillon {
namespace {

using testing::FakeSession;
using testing::MessageLog;
using testing::Picture;
using testing::ScratchDir;

TEST(ShareNames, OneDigitFromOne) {
  EXPECT_EQ(ShareName(0), "capa1.bmp");
  EXPECT_EQ(ShareName(8), "capa9.bmp");
}

TEST(SmallestSquareFactor, KnownValuesAndBlockSides) {
  const struct {
    int64_t c, f, s;
  } cases[] = {{1, 1, 1}, {2, 2, 2}, {3, 3, 3},  {4, 1, 2},  {6, 6, 6},
               {8, 2, 4}, {9, 1, 3}, {12, 3, 6}, {16, 1, 4}, {432000, 30, 3600}};
  for (const auto& c : cases) {
    EXPECT_EQ(SmallestSquareFactor(c.c), c.f) << c.c;
    EXPECT_EQ(SquareBlockSide(c.c), c.s) << c.c;
  }
}

TEST(SmallestSquareFactor, MatchesTheSquareFreePartUpToFewThousand) {
  for (int64_t c = 1; c <= 3000; ++c) {
    // The square-free part: divide out every square factor.
    int64_t f = c;
    for (int64_t d = 2; d * d <= f; ++d) {
      while (f % (d * d) == 0)
        f /= d * d;
    }
    ASSERT_EQ(SmallestSquareFactor(c), f) << c;
  }
}

TEST(FillerBlockSide, SmallestSquareHoldingC) {
  const int64_t expected[] = {0, 1, 2, 2, 2, 3, 3, 3, 3, 3, 4, 4, 4, 4, 4, 4, 4, 5};
  for (int64_t c = 1; c < 18; ++c)
    EXPECT_EQ(FillerBlockSide(c), expected[c]) << c;
}

TEST(MethodShareSize, PerMethod) {
  using M = ExpansionMethod;
  auto size = [](M method, int64_t w, int64_t h, int64_t m, int64_t c) {
    const ShareSize s = MethodShareSize(method, w, h, m, c);
    return std::make_pair(s.width, s.height);
  };
  EXPECT_EQ(size(M::RandomBasisColumn, 7, 5, 3, 12), std::make_pair(int64_t{7}, int64_t{5}));
  EXPECT_EQ(size(M::PixelSampling, 7, 5, 2, 2), std::make_pair(int64_t{6}, int64_t{4}));
  EXPECT_EQ(size(M::PixelSampling, 7, 5, 2, 12), std::make_pair(int64_t{6}, int64_t{0}));
  EXPECT_EQ(size(M::SquareSubpixelExpansion, 7, 5, 2, 3), std::make_pair(int64_t{21}, int64_t{15}));
  EXPECT_EQ(size(M::SmallestSquareWithFiller, 7, 5, 2, 5),
            std::make_pair(int64_t{21}, int64_t{15}));
  EXPECT_EQ(size(M::SmallestSquareWithoutFiller, 7, 5, 2, 5),
            std::make_pair(int64_t{35}, int64_t{25}));
  EXPECT_EQ(size(M::ExtendedPreserveSize, 7, 5, 2, 2), std::make_pair(int64_t{7}, int64_t{5}));
  // The extended block comes from c + m: 2 + 2 gives s = 2, 3 + 3 gives s = 6.
  EXPECT_EQ(size(M::ExtendedPreserveDetail, 7, 5, 2, 2), std::make_pair(int64_t{14}, int64_t{10}));
  EXPECT_EQ(size(M::ExtendedPreserveDetail, 7, 5, 3, 3), std::make_pair(int64_t{42}, int64_t{30}));
}

TEST(ShareSizeFits, BmpFieldsAndTheDataLimit) {
  constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
  EXPECT_TRUE(ShareSizeFits({0, 0}));
  EXPECT_TRUE(ShareSizeFits({kMax, 1}));
  EXPECT_FALSE(ShareSizeFits({kMax + 1, 1}));
  EXPECT_FALSE(ShareSizeFits({1, kMax + 1}));
  EXPECT_FALSE(ShareSizeFits({-1, 1}));
  // Width 32 has a 4-byte stride: the data plus 62 bytes of header must stay within 2^31 - 1.
  const int64_t rows = (kMax - 62) / 4;
  EXPECT_TRUE(ShareSizeFits({32, rows}));
  EXPECT_FALSE(ShareSizeFits({32, rows + 1}));
  EXPECT_FALSE(ShareSizeFits({kMax, kMax}));
  EXPECT_TRUE(ShareSizeFits({0, kMax}));
}

TEST(ShareTable, CreatesAndRegistersEveryShareBeforeSaving) {
  ScratchDir dir;
  FakeSession session(dir);
  ShareTable table(session);
  table.CreateShareImages(3, 10, 4);
  EXPECT_EQ(session.registered,
            (std::vector<std::string>{"capa1.bmp|capa1.bmp", "capa2.bmp|capa2.bmp",
                                      "capa3.bmp|capa3.bmp"}));
  ASSERT_EQ(table.Images().size(), 3u);
  EXPECT_EQ(table.Images()[2].FileName(), dir.File("capa3.bmp"));
  EXPECT_EQ(table.Images()[0].Width(), 10);
  EXPECT_EQ(table.Images()[0].Height(), 4);
  EXPECT_TRUE(session.selections.empty());
  EXPECT_FALSE(std::filesystem::exists(dir.File("capa1.bmp")));

  EXPECT_TRUE(table.SaveShareImages(3));
  EXPECT_EQ(session.selections, std::vector<int>{3});
  // A 10 x 4 blank share: 62 bytes of header and colour table and four 4-byte rows.
  EXPECT_EQ(std::filesystem::file_size(dir.File("capa3.bmp")), 78u);
}

TEST(ShareTable, AFailedSaveIsReportedAndTheOthersAreStillWritten) {
  ScratchDir dir;
  FakeSession session(dir);
  ShareTable table(session);
  table.CreateShareImages(2, 8, 8);
  table.Images()[0].SetFileName(dir.File("missing/capa1.bmp"));
  MessageLog log;
  EXPECT_FALSE(table.SaveShareImages(2));
  EXPECT_FALSE(table.AllSaved());
  EXPECT_EQ(session.messages,
            std::vector<std::string>{"|ERROR: Can't open " + dir.File("missing/capa1.bmp")});
  EXPECT_TRUE(log.Texts().empty());
  EXPECT_TRUE(std::filesystem::exists(dir.File("capa2.bmp")));
  EXPECT_EQ(session.selections, std::vector<int>{2});
}

class InnocentImages : public ::testing::Test {
 protected:
  InnocentImages() : session(dir) {
    EXPECT_TRUE(Picture({"bww", "wbw"}, dir.File("a.bmp")).Save());
    EXPECT_TRUE(Picture({"bw", "wb"}, dir.File("small.bmp")).Save());
  }
  ScratchDir dir;
  FakeSession session;
  const BasisMatrix s0 = testing::Matrix({"001", "001", "001"});
  const BasisMatrix s1 = testing::Matrix({"100", "010", "001"});
  const BmpImage secret = Picture({"bwb", "wbw"});
  const std::unique_ptr<RandomSource> random = MakeSeededRandom(1);
  const std::string kMessage = "|Cannot Encrypt without valid innocent image source file.";
};

TEST_F(InnocentImages, OnePerParticipantInOrderThenTheShares) {
  session.innocentChoices = {dir.File("a.bmp"), dir.File("a.bmp"), dir.File("a.bmp")};
  ShareTable table(session);
  EXPECT_TRUE(ExtendedPreserveSize(*random, table, secret, s0, s1));
  EXPECT_EQ(session.titles, (std::vector<std::string>{"Select Innocent Image File 1",
                                                      "Select Innocent Image File 2",
                                                      "Select Innocent Image File 3"}));
  EXPECT_EQ(session.registered.size(), 3u);
  EXPECT_TRUE(session.messages.empty());
  EXPECT_TRUE(std::filesystem::exists(dir.File("capa3.bmp")));
}

TEST_F(InnocentImages, CancelGivesUpBeforeAnyShareIsCreated) {
  session.innocentChoices = {dir.File("a.bmp"), std::nullopt, dir.File("a.bmp")};
  ShareTable table(session);
  EXPECT_FALSE(ExtendedPreserveDetail(*random, table, secret, s0, s1));
  EXPECT_EQ(session.titles.size(), 2u);
  EXPECT_EQ(session.messages, std::vector<std::string>{kMessage});
  EXPECT_TRUE(session.registered.empty());
  EXPECT_TRUE(table.Images().empty());
  EXPECT_FALSE(std::filesystem::exists(dir.File("capa1.bmp")));
}

TEST_F(InnocentImages, UnreadableOrSmallerImagesGiveUpLikeACancel) {
  {
    session.innocentChoices = {dir.File("nothing.bmp")};
    MessageLog log;
    ShareTable table(session);
    EXPECT_FALSE(ExtendedPreserveSize(*random, table, secret, s0, s1));
    EXPECT_TRUE(log.Texts().empty());
    EXPECT_EQ(session.messages, (std::vector<std::string>{
                                    "|ERROR: Cannot open " + dir.File("nothing.bmp"), kMessage}));
  }
  session.messages.clear();
  {
    // Narrower than the secret: it would be read outside its rows.
    session.innocentChoices = {dir.File("a.bmp"), dir.File("small.bmp")};
    MessageLog log;
    ShareTable table(session);
    EXPECT_FALSE(ExtendedPreserveSize(*random, table, secret, s0, s1));
    EXPECT_TRUE(log.Texts().empty());
    EXPECT_EQ(session.messages, std::vector<std::string>{kMessage});
    EXPECT_TRUE(session.registered.empty());
  }
}

}  // namespace
}  // namespace quillon
