#include "cli/terminal_picture.h"

#include <gtest/gtest.h>

#include "cli/demo_secret.h"
#include "tests/cli/cli_test_util.h"

namespace quillon::cli {
namespace {

using testing::Lines;
using testing::MakeImage;

TEST(RenderPictureTest, TopLineShowsTheLastStoredRows) {
  // 4 wide and 8 high: cells are 1 x 2 pixels, so four lines. Stored row 0 is the bottom.
  BmpImage image = MakeImage("p", 8, 4, [](int32_t r, int32_t c) { return r >= 6 || c == 0; });
  EXPECT_EQ(RenderPicture(image, 80, Glyphs::Ascii), "####\n#   \n#   \n#   \n");
}

TEST(RenderPictureTest, CellsShowTheShareOfBlackPixels) {
  BmpImage checker = MakeImage("p", 4, 4, [](int32_t r, int32_t c) { return (r + c) % 2 == 0; });
  EXPECT_EQ(RenderPicture(checker, 2, Glyphs::Ascii), "::\n");
  BmpImage quarter = MakeImage("p", 4, 4, [](int32_t r, int32_t c) { return r % 2 && c % 2; });
  EXPECT_EQ(RenderPicture(quarter, 2, Glyphs::Ascii), "..\n");
  EXPECT_EQ(RenderPicture(checker, 2, Glyphs::Unicode), "\u2592\u2592\n");
}

TEST(RenderPictureTest, WideImagesFitTheColumnsAndKeepTheirShape) {
  BmpImage wide = MakeImage("p", 100, 400, [](int32_t, int32_t c) { return c < 200; });
  std::vector<std::string> lines = Lines(RenderPicture(wide, 80, Glyphs::Ascii));
  // 400 / 80 = 5 pixels across a cell, 10 down a line.
  ASSERT_EQ(lines.size(), 10u);
  for (const std::string& line : lines) {
    EXPECT_EQ(line, std::string(40, '#') + std::string(40, ' '));
  }
  EXPECT_EQ(RenderPicture(BmpImage("never-loaded"), 80, Glyphs::Ascii), "");
  EXPECT_EQ(Lines(RenderPicture(MakeImage("p", 1, 300, [](int32_t, int32_t) { return 1; }), 80,
                                Glyphs::Ascii))
                .size(),
            1u);
}

TEST(DemoSecretTest, LettersStandUprightInTheStoredRows) {
  // "L" without margin: its foot is the bottom row, stored first.
  BmpImage l = DrawWord("l", "L", 1, 1, 0);
  ASSERT_EQ(l.Width(), 5);
  ASSERT_EQ(l.Height(), 7);
  for (int32_t c = 0; c < 5; ++c)
    EXPECT_EQ(l.GetPixel(0, c), 'b');
  EXPECT_EQ(l.GetPixel(6, 0), 'b');
  EXPECT_EQ(l.GetPixel(6, 1), 'w');

  BmpImage secret = MakeDemoSecret("secret.bmp");
  EXPECT_EQ(secret.BitCount(), 1);
  EXPECT_EQ(secret.Width(), (7 * 6 - 1 + 2) * kDemoDotWidth);
  EXPECT_EQ(secret.Height(), (7 + 2) * kDemoDotHeight);
  EXPECT_EQ(secret.GetPixel(0, 0), 'w');  // the margin is white
  // The top dot of the Q's bowl, one dot down from the top left corner and two across.
  const int32_t top = secret.Height() - 1 - kDemoDotHeight;
  EXPECT_EQ(secret.GetPixel(top, 2 * kDemoDotWidth), 'b');
  EXPECT_EQ(secret.GetPixel(top, kDemoDotWidth), 'w');
}

}  // namespace
}  // namespace quillon::cli
