#include <gtest/gtest.h>

#include <filesystem>

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
  const std::string kMessage = "|Cannot Encrypt without valid innocent image source file.";
};

TEST_F(InnocentImages, OnePerParticipantInOrderThenTheShares) {
  session.innocentChoices = {dir.File("a.bmp"), dir.File("a.bmp"), dir.File("a.bmp")};
  ShareTable table(session);
  EXPECT_TRUE(ExtendedPreserveSize(table, secret, s0, s1));
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
  EXPECT_FALSE(ExtendedPreserveDetail(table, secret, s0, s1));
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
    EXPECT_FALSE(ExtendedPreserveSize(table, secret, s0, s1));
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
    EXPECT_FALSE(ExtendedPreserveSize(table, secret, s0, s1));
    EXPECT_TRUE(log.Texts().empty());
    EXPECT_EQ(session.messages, std::vector<std::string>{kMessage});
    EXPECT_TRUE(session.registered.empty());
  }
}

}  // namespace
}  // namespace quillon
