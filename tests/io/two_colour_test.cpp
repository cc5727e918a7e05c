// Threshold, error diffusion and the colour reading of BMPs, and what InspectTwoColour finds.
#include <gtest/gtest.h>

#include "io/two_colour.h"
#include "tests/io/bmp_file.h"
#include "tests/test_util.h"

namespace quillon {
namespace {

using testing::LoadBmp;
using testing::ScratchDir;

using Mode = TwoColourRule::Mode;

GreyPicture Grey(int32_t width, int32_t height, std::vector<uint8_t> luma) {
  return GreyPicture{width, height, std::move(luma)};
}

// The picture as rows of 'b' and 'w', top row first.
std::vector<std::string> Rows(const BmpImage& image) {
  std::vector<std::string> rows;
  for (int32_t y = 0; y < image.Height(); ++y) {
    std::string row;
    for (int32_t x = 0; x < image.Width(); ++x)
      row += image.GetPixel(image.Height() - 1 - y, x);
    rows.push_back(row);
  }
  return rows;
}

TEST(TwoColourTest, ThresholdAndInvertKeepTheTopRowOnTop) {
  const GreyPicture picture = Grey(4, 2, {0, 127, 128, 255, 200, 100, 50, 129});
  struct Case {
    int threshold;
    bool invert;
    std::vector<std::string> rows;
  };
  const Case cases[] = {
      {128, false, {"bbww", "wbbw"}}, {128, true, {"wwbb", "bwwb"}},  {0, false, {"wwww", "wwww"}},
      {255, false, {"bbbw", "bbbb"}}, {101, false, {"bwww", "wbbw"}},
  };
  for (const Case& c : cases) {
    TwoColourRule rule{Mode::Threshold, c.threshold, c.invert};
    const BmpImage image = MakeTwoColour("t.bmp", picture, rule);
    EXPECT_EQ(image.BitCount(), 1);
    EXPECT_EQ(Rows(image), c.rows) << c.threshold << (c.invert ? " inverted" : "");
  }
}

TEST(TwoColourTest, ErrorDiffusionSpreadsTheErrorWithFloydSteinbergWeights) {
  const TwoColourRule dither{Mode::Dither, 128, false};
  // 100 is black, error 100: 43 to the right makes 143 white, whose error -112 gives -49 to
  // the third pixel: 51, black.
  EXPECT_EQ(Rows(MakeTwoColour("d.bmp", Grey(3, 1, {100, 100, 100}), dither)),
            (std::vector<std::string>{"bwb"}));
  // Downwards: 5/16 of 100 is 31, and 100 + 31 is white.
  EXPECT_EQ(Rows(MakeTwoColour("d.bmp", Grey(1, 2, {100, 100}), dither)),
            (std::vector<std::string>{"b", "w"}));
  // Down and to the left: 3/16 of 100 is 18, and 110 + 18 is white; 109 + 18 is not.
  EXPECT_EQ(Rows(MakeTwoColour("d.bmp", Grey(2, 2, {255, 100, 110, 255}), dither)),
            (std::vector<std::string>{"wb", "ww"}));
  EXPECT_EQ(Rows(MakeTwoColour("d.bmp", Grey(2, 2, {255, 100, 109, 255}), dither)),
            (std::vector<std::string>{"wb", "bw"}));
  // Over a large area the share of white pixels follows the grey level.
  for (int level : {0, 30, 64, 128, 200, 255}) {
    const int32_t side = 64;
    const BmpImage image =
        MakeTwoColour("d.bmp", Grey(side, side, std::vector<uint8_t>(side * side, level)), dither);
    int white = 0;
    for (const std::string& row : Rows(image))
      white += static_cast<int>(std::count(row.begin(), row.end(), 'w'));
    EXPECT_NEAR(white / double(side * side), level / 255.0, 0.01) << level;
  }
}

TEST(TwoColourTest, BmpsAreReadByColourThroughTheirPalette) {
  ScratchDir dir;
  // White first, black second, as some tools write bilevel BMPs: stored, the picture is its
  // own negative; by colour it is right.
  const BmpImage negative =
      LoadBmp(dir.File("picture.bmp"), 1, 3, 2, {{255, 255, 255}, {0, 0, 0}}, {1, 0, 0, 0, 0, 1});
  EXPECT_EQ(Rows(TwoColourView("v.bmp", negative, false)),
            (std::vector<std::string>{"wbb", "bbw"}));
  EXPECT_EQ(Rows(MakeTwoColour("c.bmp", negative, TwoColourRule{})),
            (std::vector<std::string>{"bww", "wwb"}));
  // Dark grey and red text in a 24-bit BMP is not pure black, yet dark.
  const BmpImage text24 =
      LoadBmp(dir.File("picture.bmp"), 24, 4, 1, {}, {0x404040, 0xCC0000, 0xFFFFFF, 0x000000});
  EXPECT_EQ(Rows(TwoColourView("v.bmp", text24, false)), (std::vector<std::string>{"wwwb"}));
  EXPECT_EQ(Rows(MakeTwoColour("c.bmp", text24, TwoColourRule{})),
            (std::vector<std::string>{"bbwb"}));
  // An 8-bit grey ramp through its palette.
  std::vector<std::array<uint8_t, 3>> ramp;
  for (int i = 0; i < 256; ++i)
    ramp.push_back({static_cast<uint8_t>(i), static_cast<uint8_t>(i), static_cast<uint8_t>(i)});
  const BmpImage grey8 = LoadBmp(dir.File("picture.bmp"), 8, 4, 1, ramp, {0, 99, 100, 255});
  EXPECT_EQ(Rows(MakeTwoColour("c.bmp", grey8, TwoColourRule{Mode::Threshold, 100, false})),
            (std::vector<std::string>{"bbww"}));
}

TEST(TwoColourTest, InspectionFindsMissingColoursAndNegativePalettes) {
  ScratchDir dir;
  const std::array<uint8_t, 3> black{0, 0, 0}, white{255, 255, 255}, grey{128, 128, 128},
      light{200, 200, 200};
  struct Case {
    const char* name;
    int bits;
    std::vector<std::array<uint8_t, 3>> palette;
    std::vector<uint32_t> pixels;
    bool hasBlack, hasWhite, negative;
  };
  const Case cases[] = {
      {"plain", 1, {black, white}, {0, 1, 1, 0}, true, true, false},
      {"white first", 1, {white, black}, {0, 1, 1, 0}, true, true, true},
      {"all index 1", 1, {black, white}, {1, 1, 1, 1}, false, true, false},
      {"all index 0", 1, {white, black}, {0, 0, 0, 0}, true, false, false},
      {"light entry 0, darker used", 8, {light, grey, white}, {0, 1, 0, 1}, true, true, true},
      {"light entry 0, one lighter used", 8, {light, grey, white}, {0, 1, 2, 1}, true, true, false},
      {"24-bit dark grey", 24, {}, {0x333333, 0xFFFFFF, 0x333333, 0xFFFFFF}, false, true, false},
      {"24-bit pure black", 24, {}, {0, 0, 0, 0}, true, false, false},
  };
  for (const Case& c : cases) {
    const BmpImage image = LoadBmp(dir.File("picture.bmp"), c.bits, 2, 2, c.palette, c.pixels);
    const TwoColourFindings findings = InspectTwoColour(image);
    EXPECT_EQ(findings.hasBlack, c.hasBlack) << c.name;
    EXPECT_EQ(findings.hasWhite, c.hasWhite) << c.name;
    EXPECT_EQ(findings.negativePalette, c.negative) << c.name;
  }
}

}  // namespace
}  // namespace quillon
