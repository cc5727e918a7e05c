// Printed shares rendered back to pixels (pdftoppm for PDF, rsvg-convert for SVG) must show
// every share pixel as a whole block of device dots exactly where the layout puts it, with the
// corner crosses; and the paper, pixel and label rules hold at their limits.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <random>

#include "io/picture.h"
#include "io/print_sheets.h"
#include "tests/test_util.h"

// Fontconfig, which Cairo uses for the labels, keeps its font caches for the life of the
// process on purpose; LeakSanitizer would count them as leaks.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig\n";
}

namespace quillon {
namespace {

using testing::ReadFileBytes;
using testing::ScratchDir;

// 254 dots per inch: ten device dots per millimetre.
constexpr int kDpi = 254;
constexpr double kDotsPerMm = 10;

BmpImage NoiseShare(int32_t width, int32_t height, unsigned seed) {
  std::mt19937 random(seed);
  BmpImage image("share.bmp", height, width);
  for (int32_t row = 0; row < height; ++row) {
    for (int32_t col = 0; col < width; ++col)
      image.SetPixel(row, col, random() % 2);
  }
  return image;
}

// A binary PGM as pdftoppm -gray writes it.
GreyPicture ReadPgm(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string magic;
  int width = 0, height = 0, maxValue = 0;
  in >> magic >> width >> height >> maxValue;
  in.get();
  GreyPicture picture{width, height, std::vector<uint8_t>(size_t(width) * height)};
  in.read(reinterpret_cast<char*>(picture.luma.data()), picture.luma.size());
  EXPECT_EQ(magic, "P5");
  EXPECT_TRUE(in) << path;
  return picture;
}

std::string Quote(const std::string& text) {
  return "'" + text + "'";
}

GreyPicture RenderPdfPage(const ScratchDir& dir, const std::string& pdf, int page) {
  const std::string base = dir.File("page" + std::to_string(page));
  const std::string command = std::string(QUILLON_PDFTOPPM) + " -r " + std::to_string(kDpi) +
                              " -gray -singlefile -f " + std::to_string(page + 1) + " -l " +
                              std::to_string(page + 1) + " " + Quote(pdf) + " " + Quote(base);
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  return ReadPgm(base + ".pgm");
}

GreyPicture RenderSvg(const std::string& svg) {
  const std::string png = svg + ".png";
  const std::string command = std::string(QUILLON_RSVG_CONVERT) + " -b white -d " +
                              std::to_string(kDpi) + " -p " + std::to_string(kDpi) + " -o " +
                              Quote(png) + " " + Quote(svg);
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  GreyPicture picture;
  EXPECT_TRUE(DecodePictureFile(Env::Default(), png, picture));
  return picture;
}

// A dot is black or white, not a grey that smoothing or a half-covered edge would leave.
enum class Dot { kBlack, kWhite, kGrey };

Dot DotAt(const GreyPicture& page, int64_t x, int64_t y) {
  if (x < 0 || y < 0 || x >= page.width || y >= page.height) {
    ADD_FAILURE() << "dot " << x << "," << y << " is off the page";
    return Dot::kGrey;
  }
  const uint8_t value = page.At(static_cast<int32_t>(x), static_cast<int32_t>(y));
  return value < 32 ? Dot::kBlack : value > 223 ? Dot::kWhite : Dot::kGrey;
}

int64_t Dots(double mm) {
  return std::llround(mm * kDotsPerMm);
}

// Every dot of every share pixel's block, a ring of dots just outside the image, and the
// crosses. The image's corner must fall on a whole dot.
void ExpectSheet(const GreyPicture& page, const Paper& paper, const BmpImage& share,
                 const PlacedShare& place, double pixelMm, const std::string& what) {
  EXPECT_NEAR(page.width, paper.widthMm * kDotsPerMm, 1) << what;
  EXPECT_NEAR(page.height, paper.heightMm * kDotsPerMm, 1) << what;
  const int64_t block = Dots(pixelMm), left = Dots(place.xMm), top = Dots(place.yMm);
  ASSERT_NEAR(block, pixelMm * kDotsPerMm, 1e-6) << what;
  ASSERT_NEAR(left, place.xMm * kDotsPerMm, 1e-6) << what << ": corner between dots";
  ASSERT_NEAR(top, place.yMm * kDotsPerMm, 1e-6) << what << ": corner between dots";
  int64_t wrong = 0;
  for (int32_t y = 0; y < share.Height(); ++y) {
    for (int32_t x = 0; x < share.Width(); ++x) {
      const Dot want = share.GetPixel(share.Height() - 1 - y, x) == 'b' ? Dot::kBlack : Dot::kWhite;
      for (int64_t dy = 0; dy < block; ++dy) {
        for (int64_t dx = 0; dx < block; ++dx)
          wrong += DotAt(page, left + x * block + dx, top + y * block + dy) != want;
      }
    }
  }
  const int64_t right = left + share.Width() * block, bottom = top + share.Height() * block;
  for (int64_t x = left - 1; x <= right; ++x)
    wrong += (DotAt(page, x, top - 1) != Dot::kWhite) + (DotAt(page, x, bottom) != Dot::kWhite);
  for (int64_t y = top; y < bottom; ++y)
    wrong += (DotAt(page, left - 1, y) != Dot::kWhite) + (DotAt(page, right, y) != Dot::kWhite);
  EXPECT_EQ(wrong, 0) << what;
  const double rightMm = place.xMm + share.Width() * pixelMm;
  const double bottomMm = place.yMm + share.Height() * pixelMm;
  for (double cx : {place.xMm - kMarkOffsetMm, rightMm + kMarkOffsetMm}) {
    for (double cy : {place.yMm - kMarkOffsetMm, bottomMm + kMarkOffsetMm}) {
      EXPECT_NE(DotAt(page, Dots(cx), Dots(cy)), Dot::kWhite) << what << " cross centre";
      EXPECT_NE(DotAt(page, Dots(cx + kMarkArmMm * 0.9), Dots(cy)), Dot::kWhite) << what;
      EXPECT_EQ(DotAt(page, Dots(cx + 1), Dots(cy + 1)), Dot::kWhite) << what << " beside";
    }
  }
}

struct RenderCase {
  const char* name;
  std::vector<const BmpImage*> shares;
  PrintOptions options;
  int pages;
};

std::vector<PrintSheet> SheetsOf(const RenderCase& c, const std::string& label) {
  std::vector<PrintSheet> sheets;
  for (const BmpImage* share : c.shares)
    sheets.push_back({share, label});
  return sheets;
}

TEST(PrintSheetsTest, PdfShowsEveryPixelAsWholeDotsFromOneUnsmoothedImage) {
  const BmpImage large = NoiseShare(1024, 1024, 1);
  const BmpImage wide = NoiseShare(37, 23, 2);
  const BmpImage tall = NoiseShare(12, 30, 3);
  const RenderCase cases[] = {
      // Two dots per pixel, as on a 600 dpi printer at 0.085 mm.
      {"1024 on a3", {&large}, {0.2, *FindPaper("a3"), false}, 1},
      {"letter same page", {&wide, &tall}, {0.3, *FindPaper("letter"), true}, 1},
  };
  for (const RenderCase& c : cases) {
    ScratchDir dir;
    const std::vector<PrintSheet> sheets = SheetsOf(c, "capa.bmp  2of2");
    PrintLayout layout;
    ASSERT_TRUE(LayOutPrint(sheets, c.options, layout)) << c.name;
    ASSERT_EQ(layout.pages, c.pages) << c.name;
    const std::string pdf = dir.File("shares.pdf");
    ASSERT_TRUE(WritePrintPdf(Env::Default(), sheets, layout, pdf)) << c.name;
    // One 1-bit image per share at the share's own size, never interpolated, in a small file.
    const std::vector<uint8_t> bytes = ReadFileBytes(pdf);
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_EQ(text.find("/Interpolate true"), std::string::npos) << c.name;
    for (const BmpImage* share : c.shares) {
      const std::string size = "/Width " + std::to_string(share->Width()) + "\n   /Height " +
                               std::to_string(share->Height()) + "\n";
      EXPECT_NE(text.find(size), std::string::npos) << c.name << size;
    }
    EXPECT_LE(bytes.size(), 300u * 1024) << c.name;
    for (int page = 0; page < layout.pages; ++page) {
      const GreyPicture rendered = RenderPdfPage(dir, pdf, page);
      for (size_t i = 0; i < sheets.size(); ++i) {
        if (layout.shares[i].page == page) {
          ExpectSheet(rendered, c.options.paper, *c.shares[i], layout.shares[i], c.options.pixelMm,
                      std::string(c.name) + " share " + std::to_string(i));
        }
      }
    }
  }
}

TEST(PrintSheetsTest, SvgOfALargeShareOpensAndShowsEveryPixel) {
  // One dot per pixel: rsvg-convert (librsvg 2.54) smooths enlarged images whatever
  // image-rendering says, so only there are its dots exact.
  const BmpImage large = NoiseShare(2048, 2048, 4);
  const BmpImage wide = NoiseShare(37, 23, 5);
  const BmpImage tall = NoiseShare(12, 30, 6);
  const RenderCase cases[] = {
      {"2048 on 230x240", {&large}, {0.1, *FindPaper("230x240"), false}, 1},
      {"letter same page", {&wide, &tall}, {0.1, *FindPaper("letter"), true}, 1},
  };
  for (const RenderCase& c : cases) {
    ScratchDir dir;
    // Markup and bytes that are not UTF-8 in the label must not break the file.
    const std::vector<PrintSheet> sheets = SheetsOf(c, "<a&b> \"c\" \xFF\xED\xA0\x80.bmp");
    PrintLayout layout;
    ASSERT_TRUE(LayOutPrint(sheets, c.options, layout)) << c.name;
    ASSERT_EQ(layout.pages, c.pages) << c.name;
    const std::string svg = dir.File("page.svg");
    ASSERT_TRUE(WritePrintSvg(Env::Default(), sheets, layout, {svg})) << c.name;
    const std::vector<uint8_t> bytes = ReadFileBytes(svg);
    EXPECT_NE(std::string(bytes.begin(), bytes.end()).find("image-rendering"), std::string::npos);
    const GreyPicture rendered = RenderSvg(svg);
    for (size_t i = 0; i < sheets.size(); ++i) {
      ExpectSheet(rendered, c.options.paper, *c.shares[i], layout.shares[i], c.options.pixelMm,
                  std::string(c.name) + " share " + std::to_string(i));
    }
  }
}

TEST(PrintSheetsTest, PapersPixelLimitsAndLabelsAtTheirEdges) {
  struct PaperCase {
    const char* name;
    double widthMm, heightMm;  // 0 when refused
  };
  const PaperCase papers[] = {
      {"a0", 841, 1189},
      {"a5", 148, 210},
      {"A4", 210, 297},
      {"legal", 215.9, 355.6},
      {"tabloid", 279.4, 431.8},
      {"210x297", 210, 297},
      {"50X1600", 50, 1600},
      {"215.9x279.4", 215.9, 279.4},
      {"a6", 0, 0},
      {"49.9x100", 0, 0},
      {"100x1600.1", 0, 0},
      {"x100", 0, 0},
      {"100x", 0, 0},
      {"-100x100", 0, 0},
      {"1e2x100", 0, 0},
      {"nanxnan", 0, 0},
      {"100x100x100", 0, 0},
      {"", 0, 0},
  };
  for (const PaperCase& p : papers) {
    const std::optional<Paper> paper = FindPaper(p.name);
    EXPECT_EQ(paper.has_value(), p.widthMm > 0) << p.name;
    if (paper && p.widthMm > 0) {
      EXPECT_DOUBLE_EQ(paper->widthMm, p.widthMm) << p.name;
      EXPECT_DOUBLE_EQ(paper->heightMm, p.heightMm) << p.name;
    }
  }

  struct FitCase {
    int32_t width, height;
    double pixelMm;
    const char* paper;
    Code code;
  };
  const FitCase fits[] = {
      {4096, 4096, 0.2, "a0", Code::kOk},
      {4096, 4096, 0.21, "a0", Code::kPrintTooLarge},
      {16, 16, 0.05, "a4", Code::kOk},
      {16, 16, 0.049, "a4", Code::kBadParameters},
      {4, 4, 20, "a4", Code::kOk},
      {4, 4, 20.01, "a4", Code::kBadParameters},
      {4, 4, std::nan(""), "a4", Code::kBadParameters},
  };
  for (const FitCase& f : fits) {
    const BmpImage share("s.bmp", f.height, f.width);
    PrintLayout layout;
    EXPECT_EQ(LayOutPrint({{&share, "s"}}, {f.pixelMm, *FindPaper(f.paper), false}, layout).code,
              f.code)
        << f.width << " at " << f.pixelMm << " on " << f.paper;
  }

  // 400 pixels of 0.5 mm and 11 mm of marks need 211 mm; A4 holds 200 mm inside its margins.
  const BmpImage share = NoiseShare(400, 100, 7);
  PrintLayout layout;
  EXPECT_EQ(LayOutPrint({{&share, "x"}}, {0.5, *FindPaper("a4"), false}, layout).code,
            Code::kPrintTooLarge);
  EXPECT_DOUBLE_EQ(layout.misfit.neededWidthMm, 211.0);
  EXPECT_DOUBLE_EQ(layout.misfit.roomWidthMm, 200.0);
  EXPECT_DOUBLE_EQ(layout.misfit.roomHeightMm, 287.0);
  EXPECT_DOUBLE_EQ(layout.misfit.fittingPixelMm, 0.47);
  EXPECT_TRUE(LayOutPrint({{&share, "x"}}, {0.47, *FindPaper("a4"), false}, layout));

  struct TextCase {
    const char* in;
    const char* out;
  };
  const TextCase texts[] = {
      {"capa1.bmp", "capa1.bmp"},
      {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80", "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"},
      {"a\xED\xA0\x80z", "a\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBDz"},  // a surrogate
      {"\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},                      // overlong '/'
      {"\xE0\x80\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},      // overlong, 3 bytes
      {"\xF4\x90\x80\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // > U+10FFFF
      {"\xF5!", "\xEF\xBF\xBD!"},
      {"x\xF0\x9F\x98", "x\xEF\xBF\xBD"},  // cut short at the end
      {"\xE2\x82"
       "A",
       "\xEF\xBF\xBD"
       "A"},                                     // cut short before a letter
      {"\x80\xBF", "\xEF\xBF\xBD\xEF\xBF\xBD"},  // continuation bytes alone
      {"a\nb\x7F\xC2\x85",
       "a\xEF\xBF\xBD"
       "b\xEF\xBF\xBD\xEF\xBF\xBD"},     // controls
      {"\xEF\xBF\xBE", "\xEF\xBF\xBD"},  // U+FFFE, no character
  };
  for (const TextCase& t : texts)
    EXPECT_EQ(PrintableText(t.in), t.out) << ::testing::PrintToString(std::string(t.in));
}

}  // namespace
}  // namespace quillon
