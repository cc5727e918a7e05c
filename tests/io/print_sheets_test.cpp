// Printed shares rendered back to pixels (pdftoppm for PDF, rsvg-convert for SVG) must show
// every share pixel where the layout puts it, at the chosen size, with the corner crosses.
#include <gtest/gtest.h>

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

using testing::ScratchDir;

// 254 dots per inch: ten device pixels per millimetre.
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
  const std::string command = std::string(QUILLON_RSVG_CONVERT) + " -d " + std::to_string(kDpi) +
                              " -p " + std::to_string(kDpi) + " -o " + Quote(png) + " " +
                              Quote(svg);
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  GreyPicture picture;
  EXPECT_TRUE(DecodePictureFile(Env::Default(), png, picture));
  return picture;
}

bool BlackAt(const GreyPicture& page, double xMm, double yMm) {
  const auto x = static_cast<int32_t>(xMm * kDotsPerMm);
  const auto y = static_cast<int32_t>(yMm * kDotsPerMm);
  EXPECT_TRUE(x >= 0 && y >= 0 && x < page.width && y < page.height) << xMm << "," << yMm;
  if (x < 0 || y < 0 || x >= page.width || y >= page.height)
    return false;
  return page.At(x, y) < 128;
}

// Every share pixel's centre, a ring half a pixel outside the image, and the crosses.
void ExpectSheet(const GreyPicture& page, const Paper& paper, const BmpImage& share,
                 const PlacedShare& place, double pixelMm, const std::string& what) {
  EXPECT_NEAR(page.width, paper.widthMm * kDotsPerMm, 1) << what;
  EXPECT_NEAR(page.height, paper.heightMm * kDotsPerMm, 1) << what;
  int wrong = 0;
  for (int32_t y = 0; y < share.Height(); ++y) {
    for (int32_t x = 0; x < share.Width(); ++x) {
      const bool black = share.GetPixel(share.Height() - 1 - y, x) == 'b';
      if (BlackAt(page, place.xMm + (x + 0.5) * pixelMm, place.yMm + (y + 0.5) * pixelMm) !=
          black) {
        ++wrong;
      }
    }
  }
  EXPECT_EQ(wrong, 0) << what;
  const double right = place.xMm + share.Width() * pixelMm;
  const double bottom = place.yMm + share.Height() * pixelMm;
  for (int32_t x = 0; x < share.Width(); ++x) {
    const double xMm = place.xMm + (x + 0.5) * pixelMm;
    EXPECT_FALSE(BlackAt(page, xMm, place.yMm - pixelMm / 2)) << what << " above " << x;
    EXPECT_FALSE(BlackAt(page, xMm, bottom + pixelMm / 2)) << what << " below " << x;
  }
  for (double cx : {place.xMm - kMarkOffsetMm, right + kMarkOffsetMm}) {
    for (double cy : {place.yMm - kMarkOffsetMm, bottom + kMarkOffsetMm}) {
      EXPECT_TRUE(BlackAt(page, cx, cy)) << what << " cross centre";
      EXPECT_TRUE(BlackAt(page, cx + kMarkArmMm * 0.9, cy)) << what << " cross arm";
      EXPECT_FALSE(BlackAt(page, cx + 1, cy + 1)) << what << " beside the cross";
    }
  }
}

TEST(PrintSheetsTest, RenderedPagesShowEveryPixelInPlace) {
  const BmpImage wide = NoiseShare(37, 23, 1);
  const BmpImage other = NoiseShare(37, 23, 2);
  const BmpImage small = NoiseShare(12, 30, 3);
  struct Case {
    const char* name;
    std::vector<const BmpImage*> shares;
    PrintOptions options;
    int pages;
  };
  const Case cases[] = {
      {"a4 page each", {&wide, &other}, {0.5, *FindPaper("a4"), false}, 2},
      {"letter same page", {&wide, &small}, {0.3, *FindPaper("letter"), true}, 1},
  };
  for (const Case& c : cases) {
    ScratchDir dir;
    std::vector<PrintSheet> sheets;
    for (const BmpImage* share : c.shares)
      sheets.push_back({share, "capa.bmp  2of2"});
    PrintLayout layout;
    ASSERT_TRUE(LayOutPrint(sheets, c.options, layout)) << c.name;
    ASSERT_EQ(layout.pages, c.pages) << c.name;
    const std::string pdf = dir.File("shares.pdf");
    ASSERT_TRUE(WritePrintPdf(Env::Default(), sheets, layout, pdf)) << c.name;
    std::vector<std::string> svgs;
    for (int page = 0; page < layout.pages; ++page)
      svgs.push_back(dir.File("page" + std::to_string(page) + ".svg"));
    ASSERT_TRUE(WritePrintSvg(Env::Default(), sheets, layout, svgs)) << c.name;
    for (int page = 0; page < layout.pages; ++page) {
      const GreyPicture fromPdf = RenderPdfPage(dir, pdf, page);
      const GreyPicture fromSvg = RenderSvg(svgs[page]);
      for (size_t i = 0; i < sheets.size(); ++i) {
        if (layout.shares[i].page != page)
          continue;
        const std::string what = std::string(c.name) + " share " + std::to_string(i);
        ExpectSheet(fromPdf, c.options.paper, *c.shares[i], layout.shares[i], c.options.pixelMm,
                    what + " pdf");
        ExpectSheet(fromSvg, c.options.paper, *c.shares[i], layout.shares[i], c.options.pixelMm,
                    what + " svg");
      }
    }
  }
}

TEST(PrintSheetsTest, SharesThatDoNotFitThePaperAreRefusedWithTheSizeThatFits) {
  const BmpImage share = NoiseShare(400, 100, 4);
  const std::vector<PrintSheet> sheets = {{&share, "x"}};
  PrintLayout layout;
  // 400 pixels of 0.5 mm and 16 mm of marks need 216 mm; A4 holds 190 mm inside its margins.
  EXPECT_EQ(LayOutPrint(sheets, {0.5, *FindPaper("a4"), false}, layout).code, Code::kPrintTooLarge);
  EXPECT_DOUBLE_EQ(layout.misfit.neededWidthMm, 216.0);
  EXPECT_DOUBLE_EQ(layout.misfit.roomWidthMm, 190.0);
  EXPECT_DOUBLE_EQ(layout.misfit.roomHeightMm, 277.0);
  EXPECT_DOUBLE_EQ(layout.misfit.fittingPixelMm, 0.43);
  EXPECT_EQ(layout.pages, 0);
  EXPECT_TRUE(LayOutPrint(sheets, {0.43, *FindPaper("a4"), false}, layout));
  // Side by side, two shares that fit one by one need more than a page.
  const BmpImage half = NoiseShare(200, 100, 5);
  const std::vector<PrintSheet> pair = {{&half, "a"}, {&half, "b"}};
  EXPECT_TRUE(LayOutPrint(pair, {0.4, *FindPaper("letter"), false}, layout));
  EXPECT_EQ(layout.pages, 2);
  EXPECT_FALSE(LayOutPrint(pair, {0.4, *FindPaper("letter"), true}, layout));
  EXPECT_FALSE(FindPaper("a3").has_value());
}

}  // namespace
}  // namespace quillon
