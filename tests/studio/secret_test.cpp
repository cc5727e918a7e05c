// The secret: opened by content, read in two colours exactly as quillon-cli reads it, and the
// warnings with the fixes that clear them.
#include "studio/secret.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/io/bmp_file.h"
#include "tests/studio/studio_test_util.h"

namespace quillon::studio {
namespace {

using testing::ScratchDir;

// 16 x 16 pixels of luminance lowest .. lowest + 255 * step / 255, row by row.
std::vector<uint8_t> Ramp(int lowest, int highest) {
  std::vector<uint8_t> luma(256);
  for (int i = 0; i < 256; ++i)
    luma[i] = static_cast<uint8_t>(lowest + (highest - lowest) * i / 255);
  return luma;
}

int BlackPixels(const BmpImage& image) {
  int black = 0;
  for (const std::string& row : testing::SeenRows(image))
    black += static_cast<int>(std::count(row.begin(), row.end(), 'b'));
  return black;
}

class Secret : public ::testing::Test {
 protected:
  Secret() {
    testing::WriteGreyPng(dir.File("ramp.bmp"), 16, 16, Ramp(0, 255));  // a PNG, misnamed
    std::vector<uint32_t> indices(64);
    for (size_t i = 0; i < indices.size(); ++i)
      indices[i] = static_cast<uint32_t>(i * 4);
    std::vector<std::array<uint8_t, 3>> greys(256);
    for (int i = 0; i < 256; ++i)
      greys[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(i), static_cast<uint8_t>(i)};
    testing::LoadBmp(dir.File("grey8.bmp"), 8, 8, 8, greys, indices);
    testing::SaveBmp(testing::SeenPicture({"bwbw", "wwbb"}), dir.File("plain.bmp"));
  }
  ScratchDir dir;
  SecretPicture secret;
};

// What the Studio encrypts is what quillon-cli would encrypt for the same choices.
TEST_F(Secret, ReadsLikeTheCommandLine) {
  struct Case {
    const char* file;
    SecretReading reading;
  } cases[] = {
      {"ramp.bmp", {false, {TwoColourRule::Mode::Threshold, 128, false}}},
      {"ramp.bmp", {false, {TwoColourRule::Mode::Threshold, 1, true}}},
      {"ramp.bmp", {true, {TwoColourRule::Mode::Dither, 128, false}}},
      {"grey8.bmp", {true, {TwoColourRule::Mode::Threshold, 100, false}}},
      {"grey8.bmp", {true, {TwoColourRule::Mode::Dither, 128, true}}},
      {"grey8.bmp", {false, {TwoColourRule::Mode::Threshold, 128, false}}},
      {"plain.bmp", {false, {TwoColourRule::Mode::Threshold, 128, true}}},
  };
  for (const Case& c : cases) {
    const std::string path = dir.File(c.file);
    ASSERT_TRUE(secret.Open(Env::Default(), path)) << c.file;
    ASSERT_TRUE(secret.SetReading(c.reading)) << c.file;
    BmpImage expected;
    ASSERT_TRUE(
        LoadTwoColourPicture(Env::Default(), path, c.reading.byColour, c.reading.rule, expected));
    EXPECT_EQ(testing::SeenRows(*secret.TwoColour()), testing::SeenRows(expected)) << c.file;
    EXPECT_EQ(secret.TwoColour()->FileName(), path);
    EXPECT_EQ(secret.TwoColour()->BitCount(), 1);
  }
  // A threshold t makes exactly the pixels darker than t black.
  ASSERT_TRUE(secret.Open(Env::Default(), dir.File("ramp.bmp")));
  EXPECT_EQ(secret.Format(), PictureFormat::Png);
  EXPECT_TRUE(secret.ReadsByLuminance());
  for (int t : {0, 1, 97, 255}) {
    ASSERT_TRUE(secret.SetReading({true, {TwoColourRule::Mode::Threshold, t, false}}));
    EXPECT_EQ(BlackPixels(*secret.TwoColour()), t);
  }
}

// The luminance shown beside the reading: a PNG's at once, a BMP's once it is read by colour.
TEST_F(Secret, LuminanceAsRead) {
  ASSERT_TRUE(secret.Open(Env::Default(), dir.File("ramp.bmp")));
  EXPECT_EQ(secret.Luminance().width, 16);
  EXPECT_EQ(secret.Luminance().luma, Ramp(0, 255));
  ASSERT_TRUE(secret.Open(Env::Default(), dir.File("grey8.bmp")));
  EXPECT_EQ(secret.Luminance().width, 0);
  ASSERT_TRUE(secret.SetReading({true, {}}));
  EXPECT_EQ(secret.Luminance().width, 8);
  EXPECT_EQ(secret.Luminance().height, 8);
}

// A failed open leaves the secret that was open; a running job keeps the picture it took.
TEST_F(Secret, FailuresKeepWhatWasThere) {
  testing::WriteFileBytes(dir.File("notes.txt"), {'h', 'i'});
  ASSERT_TRUE(secret.Open(Env::Default(), dir.File("plain.bmp")));
  const std::shared_ptr<const BmpImage> taken = secret.TwoColour();
  const std::vector<std::string> before = testing::SeenRows(*taken);
  struct Case {
    std::string path;
    Code code;
  } cases[] = {
      {dir.File("missing.png"), Code::kCannotOpen},
      {dir.File("notes.txt"), Code::kNotAPicture},
      {dir.Path().string(), Code::kNotRegularFile},
  };
  for (const Case& c : cases) {
    const Outcome outcome = secret.Open(Env::Default(), c.path);
    EXPECT_EQ(outcome.code, c.code) << c.path;
    EXPECT_EQ(outcome.file, c.path);
    EXPECT_EQ(secret.Path(), dir.File("plain.bmp"));
  }
  ASSERT_TRUE(secret.SetReading({false, {TwoColourRule::Mode::Threshold, 128, true}}));
  EXPECT_EQ(testing::SeenRows(*taken), before);
  EXPECT_NE(testing::SeenRows(*secret.TwoColour()), before);

  SecretPicture empty;
  EXPECT_TRUE(empty.Empty());
  EXPECT_EQ(empty.SetReading({}).code, Code::kNoSecret);
}

// Each misleading reading comes with the fixes that help, and applying the first clears it.
TEST_F(Secret, WarningsComeWithTheirFixes) {
  testing::WriteGreyPng(dir.File("light.png"), 16, 16, Ramp(200, 250));
  testing::WriteGreyPng(dir.File("dark.png"), 16, 16, Ramp(10, 60));
  testing::WriteGreyPng(dir.File("blank.png"), 16, 16, std::vector<uint8_t>(256, 255));
  // Palette entry 0 is white: as stored, the picture's negative.
  testing::LoadBmp(dir.File("negative.bmp"), 1, 4, 2, {{255, 255, 255}, {0, 0, 0}},
                   {0, 1, 1, 0, 0, 0, 1, 1});
  // Dark grey, but no pixel has all bits zero: as stored, nothing is black.
  testing::LoadBmp(dir.File("dim.bmp"), 24, 2, 2, {}, {0x202020, 0x202020, 0xF0F0F0, 0x101010});
  using K = SecretWarningKind;
  using F = FixKind;
  struct Case {
    const char* file;
    K kind;
    std::vector<FixKind> fixes;
    int threshold;  // of the kChangeThreshold fix
  } cases[] = {
      {"light.png", K::kNoBlack, {F::kChangeThreshold, F::kDither}, 225},
      {"dark.png", K::kNoWhite, {F::kChangeThreshold, F::kDither, F::kInvert}, 35},
      {"blank.png", K::kNoBlack, {F::kDither}, 0},
      {"negative.bmp", K::kNegativePalette, {F::kReadByColour, F::kInvert}, 0},
      {"dim.bmp", K::kNoBlack, {F::kReadByColour}, 0},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(secret.Open(Env::Default(), dir.File(c.file))) << c.file;
    ASSERT_EQ(secret.Warnings().size(), 1u) << c.file;
    const SecretWarning& warning = secret.Warnings()[0];
    EXPECT_EQ(warning.kind, c.kind) << c.file;
    std::vector<FixKind> kinds;
    for (const SecretFix& fix : warning.fixes) {
      kinds.push_back(fix.kind);
      if (fix.kind == F::kChangeThreshold) {
        EXPECT_EQ(fix.threshold, c.threshold) << c.file;
      }
    }
    EXPECT_EQ(kinds, c.fixes) << c.file;
    if (c.kind == K::kNoBlack && std::string(c.file) == "blank.png")
      continue;  // nothing makes black of white paper
    const SecretFix fix = warning.fixes[0];
    ASSERT_TRUE(secret.SetReading(secret.Fixed(fix))) << c.file;
    EXPECT_TRUE(secret.Warnings().empty() || secret.Warnings()[0].kind != c.kind) << c.file;
  }
  // Dithering white paper still finds no black, and offers nothing more.
  ASSERT_TRUE(secret.Open(Env::Default(), dir.File("blank.png")));
  ASSERT_TRUE(secret.SetReading(secret.Fixed({FixKind::kDither})));
  ASSERT_EQ(secret.Warnings().size(), 1u);
  EXPECT_TRUE(secret.Warnings()[0].fixes.empty());
}

}  // namespace
}  // namespace quillon::studio
