// quillon-cli with pictures beyond two-colour BMP: PNG and JPEG secrets, layers and innocent
// images, PNG shares, the two-colour options and warnings, and the print command.
#include <gtest/gtest.h>
#include <png.h>

#include <cstring>
#include <filesystem>

#include "io/picture.h"
#include "io/png_writer.h"
#include "tests/cli/cli_test_util.h"
#include "tests/io/bmp_file.h"
#include "tests/test_util.h"

// Fontconfig, which Cairo uses for the labels, keeps its font caches for the life of the
// process on purpose; LeakSanitizer would count them as leaks.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig\n";
}

namespace quillon::cli {
namespace {

using quillon::testing::LoadBmp;
using quillon::testing::ReadFileBytes;
using quillon::testing::ScratchDir;
using testing::CliRun;
using testing::Lines;
using testing::RunBinary;
using testing::RunInProcess;
namespace fs = std::filesystem;

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

std::vector<std::string> FilesIn(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// A colour PNG: dark red letters-like bars (luminance 56) on light yellow (226), top half.
void WriteColourPng(const std::string& path, int width, int height) {
  std::vector<uint8_t> rgb(3 * width * height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const bool ink = y < height / 2 && x % 4 < 2;
      uint8_t* p = &rgb[3 * (y * width + x)];
      p[0] = ink ? 160 : 250;
      p[1] = ink ? 20 : 240;
      p[2] = ink ? 20 : 120;
    }
  }
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = width;
  image.height = height;
  image.format = PNG_FORMAT_RGB;
  ASSERT_TRUE(png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr));
}

GreyPicture Decode(const std::string& path) {
  GreyPicture picture;
  EXPECT_TRUE(DecodePictureFile(Env::Default(), path, picture)) << path;
  return picture;
}

TEST(PicturesCliTest, BrokenPicturesFailWithOneLineAndWriteNothing) {
  const std::string data = QUILLON_PICTURES_DIR;
  ScratchDir dir;
  WriteColourPng(dir.File("good.png"), 8, 8);
  for (const char* name : {"truncated.png", "huge.png", "bomb.jpg", "truncated.jpg"}) {
    const std::string bad = data + "/" + name;
    const std::vector<std::vector<std::string>> commands = {
        {"split", bad, "--scheme", "2of2", "--out", "out"},
        {"split", "good.png", "--scheme", "2of2", "--method", "extended-size", "--innocent",
         "good.png," + bad, "--out", "out"},
        {"stack", "good.png", bad, "-o", "out.bmp"},
        {"print", bad, "--scheme", "2of2", "--pdf", "out.pdf"},
    };
    for (const auto& command : commands) {
      const CliRun run = RunBinary(dir.Path().string(), command);
      EXPECT_EQ(run.status, 1) << name << " " << command[0] << ": " << run.err;
      EXPECT_EQ(Lines(run.err).size(), 1u) << run.err;
      EXPECT_TRUE(Contains(run.err, name)) << run.err;
      EXPECT_EQ(run.out, "");
      EXPECT_EQ(FilesIn(dir.Path()), (std::vector<std::string>{"good.png"})) << command[0];
    }
  }
}

TEST(PicturesCliTest, ColourPngSecretBecomesPngSharesThatStackToIt) {
  ScratchDir dir;
  const int width = 24, height = 10;
  WriteColourPng(dir.File("secret.png"), width, height);
  CliRun run =
      RunInProcess({"split", dir.File("secret.png"), "--scheme", "2of2", "--format", "png",
                    "--save-secret", dir.File("two.png"), "--seed", "7", "--out", dir.File("out")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Lines(run.out),
            (std::vector<std::string>{dir.File("out/capa1.png"), dir.File("out/capa2.png"),
                                      dir.File("two.png")}));
  EXPECT_EQ(FilesIn(dir.File("out")), (std::vector<std::string>{"capa1.png", "capa2.png"}));
  const GreyPicture source = Decode(dir.File("secret.png"));
  const GreyPicture secret = Decode(dir.File("two.png"));
  ASSERT_EQ(secret.width, width);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x)
      ASSERT_EQ(secret.At(x, y), source.At(x, y) < 128 ? 0 : 255) << x << "," << y;
  }
  run = RunInProcess({"stack", dir.File("out/capa1.png"), dir.File("out/capa2.png"), "-o",
                      dir.File("stacked.bmp")});
  ASSERT_EQ(run.status, 0) << run.err;
  BmpImage stacked(dir.File("stacked.bmp"));
  ASSERT_TRUE(stacked.Load(Env::Default()));
  int whiteShown = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const bool black = stacked.GetPixel(height - 1 - y, x) == 'b';
      if (secret.At(x, y) == 0) {
        EXPECT_TRUE(black) << x << "," << y;
      }
      whiteShown += black ? 0 : 1;
    }
  }
  EXPECT_GT(whiteShown, 0);

  // The same two-colour secret given as a BMP makes byte-identical BMP shares.
  run = RunInProcess({"split", dir.File("two.png"), "--scheme", "2of2", "--seed", "3", "--out",
                      dir.File("a"), "--save-secret", dir.File("two.bmp")});
  ASSERT_EQ(run.status, 0) << run.err;
  run = RunInProcess(
      {"split", dir.File("two.bmp"), "--scheme", "2of2", "--seed", "3", "--out", dir.File("b")});
  ASSERT_EQ(run.status, 0) << run.err;
  for (const char* share : {"capa1.bmp", "capa2.bmp"})
    EXPECT_EQ(ReadFileBytes(dir.File(std::string("a/") + share)),
              ReadFileBytes(dir.File(std::string("b/") + share)));
}

TEST(PicturesCliTest, SecretsWhoseReadingMisleadsAreWarnedAboutWithTheFix) {
  ScratchDir dir;
  const std::array<uint8_t, 3> black{0, 0, 0}, white{255, 255, 255};
  LoadBmp(dir.File("grey24.bmp"), 24, 2, 2, {}, {0x404040, 0xFFFFFF, 0xCC0000, 0xFFFFFF});
  LoadBmp(dir.File("negative.bmp"), 1, 2, 2, {white, black}, {0, 1, 1, 1});
  LoadBmp(dir.File("plain.bmp"), 1, 2, 2, {black, white}, {0, 1, 1, 1});
  LoadBmp(dir.File("allblack.bmp"), 1, 2, 2, {black, white}, {0, 0, 0, 0});
  struct Case {
    std::vector<std::string> options;
    std::string warning;  // empty: none
  };
  const std::vector<std::pair<std::string, Case>> cases = {
      {"grey24.bmp",
       {{},
        "no black pixel: the shares would hide an all-white picture; "
        "--threshold 128"}},
      {"grey24.bmp", {{"--threshold", "128"}, ""}},
      {"grey24.bmp", {{"--threshold", "20"}, "no black pixel"}},
      {"negative.bmp", {{}, "would hide its negative; --threshold 128"}},
      {"negative.bmp", {{"--dither"}, ""}},
      {"plain.bmp", {{}, ""}},
      {"allblack.bmp", {{}, "no white pixel"}},
      {"allblack.bmp", {{"--invert"}, "no black pixel"}},
  };
  for (const auto& [file, c] : cases) {
    std::vector<std::string> args = {"split", dir.File(file), "--scheme",
                                     "2of2",  "--out",        dir.File("out")};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const CliRun run = RunInProcess(args);
    EXPECT_EQ(run.status, 0) << file << ": " << run.err;
    if (c.warning.empty()) {
      EXPECT_EQ(run.err, "") << file;
    } else {
      EXPECT_EQ(Lines(run.err).size(), 1u) << run.err;
      EXPECT_TRUE(Contains(run.err, "warning: ") && Contains(run.err, c.warning))
          << file << ": " << run.err;
    }
  }
}

TEST(PicturesCliTest, PngAndJpegInnocentImagesFeedTheExtendedMethods) {
  ScratchDir dir;
  WriteColourPng(dir.File("secret.png"), 8, 6);
  WriteColourPng(dir.File("a.png"), 10, 8);
  ASSERT_EQ(std::system(("cp " + dir.File("a.png") + " " + dir.File("b.png")).c_str()), 0);
  const CliRun run =
      RunInProcess({"split", dir.File("secret.png"), "--scheme", "2of2", "--method",
                    "extended-detail", "--innocent", dir.File("a.png") + "," + dir.File("b.png"),
                    "--dither", "--out", dir.File("out")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Lines(run.out).size(), 2u);
  EXPECT_EQ(FilesIn(dir.File("out")), (std::vector<std::string>{"capa1.bmp", "capa2.bmp"}));
}

TEST(PicturesCliTest, PrintWritesPdfAndOneSvgPerPage) {
  ScratchDir dir;
  WriteColourPng(dir.File("secret.png"), 20, 12);
  ASSERT_EQ(RunInProcess({"split", dir.File("secret.png"), "--scheme", "2of2", "--out",
                          dir.Path().string(), "--format", "png"})
                .status,
            0);
  const std::string one = dir.File("capa1.png"), two = dir.File("capa2.png");
  CliRun run = RunInProcess({"print", one, two, "--scheme", "2of2", "--pdf", dir.File("s.pdf"),
                             "--svg", dir.File("s.svg")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Lines(run.out), (std::vector<std::string>{dir.File("s.pdf"), dir.File("s-1.svg"),
                                                      dir.File("s-2.svg")}));
  const std::vector<uint8_t> pdf = ReadFileBytes(dir.File("s.pdf"));
  ASSERT_GT(pdf.size(), 5u);
  EXPECT_EQ(std::string(pdf.begin(), pdf.begin() + 5), "%PDF-");
  run = RunInProcess(
      {"print", one, two, "--scheme", "2of2", "--same-page", "--svg", dir.File("t.svg")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Lines(run.out), (std::vector<std::string>{dir.File("t.svg")}));
  // Without --scheme, on a paper of its own and with pixels too fine to align by hand (one
  // warning); a name that is not UTF-8 is drawn with U+FFFD, and no share goes missing.
  const std::string odd = dir.File("odd\xED\xA0\x80.png");
  fs::copy_file(two, odd);
  run = RunInProcess({"print", one, two, odd, "--same-page", "--paper", "300x200", "--pixel-mm",
                      "0.1", "--pdf", dir.File("u.pdf"), "--svg", dir.File("u.svg")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Lines(run.err).size(), 1u) << run.err;
  EXPECT_TRUE(Contains(run.err, "warning: pixels of 0.1 mm")) << run.err;
  const std::vector<uint8_t> pdfBytes = ReadFileBytes(dir.File("u.pdf"));
  const std::string pdfText(pdfBytes.begin(), pdfBytes.end());
  size_t images = 0;
  for (size_t at = 0; (at = pdfText.find("/ImageMask true", at)) != std::string::npos; ++at)
    ++images;
  EXPECT_EQ(images, 3u);
  const std::vector<uint8_t> svgBytes = ReadFileBytes(dir.File("u.svg"));
  EXPECT_TRUE(Contains(std::string(svgBytes.begin(), svgBytes.end()),
                       "odd\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD.png    20 x 12 pixels<"));
  // Too large for the paper: one line, nothing written, the earlier file untouched.
  run = RunInProcess(
      {"print", one, "--scheme", "2of2", "--pixel-mm", "15", "--pdf", dir.File("s.pdf")});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(Contains(run.err, "inside its margins")) << run.err;
  EXPECT_EQ(Lines(run.err).size(), 1u);
  EXPECT_EQ(ReadFileBytes(dir.File("s.pdf")), pdf);
}

TEST(PicturesCliTest, BadPictureOptionsAreUsageErrors) {
  const std::vector<std::vector<std::string>> cases = {
      {"split", "s.png", "--scheme", "2of2", "--threshold", "256"},
      {"split", "s.png", "--scheme", "2of2", "--threshold", "-1"},
      {"split", "s.png", "--scheme", "2of2", "--threshold", "dark"},
      {"split", "s.png", "--scheme", "2of2", "--threshold", "100", "--dither"},
      {"split", "s.png", "--scheme", "2of2", "--format", "gif"},
      {"split", "s.png", "--scheme", "2of2", "--save-secret="},
      {"print", "s.png", "--scheme", "2of2"},
      {"print", "--scheme", "2of2", "--pdf", "o.pdf"},
      {"print", "s.png", "--pdf", "o.pdf", "--n", "3"},
      {"print", "s.png", "--pdf", "o.pdf", "--method", "square"},
      {"print", "s.png", "--scheme", "2of2", "--pdf", "o.pdf", "--paper", "a6"},
      {"print", "s.png", "--pdf", "o.pdf", "--paper", "40x300"},
      {"print", "s.png", "--pdf", "o.pdf", "--paper", "210x"},
      {"print", "s.png", "--scheme", "2of2", "--pdf", "o.pdf", "--pixel-mm", "0.04"},
      {"print", "s.png", "--scheme", "2of2", "--pdf", "o.pdf", "--pixel-mm", "1e1"},
      {"print", "s.png", "--scheme", "2of2", "--pdf", "o.pdf", "--method", "bogus"},
  };
  for (const auto& args : cases) {
    const CliRun run = RunInProcess(args);
    EXPECT_EQ(run.status, 2) << ::testing::PrintToString(args) << run.err;
    EXPECT_EQ(Lines(run.err).size(), 1u) << run.err;
  }
}

}  // namespace
}  // namespace quillon::cli
