#include "io/png_writer.h"

#include <gtest/gtest.h>

#include <filesystem>

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
