// Decoding PNG and JPEG to luminance, the size check, and 1-bit PNG output read back.
#include <gtest/gtest.h>
#include <jpeglib.h>
#include <png.h>

#include <cstring>

#include "io/picture.h"
#include "io/png_writer.h"
#include "tests/test_util.h"

namespace quillon {
namespace {

using testing::ReadFileBytes;
using testing::ScratchDir;
using testing::WriteFileBytes;

struct Rgba {
  uint8_t r, g, b, a;
};

std::vector<uint8_t> EncodePng(int width, int height, const std::vector<Rgba>& pixels) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = width;
  image.height = height;
  image.format = PNG_FORMAT_RGBA;
  png_alloc_size_t size = 0;
  EXPECT_TRUE(png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr));
  std::vector<uint8_t> bytes(size);
  EXPECT_TRUE(png_image_write_to_memory(&image, bytes.data(), &size, 0, pixels.data(), 0, nullptr));
  bytes.resize(size);
  return bytes;
}

// A grey JPEG at quality 100; components 1 writes it as greyscale, 3 as colour.
std::vector<uint8_t> EncodeJpeg(int width, int height, int components,
                                const std::vector<uint8_t>& samples) {
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
  jpeg_start_compress(&info, TRUE);
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
    EXPECT_EQ(CheckPictureSize(c.width, c.height).ok(), c.accepted)
        << c.width << "x" << c.height;
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
      {"signature only", std::vector<uint8_t>(png.begin(), png.begin() + 8), Code::kBadPicture,
       ""},
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
