#include "io/png_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "io/picture.h"

#include "tests/core/write_test_util.h"
#include "tests/fault_env.h"
#include "tests/test_util.h"

namespace quillon {
namespace {

using testing::FaultEnv;
using testing::FileOp;
using testing::ReadFileBytes;
using testing::ScratchDir;
using testing::Snapshot;
using testing::WriteFileBytes;

class MemoryFile : public WritableFile {
 public:
  Outcome Append(const void* data, size_t n) override {
    bytes.insert(bytes.end(), static_cast<const uint8_t*>(data),
                 static_cast<const uint8_t*>(data) + n);
    return Outcome::Ok();
  }
  Outcome Sync() override { return Outcome::Ok(); }
  Outcome Close() override { return Outcome::Ok(); }
  Outcome SetMode(uint32_t) override { return Outcome::Ok(); }
  std::vector<uint8_t> bytes;
};

// A share encoded from memory gives the bytes that converting its saved BMP file gives.
TEST(PngWriterTest, ASharePngFromMemoryEqualsTheOneFromItsBmpFile) {
  ScratchDir dir;
  for (int32_t width : {1, 9, 64, 250}) {
    BmpImage share(dir.File("capa1.bmp"), 37, width);
    for (int32_t row = 0; row < share.Height(); ++row) {
      for (int32_t col = 0; col < width; ++col)
        share.SetPixel(row, col, (row * 7 + col * col) % 3 == 0);
    }
    ASSERT_TRUE(share.Save(Env::Default()));
    BmpImage loaded(dir.File("capa1.bmp"));
    ASSERT_TRUE(loaded.Load(Env::Default()));
    ASSERT_TRUE(SavePng(Env::Default(), loaded, dir.File("capa1.png")));

    MemoryFile memory;
    ASSERT_TRUE(WritePng(share, memory));
    EXPECT_EQ(memory.bytes, ReadFileBytes(dir.File("capa1.png"))) << width;
  }
}

// A file's length follows from the picture's size alone (stored blocks, one per IDAT chunk),
// whatever its pixels, and the file decodes back to those pixels.
TEST(PngWriterTest, TheLengthFollowsTheSizeAloneAndThePixelsDecodeBack) {
  struct Case {
    int32_t width, height;
    int64_t bytes;  // signature, IHDR, IDAT chunks of zlib header, blocks and Adler-32, IEND
  };
  const Case cases[] = {
      {1, 1, 8 + 25 + (12 + 2 + 5 + 2 + 4) + 12},
      {9, 37, 8 + 25 + (12 + 2 + 5 + 37 * 3 + 4) + 12},
      {2048, 255, 8 + 25 + (12 + 2 + 5 + 65535 + 4) + 12},              // one full block
      {2040, 257, 8 + 25 + (2 * 12 + 2 + 2 * 5 + 257 * 256 + 4) + 12},  // a row across blocks
  };
  std::mt19937 engine(3);
  for (const Case& c : cases) {
    EXPECT_EQ(PngFileBytes(c.width, c.height), c.bytes) << c.width << "x" << c.height;
    // White (a blank secret's stack), black, noise, and black rows over white ones.
    for (int content = 0; content < 4; ++content) {
      BmpImage picture("p.bmp", c.height, c.width);
      for (int32_t row = 0; row < c.height; ++row) {
        for (int32_t col = 0; col < c.width; ++col) {
          const bool black = content == 1 || (content == 2 && engine() % 2 == 0) ||
                             (content == 3 && row < c.height / 2);
          picture.SetPixel(row, col, black);
        }
      }
      MemoryFile memory;
      ASSERT_TRUE(WritePng(picture, memory));
      EXPECT_EQ(static_cast<int64_t>(memory.bytes.size()), c.bytes) << c.width << "x" << c.height;
      GreyPicture decoded;
      ASSERT_TRUE(DecodePicture(memory.bytes.data(), memory.bytes.size(), decoded));
      ASSERT_EQ(decoded.width, c.width);
      ASSERT_EQ(decoded.height, c.height);
      for (int32_t y = 0; y < c.height; ++y) {
        for (int32_t x = 0; x < c.width; ++x) {
          ASSERT_EQ(decoded.At(x, y), picture.GetPixel(c.height - 1 - y, x) == 'w' ? 255 : 0)
              << c.width << "x" << c.height << " at " << x << "," << y;
        }
      }
    }
  }
}

// A write that fails inside the encoder leaves the earlier file and nothing staged.
TEST(PngWriterTest, AFailedWriteInsideTheEncoderLeavesTheEarlierFile) {
  ScratchDir dir;
  WriteFileBytes(dir.File("share.png"), {'o', 'l', 'd'});
  const auto before = Snapshot(dir.Path());
  BmpImage share("x.bmp", 40, 40);
  for (int nth : {1, 2}) {
    FaultEnv env;
    env.FailCall(FileOp::kAppend, nth, ENOSPC);
    const Outcome saved = SavePng(env, share, dir.File("share.png"));
    EXPECT_EQ(saved.code, Code::kCannotWrite);
    EXPECT_EQ(saved.error, ENOSPC);
    EXPECT_EQ(saved.file, dir.File("share.png"));
  }
  EXPECT_EQ(SavePng(Env::Default(), BmpImage("none.bmp"), dir.File("share.png")).code,
            Code::kNoPixels);
  EXPECT_EQ(Snapshot(dir.Path()), before);
}

}  // namespace
}  // namespace quillon
