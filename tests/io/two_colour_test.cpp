// Threshold, error diffusion and the colour reading of BMPs, and what InspectTwoColour finds.
#include <gtest/gtest.h>

#include "io/two_colour.h"

#include <unistd.h>

#include <filesystem>
#include <random>

#include "reference/plain_two_colour.h"
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

// A random plain BMP of 1 to 24 bits, loaded: a random colour table, random bits past the
// width and in the row padding, and pixels by mode: 0 all random, 1 all one value, 2 all one
// value but one (anywhere, the last pixel too), 3 grey index 0 in turn with a black index and
// one white pixel in the last row (a scan that stops before it misses that the palette is not
// negative). So every finding and every place where a scan may stop or overrun a row is met.
BmpImage RandomBmp(const std::string& path, int bits, int32_t width, int32_t height, int mode,
                   std::mt19937& engine) {
  const int64_t stride = BmpStride(width, bits);
  const size_t entries = bits <= 8 ? size_t{1} << bits : 0;
  const size_t offset = 54 + 4 * entries;
  std::vector<uint8_t> bytes(offset + stride * height);
  for (size_t i = 54; i < bytes.size(); ++i)
    bytes[i] = static_cast<uint8_t>(engine());
  bytes[0] = 'B';
  bytes[1] = 'M';
  testing::Put(bytes, 10, static_cast<uint32_t>(offset), 4);
  testing::Put(bytes, 14, 40, 4);
  testing::Put(bytes, 18, width, 4);
  testing::Put(bytes, 22, height, 4);
  testing::Put(bytes, 26, 1, 2);
  testing::Put(bytes, 28, bits, 2);
  testing::Put(bytes, 30, 0, 4);
  testing::Put(bytes, 46, 0, 4);
  // 24-bit values: black, white, and colours with one or two channels at zero.
  const uint32_t values = bits == 24 ? 4 : 1u << bits;
  auto value = [&](uint32_t v) -> uint32_t {
    static const uint32_t kDeep[] = {0, 0xFFFFFF, 0x000100, 0x010001};
    return bits == 24 ? kDeep[v] : v;
  };
  uint32_t common = engine() % values, other = common, third = engine() % values;
  const int64_t pixels = int64_t{width} * height;
  int64_t odd = engine() % pixels;
  if (mode == 3) {
    common = 0;
    other = 1 + engine() % (values - 1);
    third = values > 2 ? 1 + (other + engine() % (values - 2)) % (values - 1) : other;
    odd = pixels - 1 - engine() % width;
    if (bits <= 8) {
      const uint32_t grey = 0x808080, black = 0, white = 0xFFFFFF;
      testing::Put(bytes, 54, grey, 4);
      testing::Put(bytes, 54 + 4 * other, black, 4);
      testing::Put(bytes, 54 + 4 * third, white, 4);
    }
  }
  for (int64_t n = 0; n < pixels; ++n) {
    uint32_t v = mode == 0 ? engine() % values : mode == 3 && n % 2 ? other : common;
    if (mode >= 2 && n == odd)
      v = third;
    uint8_t* row = bytes.data() + offset + (n / width) * stride;
    const int64_t x = n % width;
    if (bits == 24) {
      testing::Put(bytes, row - bytes.data() + 3 * x, value(v), 3);
    } else {
      const int64_t bit = x * bits;
      const int shift = 8 - bits - static_cast<int>(bit % 8);
      row[bit / 8] =
          static_cast<uint8_t>((row[bit / 8] & ~(((1 << bits) - 1) << shift)) | (v << shift));
    }
  }
  testing::WriteFileBytes(path, bytes);
  BmpImage image(path);
  EXPECT_TRUE(image.Load(Env::Default()));
  return image;
}

// The word-at-a-time inspection finds what the plain one finds, at every depth and width.
TEST(TwoColourTest, InspectionEqualsThePlainScan) {
  ScratchDir dir;
  // Hundreds of pictures, in memory where /dev/shm is there: a disk file system flushes a file
  // rewritten in place, and new files cost as much.
  const std::string path = std::filesystem::exists("/dev/shm")
                               ? "/dev/shm/quillon-two-colour-" + std::to_string(getpid()) + ".bmp"
                               : dir.File("r.bmp");
  std::mt19937 engine(16);
  int negatives = 0, withoutBlack = 0, withoutWhite = 0;
  for (int bits : {1, 2, 4, 8, 24}) {
    for (int32_t width : {1, 2, 3, 5, 7, 8, 9, 15, 17, 31, 63, 64, 65, 71, 129, 200}) {
      for (int picture = 0; picture < 8; ++picture) {
        // Tall ones too, so that a scan looks at its findings before the end.
        const int32_t height = static_cast<int32_t>(picture < 4 ? 150 : 1 + engine() % 5);
        const BmpImage image = RandomBmp(path, bits, width, height, picture % 4, engine);
        const TwoColourFindings plain = InspectTwoColourPlain(image);
        const TwoColourFindings fast = InspectTwoColour(image);
        const std::string what = std::to_string(bits) + " bits, " + std::to_string(width) + "x" +
                                 std::to_string(height) + ", picture " + std::to_string(picture);
        EXPECT_EQ(fast.hasBlack, plain.hasBlack) << what;
        EXPECT_EQ(fast.hasWhite, plain.hasWhite) << what;
        EXPECT_EQ(fast.negativePalette, plain.negativePalette) << what;
        negatives += plain.negativePalette;
        withoutBlack += !plain.hasBlack;
        withoutWhite += !plain.hasWhite;
      }
    }
  }
  std::filesystem::remove(path);
  // Every finding was met.
  EXPECT_GT(negatives, 20);
  EXPECT_GT(withoutBlack, 20);
  EXPECT_GT(withoutWhite, 20);
}

}  // namespace
}  // namespace quillon
