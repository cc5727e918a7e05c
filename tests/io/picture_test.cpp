// Decoding PNG and JPEG to luminance, the size check, and 1-bit PNG output read back.
#include <gtest/gtest.h>
#include <jpeglib.h>
#include <png.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "io/picture.h"
#include "io/png_writer.h"
#include "reference/plain_orient.h"
#include "tests/test_util.h"

namespace quillon {
namespace {

using testing::ReadFileBytes;
using testing::ScratchDir;
using testing::WriteFileBytes;

struct Rgba {
  uint8_t r, g, b, a;
};

// A PNG written with libpng's row interface. samples holds every channel of every pixel, row by
// row, at the file's bit depth (palette indices for a palette file).
struct PngLayout {
  PngLayout(int w, int h, int type = PNG_COLOR_TYPE_RGBA, int depth = 8)
      : width(w), height(h), colourType(type), bitDepth(depth) {}
  int Channels() const {
    return colourType == PNG_COLOR_TYPE_GRAY_ALPHA ? 2
           : colourType == PNG_COLOR_TYPE_RGB      ? 3
           : colourType == PNG_COLOR_TYPE_RGBA     ? 4
                                                   : 1;
  }

  int width;
  int height;
  int colourType;
  int bitDepth;
  bool interlaced = false;
  std::vector<uint16_t> samples;
  std::vector<png_color> palette;
  std::vector<uint8_t> paletteAlpha;  // tRNS
  std::vector<uint8_t> exif;          // an eXIf chunk before the pixel data
};

std::vector<uint8_t> EncodePng(const PngLayout& layout) {
  std::vector<uint8_t> bytes;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(
      png, &bytes,
      [](png_structp p, png_bytep data, size_t length) {
        auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(p));
        out->insert(out->end(), data, data + length);
      },
      nullptr);
  png_set_IHDR(png, info, layout.width, layout.height, layout.bitDepth, layout.colourType,
               layout.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!layout.palette.empty())
    png_set_PLTE(png, info, layout.palette.data(), static_cast<int>(layout.palette.size()));
  if (!layout.paletteAlpha.empty())
    png_set_tRNS(png, info, layout.paletteAlpha.data(),
                 static_cast<int>(layout.paletteAlpha.size()), nullptr);
  if (!layout.exif.empty())
    png_set_eXIf_1(png, info, static_cast<png_uint_32>(layout.exif.size()),
                   const_cast<uint8_t*>(layout.exif.data()));
  png_write_info(png, info);
  const size_t perRow = layout.samples.size() / layout.height;
  std::vector<std::vector<uint8_t>> rows(layout.height);
  std::vector<png_bytep> pointers;
  for (int y = 0; y < layout.height; ++y) {
    std::vector<uint8_t>& row = rows[y];
    row.resize((perRow * layout.bitDepth + 7) / 8 + 1);
    for (size_t i = 0; i < perRow; ++i) {
      const uint16_t v = layout.samples[y * perRow + i];
      if (layout.bitDepth == 16) {
        row[2 * i] = v >> 8;
        row[2 * i + 1] = v & 0xFF;
      } else {
        const size_t bit = i * layout.bitDepth;
        row[bit / 8] |= v << (8 - layout.bitDepth - bit % 8);
      }
    }
    pointers.push_back(row.data());
  }
  png_write_image(png, pointers.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return bytes;
}

std::vector<uint8_t> EncodePng(int width, int height, const std::vector<Rgba>& pixels) {
  PngLayout layout{width, height};
  for (const Rgba& p : pixels)
    layout.samples.insert(layout.samples.end(), {p.r, p.g, p.b, p.a});
  return EncodePng(layout);
}

// A JPEG at quality 100; components 1 writes it as greyscale, 3 as colour. app1, when given,
// is written as an APP1 segment.
std::vector<uint8_t> EncodeJpeg(int width, int height, int components,
                                const std::vector<uint8_t>& samples,
                                const std::vector<uint8_t>& app1 = {}, bool progressive = false) {
  jpeg_compress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = width;
  info.image_height = height;
  info.input_components = components;
  info.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 100, TRUE);
  if (progressive)
    jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  if (!app1.empty())
    jpeg_write_marker(&info, JPEG_APP0 + 1, app1.data(), static_cast<unsigned>(app1.size()));
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<uint8_t*>(samples.data()) + info.next_scanline * width * components;
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  std::vector<uint8_t> bytes(buffer, buffer + size);
  jpeg_destroy_compress(&info);
  free(buffer);
  return bytes;
}

// An EXIF block (from its TIFF header on) whose first directory holds a width tag and then
// the orientation.
std::vector<uint8_t> ExifBlock(uint16_t orientation, bool bigEndian) {
  std::vector<uint8_t> b;
  auto put = [&](uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
      b.push_back(value >> 8 * (bigEndian ? bytes - 1 - i : i) & 0xFF);
  };
  b.push_back(bigEndian ? 'M' : 'I');
  b.push_back(bigEndian ? 'M' : 'I');
  put(42, 2);
  put(8, 4);                                        // the first directory
  put(2, 2);                                        // of two entries
  put(0x0100, 2), put(4, 2), put(1, 4), put(7, 4);  // a width, LONG
  put(0x0112, 2), put(3, 2), put(1, 4), put(orientation, 2), put(0, 2);
  put(0, 4);  // no next directory
  return b;
}

std::vector<uint8_t> WithExifHeader(std::vector<uint8_t> tiff) {
  tiff.insert(tiff.begin(), {'E', 'x', 'i', 'f', 0, 0});
  return tiff;
}

TEST(PictureTest, PngColoursBecomeRec601LumaAndTransparencyIsPaper) {
  // Top row: pure colours; bottom row: the same behind full and half transparency.
  const std::vector<Rgba> pixels = {{255, 0, 0, 255},   {0, 255, 0, 255}, {0, 0, 255, 255},
                                    {90, 90, 90, 255},  {0, 0, 0, 0},     {0, 0, 0, 255},
                                    {255, 255, 255, 0}, {10, 20, 30, 255}};
  const std::vector<uint8_t> expected = {76, 150, 29, 90, 255, 0, 255, Luma(10, 20, 30)};
  std::vector<uint8_t> png = EncodePng(4, 2, pixels);
  GreyPicture picture;
  ASSERT_TRUE(DecodePicture(png.data(), png.size(), picture));
  ASSERT_EQ(picture.width, 4);
  ASSERT_EQ(picture.height, 2);
  EXPECT_EQ(picture.luma, expected);
  EXPECT_EQ(Luma(10, 20, 30), 18);  // (2990 + 11740 + 3420 + 500) / 1000
}

// Where two luminance planes first differ, for a readable failure.
std::string FirstDifference(const std::vector<uint8_t>& got, const std::vector<uint8_t>& wanted) {
  if (got.size() != wanted.size())
    return "sizes " + std::to_string(got.size()) + " and " + std::to_string(wanted.size());
  const auto at = std::mismatch(got.begin(), got.end(), wanted.begin());
  if (at.first == got.end())
    return "";
  return "at " + std::to_string(at.first - got.begin()) + ": " + std::to_string(*at.first) +
         " instead of " + std::to_string(*at.second);
}

TEST(PictureTest, SixteenBitSamplesReadAsTheNearestEightBitValue) {
  // Every 16-bit value once, in a grey file and in each channel of a colour one.
  PngLayout grey{256, 256, PNG_COLOR_TYPE_GRAY, 16};
  PngLayout rgb{256, 256, PNG_COLOR_TYPE_RGB, 16};
  std::vector<uint8_t> greyWanted, rgbWanted;
  auto nearest = [](uint32_t v) { return static_cast<uint8_t>((2 * v + 257) / 514); };
  for (uint32_t v = 0; v < 65536; ++v) {
    const uint16_t g = 65535 - v, b = static_cast<uint16_t>(v * 7);
    grey.samples.push_back(v);
    rgb.samples.insert(rgb.samples.end(), {static_cast<uint16_t>(v), g, b});
    greyWanted.push_back(nearest(v));
    rgbWanted.push_back(Luma(nearest(v), nearest(g), nearest(b)));
  }
  EXPECT_EQ(nearest(385), 1);  // 1.498
  EXPECT_EQ(nearest(386), 2);  // 1.502
  for (const auto& [layout, wanted] : {std::pair{grey, greyWanted}, std::pair{rgb, rgbWanted}}) {
    const std::vector<uint8_t> png = EncodePng(layout);
    GreyPicture picture;
    ASSERT_TRUE(DecodePicture(png.data(), png.size(), picture));
    EXPECT_EQ(FirstDifference(picture.luma, wanted), "") << layout.colourType;
  }
}

TEST(PictureTest, InterlacedPngReadsAsItsPlainTwin) {
  struct Case {
    int colourType, bitDepth;
  };
  const Case cases[] = {{PNG_COLOR_TYPE_GRAY, 16},   {PNG_COLOR_TYPE_GRAY_ALPHA, 16},
                        {PNG_COLOR_TYPE_RGB, 16},    {PNG_COLOR_TYPE_RGBA, 16},
                        {PNG_COLOR_TYPE_PALETTE, 8}, {PNG_COLOR_TYPE_PALETTE, 2},
                        {PNG_COLOR_TYPE_GRAY, 4},    {PNG_COLOR_TYPE_RGBA, 8}};
  for (const Case& c : cases) {
    // 13 x 11: every pass of Adam7 holds pixels, none of them whole 8 x 8 blocks.
    PngLayout layout{13, 11, c.colourType, c.bitDepth};
    uint32_t seed = 12345;
    for (int i = 0; i < 13 * 11 * layout.Channels(); ++i) {
      seed = seed * 1103515245 + 12345;
      layout.samples.push_back(static_cast<uint16_t>((seed >> 8) & ((1u << c.bitDepth) - 1)));
    }
    if (c.colourType == PNG_COLOR_TYPE_PALETTE) {
      for (int i = 0; i < 1 << c.bitDepth; ++i) {
        layout.palette.push_back({static_cast<uint8_t>(i * 29), static_cast<uint8_t>(i * 71),
                                  static_cast<uint8_t>(255 - i)});
        layout.paletteAlpha.push_back(static_cast<uint8_t>(i * 53));
      }
    }
    GreyPicture plain, interlaced;
    const std::vector<uint8_t> plainPng = EncodePng(layout);
    layout.interlaced = true;
    const std::vector<uint8_t> interlacedPng = EncodePng(layout);
    ASSERT_TRUE(DecodePicture(plainPng.data(), plainPng.size(), plain));
    ASSERT_TRUE(DecodePicture(interlacedPng.data(), interlacedPng.size(), interlaced));
    EXPECT_EQ(interlaced.width, 13);
    EXPECT_EQ(FirstDifference(interlaced.luma, plain.luma), "")
        << c.colourType << " at " << c.bitDepth << " bits";
  }
}

TEST(PictureTest, TransparencyIsLaidOnWhiteAsViewersShowIt) {
  // Black at 25, 50 and 75 % opacity, clear, opaque, and others; the luminance that Pillow's
  // alpha_composite over opaque white gives. The colour pixel comes last; grey files omit it.
  const std::vector<Rgba> pixels = {{0, 0, 0, 64},     {0, 0, 0, 128},   {0, 0, 0, 191},
                                    {0, 0, 0, 0},      {0, 0, 0, 255},   {200, 200, 200, 100},
                                    {1, 1, 1, 254},    {90, 90, 90, 37}, {255, 255, 255, 1},
                                    {200, 40, 90, 100}};
  const std::vector<uint8_t> wanted = {191, 127, 64, 255, 0, 233, 2, 231, 255, Luma(233, 171, 190)};
  struct Case {
    int colourType, bitDepth;
  };
  const Case cases[] = {{PNG_COLOR_TYPE_RGBA, 8},
                        {PNG_COLOR_TYPE_RGBA, 16},
                        {PNG_COLOR_TYPE_GRAY_ALPHA, 8},
                        {PNG_COLOR_TYPE_GRAY_ALPHA, 16},
                        {PNG_COLOR_TYPE_PALETTE, 8}};
  for (const Case& c : cases) {
    const bool grey = c.colourType == PNG_COLOR_TYPE_GRAY_ALPHA;
    const int count = static_cast<int>(pixels.size()) - (grey ? 1 : 0);
    PngLayout layout{count, 1, c.colourType, c.bitDepth};
    const uint16_t scale = c.bitDepth == 16 ? 257 : 1;
    for (int i = 0; i < count; ++i) {
      const Rgba& p = pixels[i];
      if (c.colourType == PNG_COLOR_TYPE_PALETTE) {
        layout.palette.push_back({p.r, p.g, p.b});
        layout.paletteAlpha.push_back(p.a);
        layout.samples.push_back(static_cast<uint16_t>(i));
      } else if (grey) {
        layout.samples.insert(layout.samples.end(), {uint16_t(p.r * scale), uint16_t(p.a * scale)});
      } else {
        layout.samples.insert(layout.samples.end(), {uint16_t(p.r * scale), uint16_t(p.g * scale),
                                                     uint16_t(p.b * scale), uint16_t(p.a * scale)});
      }
    }
    const std::vector<uint8_t> png = EncodePng(layout);
    GreyPicture picture;
    ASSERT_TRUE(DecodePicture(png.data(), png.size(), picture));
    EXPECT_EQ(picture.luma, std::vector<uint8_t>(wanted.begin(), wanted.begin() + count))
        << c.colourType << " at " << c.bitDepth << " bits";
  }
}

// Six flat 8 x 8 blocks, levels a to f, laid out as rows of letters ("abc/def").
std::vector<uint8_t> Blocks(const std::string& layout, int* width, int* height) {
  const int columns = static_cast<int>(layout.find('/'));
  const int rows = static_cast<int>(layout.size() + 1) / (columns + 1);
  *width = 8 * columns;
  *height = 8 * rows;
  std::vector<uint8_t> grey;
  for (int y = 0; y < *height; ++y) {
    for (int x = 0; x < *width; ++x)
      grey.push_back(static_cast<uint8_t>(20 + 40 * (layout[y / 8 * (columns + 1) + x / 8] - 'a')));
  }
  return grey;
}

TEST(PictureTest, ExifOrientationShowsThePictureUpright) {
  // How each orientation stores the picture that viewers show as "abc/def".
  const std::string stored[9] = {"",         "abc/def",  "cba/fed",  "fed/cba", "def/abc",
                                 "ad/be/cf", "cf/be/ad", "fc/eb/da", "da/eb/fc"};
  int width = 0, height = 0;
  const std::vector<uint8_t> upright = Blocks("abc/def", &width, &height);
  for (uint16_t orientation = 1; orientation <= 8; ++orientation) {
    for (bool bigEndian : {false, true}) {
      int w = 0, h = 0;
      const std::vector<uint8_t> grey = Blocks(stored[orientation], &w, &h);
      const std::vector<uint8_t> exif = ExifBlock(orientation, bigEndian);
      PngLayout png{w, h, PNG_COLOR_TYPE_GRAY, 8};
      png.samples.assign(grey.begin(), grey.end());
      png.exif = exif;
      for (const std::vector<uint8_t>& file :
           {EncodePng(png), EncodeJpeg(w, h, 1, grey, WithExifHeader(exif))}) {
        const bool jpeg = file[0] == 0xFF;
        GreyPicture picture;
        ASSERT_TRUE(DecodePicture(file.data(), file.size(), picture));
        ASSERT_EQ(picture.width, width) << orientation << (jpeg ? " jpeg" : " png");
        ASSERT_EQ(picture.height, height) << orientation;
        for (size_t i = 0; i < upright.size(); ++i) {
          ASSERT_NEAR(picture.luma[i], upright[i], jpeg ? 6 : 0)
              << orientation << (bigEndian ? " MM" : " II") << (jpeg ? " jpeg" : " png")
              << " pixel " << i;
        }
      }
    }
  }
}

TEST(PictureTest, OrientingInTilesEqualsThePlainTurn) {
  const std::pair<int32_t, int32_t> sizes[] = {{1, 1},   {1, 70},   {70, 1},
                                               {64, 64}, {65, 129}, {200, 67}};
  uint32_t seed = 7;
  for (const auto& [width, height] : sizes) {
    GreyPicture stored;
    stored.width = width;
    stored.height = height;
    for (int32_t i = 0; i < width * height; ++i) {
      seed = seed * 1103515245 + 12345;
      stored.luma.push_back(static_cast<uint8_t>(seed >> 16));
    }
    for (int orientation = 0; orientation <= 9; ++orientation) {
      GreyPicture shown = stored;
      ASSERT_TRUE(OrientPicture(shown, orientation));
      const GreyPicture plain = reference::PlainOrient(stored, orientation);
      EXPECT_EQ(shown.width, plain.width);
      EXPECT_EQ(FirstDifference(shown.luma, plain.luma), "")
          << width << " x " << height << ", orientation " << orientation;
    }
  }
}

TEST(PictureTest, MalformedExifIsIgnored) {
  // Orientation 6 swaps width and height: a 24 x 16 picture reads 16 x 24 when it applies.
  int width = 0, height = 0;
  const std::vector<uint8_t> grey = Blocks("abc/def", &width, &height);
  const std::vector<uint8_t> good = ExifBlock(6, true);
  struct Case {
    std::string name;
    std::vector<uint8_t> exif;
    bool applies;
  };
  std::vector<Case> cases;
  using Edits = std::vector<std::pair<size_t, std::vector<uint8_t>>>;
  auto changed = [&](std::string name, const Edits& edits, bool applies) {
    std::vector<uint8_t> exif = good;
    for (const auto& [at, bytes] : edits)
      std::copy(bytes.begin(), bytes.end(), exif.begin() + at);
    cases.push_back({std::move(name), exif, applies});
  };
  // The directory starts at 8: a count at 8, the width entry at 10, the orientation at 22
  // (type at 24, count at 26, value at 30).
  changed("as written", {}, true);
  changed("byte order IM", {{0, {'I', 'M'}}}, false);
  changed("not 42", {{2, {0, 43}}}, false);
  changed("directory far beyond", {{4, {0xFF, 0xFF, 0xFF, 0xF0}}}, false);
  changed("directory at the last byte", {{4, {0, 0, 0, 37}}}, false);
  changed("more entries than bytes, orientation among them", {{8, {0xFF, 0xFF}}}, true);
  changed("more entries than bytes, no orientation", {{8, {0xFF, 0xFF}}, {22, {1, 0x13}}}, false);
  changed("orientation as LONG", {{24, {0, 4}}}, false);
  changed("two values", {{26, {0, 0, 0, 2}}}, false);
  changed("value 0", {{30, {0, 0}}}, false);
  changed("value 9", {{30, {0, 9}}}, false);
  for (size_t length = 1; length < good.size(); ++length)
    cases.push_back({"cut to " + std::to_string(length),
                     std::vector<uint8_t>(good.begin(), good.begin() + length), length >= 34});
  for (const Case& c : cases) {
    PngLayout png{width, height, PNG_COLOR_TYPE_GRAY, 8};
    png.samples.assign(grey.begin(), grey.end());
    png.exif = c.exif;
    std::vector<uint8_t> jpeg = EncodeJpeg(width, height, 1, grey, WithExifHeader(c.exif));
    for (const std::vector<uint8_t>& file : {EncodePng(png), jpeg}) {
      GreyPicture picture;
      ASSERT_TRUE(DecodePicture(file.data(), file.size(), picture)) << c.name;
      EXPECT_EQ(picture.width, c.applies ? height : width)
          << c.name << (file[0] == 0xFF ? " jpeg" : " png");
    }
  }
  // The first "Exif" APP1 counts, after fill bytes and other APP1 segments.
  std::vector<uint8_t> jpeg = EncodeJpeg(width, height, 1, grey, WithExifHeader(good));
  const std::vector<uint8_t> xmp = {0xFF, 0xFF, 0xFF, 0xE1, 0, 8, 'h', 't', 't', 'p', ':', '/'};
  jpeg.insert(jpeg.begin() + 2, xmp.begin(), xmp.end());
  GreyPicture picture;
  ASSERT_TRUE(DecodePicture(jpeg.data(), jpeg.size(), picture));
  EXPECT_EQ(picture.width, height);
}

TEST(PictureTest, JpegEndingInsideItsScanIsRefusedEvenWithItsEndMarker) {
  const int width = 48, height = 40;
  std::vector<uint8_t> grey(width * height), rgb(3 * width * height);
  for (size_t i = 0; i < grey.size(); ++i) {
    grey[i] = static_cast<uint8_t>(i * 37 ^ i >> 3);
    std::memset(&rgb[3 * i], grey[i], 3);
    rgb[3 * i] ^= 0x55;
  }
  for (const std::vector<uint8_t>& file :
       {EncodeJpeg(width, height, 1, grey), EncodeJpeg(width, height, 3, rgb),
        EncodeJpeg(width, height, 3, rgb, {}, true)}) {
    size_t scan = 2;
    while (!(file[scan] == 0xFF && file[scan + 1] == 0xDA))
      ++scan;
    for (size_t tenth = 1; tenth <= 9; tenth += 4) {
      std::vector<uint8_t> cut(file.begin(),
                               file.begin() + scan + (file.size() - scan) * tenth / 10);
      cut.insert(cut.end(), {0xFF, 0xD9});
      GreyPicture picture;
      const Outcome outcome = DecodePicture(cut.data(), cut.size(), picture);
      EXPECT_EQ(outcome.code, Code::kBadPicture) << tenth << "/10 of " << file.size();
      EXPECT_EQ(outcome.detail, "the file ends before the picture does");
      EXPECT_TRUE(picture.luma.empty());
    }
  }
}

TEST(PictureTest, JpegGreyAndColourDecodeTopRowFirst) {
  const int width = 16, height = 16;
  std::vector<uint8_t> grey(width * height), rgb(3 * width * height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const uint8_t value = y < 8 ? 30 : 220;  // dark above, light below
      grey[y * width + x] = value;
      std::memset(&rgb[3 * (y * width + x)], value, 3);
    }
  }
  for (const auto& bytes :
       {EncodeJpeg(width, height, 1, grey), EncodeJpeg(width, height, 3, rgb)}) {
    GreyPicture picture;
    ASSERT_TRUE(DecodePicture(bytes.data(), bytes.size(), picture));
    ASSERT_EQ(picture.width, width);
    ASSERT_EQ(picture.height, height);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x)
        EXPECT_NEAR(picture.At(x, y), y < 8 ? 30 : 220, 3) << x << "," << y;
    }
  }
}

TEST(PictureTest, SizeCheckRefusesEmptyHugeAndOverflowingSizes) {
  struct Case {
    int64_t width, height;
    bool accepted;
  };
  const Case cases[] = {{1, 1, true},
                        {kMaxPicturePixels, 1, true},
                        {1, kMaxPicturePixels, true},
                        {8192, 4096, true},
                        {8192, 4097, false},
                        {kMaxPicturePixels + 1, 1, false},
                        {0, 5, false},
                        {5, 0, false},
                        {-1, -1, false},
                        {int64_t{1} << 40, int64_t{1} << 40, false}};
  for (const Case& c : cases)
    EXPECT_EQ(CheckPictureSize(c.width, c.height).ok(), c.accepted) << c.width << "x" << c.height;
}

TEST(PictureTest, BrokenFilesGiveOneReasonAndNoPixels) {
  const std::string dir = QUILLON_PICTURES_DIR;
  std::vector<uint8_t> png = EncodePng(3, 3, std::vector<Rgba>(9, {1, 2, 3, 255}));
  std::vector<uint8_t> garbage = png;
  for (size_t i = 40; i < garbage.size(); ++i)
    garbage[i] ^= 0x5A;
  struct Case {
    std::string name;
    std::vector<uint8_t> bytes;
    Code code;
    std::string detail;  // a part of the outcome's detail
  };
  const Case cases[] = {
      {"truncated.png", ReadFileBytes(dir + "/truncated.png"), Code::kBadPicture, ""},
      {"huge.png", ReadFileBytes(dir + "/huge.png"), Code::kPictureTooLarge, "60000 x 60000"},
      {"bomb.jpg", ReadFileBytes(dir + "/bomb.jpg"), Code::kPictureTooLarge, "65000 x 65000"},
      {"truncated.jpg", ReadFileBytes(dir + "/truncated.jpg"), Code::kBadPicture,
       "ends before the picture"},
      {"scrambled png", garbage, Code::kBadPicture, ""},
      {"signature only", std::vector<uint8_t>(png.begin(), png.begin() + 8), Code::kBadPicture, ""},
      {"jpeg marker only", {0xFF, 0xD8, 0xFF}, Code::kBadPicture, ""},
      {"text", {'h', 'e', 'l', 'l', 'o'}, Code::kNotAPicture, ""},
      {"empty", {}, Code::kNotAPicture, ""},
  };
  for (const Case& c : cases) {
    ASSERT_FALSE(c.bytes.empty() && c.name != "empty") << c.name;
    GreyPicture picture;
    const Outcome outcome = DecodePicture(c.bytes.data(), c.bytes.size(), picture);
    EXPECT_EQ(outcome.code, c.code) << c.name;
    EXPECT_NE(outcome.detail.find(c.detail), std::string::npos) << c.name << ": " << outcome.detail;
    EXPECT_EQ(outcome.detail.find('\n'), std::string::npos) << c.name;
    EXPECT_TRUE(picture.luma.empty()) << c.name;
    EXPECT_EQ(picture.width, 0) << c.name;
  }
}

TEST(PictureTest, EveryCutOfAGoodFileFailsCleanly) {
  std::vector<uint8_t> grey(12 * 9);
  for (size_t i = 0; i < grey.size(); ++i)
    grey[i] = static_cast<uint8_t>(i * 37);
  std::vector<Rgba> rgba;
  for (uint8_t g : grey)
    rgba.push_back({g, static_cast<uint8_t>(255 - g), g, 255});
  for (const std::vector<uint8_t>& file : {EncodePng(12, 9, rgba), EncodeJpeg(12, 9, 1, grey)}) {
    GreyPicture picture;
    ASSERT_TRUE(DecodePicture(file.data(), file.size(), picture));
    // Cut anywhere before the end marker, a file is refused and nothing is read past the cut.
    for (size_t length = 0; length + 12 < file.size(); ++length) {
      const std::vector<uint8_t> cut(file.begin(), file.begin() + length);
      EXPECT_FALSE(DecodePicture(cut.data(), cut.size(), picture)) << length;
      EXPECT_TRUE(picture.luma.empty()) << length;
    }
  }
}

TEST(PngWriterTest, OneBitPngReadsBackAsTheTwoColourViewForEveryWidth) {
  ScratchDir dir;
  for (int32_t width : {1, 7, 8, 9, 33}) {
    const int32_t height = 5;
    BmpImage image("x.bmp", height, width);
    for (int32_t row = 0; row < height; ++row) {
      for (int32_t col = 0; col < width; ++col)
        image.SetPixel(row, col, (row * 3 + col) % 4 == 0 || row == 0);
    }
    std::string name = std::to_string(width);
    const std::string path = dir.File(name.append(".png"));
    ASSERT_TRUE(SavePng(Env::Default(), image, path));
    const std::vector<uint8_t> bytes = ReadFileBytes(path);
    ASSERT_GT(bytes.size(), 26u);
    EXPECT_EQ(bytes[24], 1) << "bit depth";
    EXPECT_EQ(bytes[25], 0) << "greyscale";
    GreyPicture picture;
    ASSERT_TRUE(DecodePicture(bytes.data(), bytes.size(), picture));
    ASSERT_EQ(picture.width, width);
    ASSERT_EQ(picture.height, height);
    for (int32_t y = 0; y < height; ++y) {
      for (int32_t x = 0; x < width; ++x) {
        // Picture row 0 is the top, the BMP's last stored row.
        EXPECT_EQ(picture.At(x, y), image.GetPixel(height - 1 - y, x) == 'b' ? 0 : 255)
            << width << ": " << x << "," << y;
      }
    }
  }
}

TEST(PngWriterTest, AFailedWriteLeavesTheEarlierFileAndNoTemporary) {
  ScratchDir dir;
  const std::string path = dir.File("share.png");
  WriteFileBytes(path, {'o', 'l', 'd'});
  BmpImage empty("none.bmp");
  EXPECT_FALSE(SavePng(Env::Default(), empty, path));
  EXPECT_EQ(ReadFileBytes(path), (std::vector<uint8_t>{'o', 'l', 'd'}));
  EXPECT_FALSE(SavePng(Env::Default(), BmpImage("x.bmp", 2, 2), dir.File("missing/share.png")));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

}  // namespace
}  // namespace quillon
