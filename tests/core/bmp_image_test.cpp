#include "core/bmp_image.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <random>

#include "tests/test_util.h"

namespace quillon {
namespace {

using testing::MessageLog;
using testing::ReadFileBytes;
using testing::ScratchDir;
using testing::WriteFileBytes;

void Put(std::vector<uint8_t>& bytes, size_t offset, uint32_t value, int width) {
  for (int i = 0; i < width; ++i)
    bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

// A file laid out the plain way: headers, `entries` colour-table entries, then the rows.
// Fields that the reader copies without using get odd values, so a round trip shows they are
// copied and not recomputed.
std::vector<uint8_t> MakeFile(int32_t width, int32_t height, int bits, uint32_t clrUsed,
                              uint32_t seed) {
  int64_t entries = BmpPaletteEntries(bits, clrUsed);
  int64_t stride = BmpStride(width, bits);
  size_t offBits = 54 + 4 * entries;
  std::vector<uint8_t> bytes(offBits + stride * height);
  std::mt19937 engine(seed);
  for (size_t i = 54; i < bytes.size(); ++i)
    bytes[i] = static_cast<uint8_t>(engine());
  bytes[0] = 'B';
  bytes[1] = 'M';
  Put(bytes, 2, 12345, 4);  // not the file size: read and written, never used
  Put(bytes, 6, 7, 2);
  Put(bytes, 8, 9, 2);
  Put(bytes, 10, offBits, 4);
  Put(bytes, 14, 40, 4);
  Put(bytes, 18, width, 4);
  Put(bytes, 22, height, 4);
  Put(bytes, 26, 1, 2);
  Put(bytes, 28, bits, 2);
  Put(bytes, 30, 0, 4);
  Put(bytes, 34, 999, 4);
  Put(bytes, 38, 2835, 4);
  Put(bytes, 42, 1234, 4);
  Put(bytes, 46, clrUsed, 4);
  Put(bytes, 50, 3, 4);
  return bytes;
}

struct Loaded {
  bool ok;
  BmpImage image;
  std::vector<std::string> messages;
};

Loaded LoadBytes(const ScratchDir& dir, const std::vector<uint8_t>& bytes) {
  std::string path = dir.File("in.bmp");
  WriteFileBytes(path, bytes);
  MessageLog log;
  BmpImage image(path);
  bool ok = image.Load();
  return {ok, image, log.Texts()};
}

TEST(BmpImage, BlankImageFileIsExactly74Bytes) {
  ScratchDir dir;
  BmpImage image(dir.File("blank.bmp"), 3, 10);
  EXPECT_EQ(image.Stride(), 4);
  EXPECT_EQ(image.Header().biSizeImage, 12u);
  EXPECT_EQ(image.Header().bfOffBits, 62u);
  EXPECT_EQ(image.Header().bfSize, 74u);
  ASSERT_TRUE(image.Save());
  std::vector<uint8_t> expected = {
      'B', 'M', 74, 0, 0,   0,   0,   0, 0, 0, 62, 0, 0, 0,        // file header
      40,  0,   0,  0, 10,  0,   0,   0, 3, 0, 0,  0, 1, 0, 1, 0,  // size, width, height...
      0,   0,   0,  0, 12,  0,   0,   0, 0, 0, 0,  0, 0, 0, 0, 0,  // compression, image size
      0,   0,   0,  0, 0,   0,   0,   0,                           // colours used, important
      0,   0,   0,  0, 255, 255, 255, 0,                           // black, white
      0,   0,   0,  0, 0,   0,   0,   0, 0, 0, 0,  0};             // three zero rows
  EXPECT_EQ(ReadFileBytes(image.FileName()), expected);
}

TEST(BmpImage, StrideRoundsRowsUpToFourBytes) {
  EXPECT_EQ(BmpStride(32, 1), 4);
  EXPECT_EQ(BmpStride(33, 1), 8);
  EXPECT_EQ(BmpStride(1, 1), 4);
  EXPECT_EQ(BmpStride(0, 1), 0);
  EXPECT_EQ(BmpStride(5, 24), 16);
  EXPECT_EQ(BmpStride(3, 4), 4);
  EXPECT_LT(BmpStride(-1, 1), 0);
  EXPECT_LT(BmpStride(0x7FFFFFFF, 24), 0);  // a row beyond 2^31 bytes
}

TEST(BmpImage, BlankImageStartsBlack) {
  BmpImage image("x.bmp", 5, 13);
  for (int r = 0; r < 5; ++r) {
    for (int c = 0; c < 13; ++c)
      ASSERT_EQ(image.GetPixel(r, c), 'b');
  }
  image.SetPixel(4, 12, 0);
  EXPECT_EQ(image.GetPixel(4, 12), 'w');
  EXPECT_EQ(image.GetPixel(4, 11), 'b');
}

TEST(BmpImage, SetPixelTouchesOnlyItsOwnBits) {
  BmpImage one("x.bmp", 1, 16);
  for (int c = 0; c < 16; ++c)
    one.SetPixel(0, c, 0);
  one.SetPixel(0, 9, 1);
  EXPECT_EQ(one.Row(0)[0], 0xFF);
  EXPECT_EQ(one.Row(0)[1], 0xFF & ~0x40);

  ScratchDir dir;
  Loaded four = LoadBytes(dir, MakeFile(4, 1, 4, 0, 1));
  ASSERT_TRUE(four.ok);
  std::memset(four.image.Row(0), 0, 2);
  four.image.SetPixel(0, 1, 0);
  four.image.SetPixel(0, 2, 0);
  EXPECT_EQ(four.image.Row(0)[0], 0x0F);
  EXPECT_EQ(four.image.Row(0)[1], 0xF0);
  EXPECT_EQ(four.image.GetPixel(0, 0), 'b');
  EXPECT_EQ(four.image.GetPixel(0, 3), 'b');

  Loaded two = LoadBytes(dir, MakeFile(4, 1, 2, 0, 2));
  ASSERT_TRUE(two.ok);
  two.image.Row(0)[0] = 0xFF;
  two.image.SetPixel(0, 2, 1);
  EXPECT_EQ(two.image.Row(0)[0], 0xFF & ~0x0C);
  EXPECT_EQ(two.image.GetPixel(0, 2), 'b');
  EXPECT_EQ(two.image.GetPixel(0, 1), 'w');

  Loaded eight = LoadBytes(dir, MakeFile(2, 1, 8, 0, 3));
  ASSERT_TRUE(eight.ok);
  eight.image.SetPixel(0, 1, 0);
  EXPECT_EQ(eight.image.Row(0)[1], 255);
  eight.image.SetPixel(0, 1, 1);
  EXPECT_EQ(eight.image.Row(0)[1], 0);
}

TEST(BmpImage, OnlyAllZeroBitsAreBlack) {
  ScratchDir dir;
  // A 1-bit file whose table lists white first: bit 0 still reads black.
  std::vector<uint8_t> bytes = MakeFile(8, 1, 1, 2, 4);
  std::memcpy(&bytes[54], "\xff\xff\xff\x00\x00\x00\x00\x00", 8);
  bytes[62] = 0x0F;
  Loaded one = LoadBytes(dir, bytes);
  ASSERT_TRUE(one.ok);
  EXPECT_EQ(one.image.GetPixel(0, 0), 'b');
  EXPECT_EQ(one.image.GetPixel(0, 7), 'w');

  std::vector<uint8_t> rgb = MakeFile(3, 1, 24, 0, 5);
  ASSERT_EQ(rgb.size(), 54u + 12u);  // no colour table
  std::memcpy(&rgb[54], "\x00\x00\x01\x00\x00\x00\x05\x00\x00", 9);
  Loaded deep = LoadBytes(dir, rgb);
  ASSERT_TRUE(deep.ok);
  EXPECT_EQ(deep.image.GetPixel(0, 0), 'w');
  EXPECT_EQ(deep.image.GetPixel(0, 1), 'b');
  EXPECT_EQ(deep.image.GetPixel(0, 2), 'w');
  deep.image.SetPixel(0, 1, 0);
  EXPECT_EQ(std::vector<uint8_t>(deep.image.Row(0) + 3, deep.image.Row(0) + 6),
            (std::vector<uint8_t>{255, 255, 255}));
}

TEST(BmpImage, LoadThenSaveReproducesTheFileByteForByte) {
  ScratchDir dir;
  struct Case {
    int32_t width, height;
    int bits;
    uint32_t clrUsed;
  };
  const Case cases[] = {{13, 7, 1, 0}, {64, 2, 1, 2}, {9, 3, 2, 0},   {5, 4, 4, 0},
                        {6, 5, 4, 12}, {7, 3, 8, 0},  {4, 4, 8, 200}, {5, 3, 24, 0},
                        {3, 2, 24, 5}, {1, 1, 1, 0},  {0, 0, 8, 0}};
  uint32_t seed = 10;
  for (const Case& c : cases) {
    std::vector<uint8_t> bytes = MakeFile(c.width, c.height, c.bits, c.clrUsed, seed++);
    Loaded loaded = LoadBytes(dir, bytes);
    ASSERT_TRUE(loaded.ok) << c.bits << " bits";
    EXPECT_TRUE(loaded.messages.empty());
    loaded.image.SetFileName(dir.File("out.bmp"));
    ASSERT_TRUE(loaded.image.Save());
    EXPECT_EQ(ReadFileBytes(dir.File("out.bmp")), bytes)
        << c.width << "x" << c.height << " at " << c.bits << " bits, " << c.clrUsed << " colours";
  }
}

TEST(BmpImage, SuiteFilesTheReaderSupportsRoundTrip) {
  ScratchDir dir;
  const char* files[] = {"g/pal1.bmp",     "g/pal1bg.bmp",    "g/pal1wb.bmp",
                         "g/pal4.bmp",     "g/pal4gs.bmp",    "g/pal8-0.bmp",
                         "g/pal8.bmp",     "g/pal8gs.bmp",    "g/pal8nonsquare.bmp",
                         "g/pal8w124.bmp", "g/pal8w125.bmp",  "g/pal8w126.bmp",
                         "g/rgb24.bmp",    "g/rgb24pal.bmp",  "q/pal1p1.bmp",
                         "q/pal2.bmp",     "q/pal2color.bmp", "q/pal8os2v2-40sz.bmp"};
  for (const char* name : files) {
    std::string path = std::string(QUILLON_BMPSUITE_DIR) + "/" + name;
    MessageLog log;
    BmpImage image(path);
    ASSERT_TRUE(image.Load()) << name;
    EXPECT_TRUE(log.Texts().empty()) << name;
    image.SetFileName(dir.File("copy.bmp"));
    ASSERT_TRUE(image.Save()) << name;
    EXPECT_EQ(ReadFileBytes(dir.File("copy.bmp")), ReadFileBytes(path)) << name;
  }

  // pal1wb stores the same picture as pal1 with the two colours swapped in the table, so its
  // indices, and with them black and white, are the inverse of pal1's.
  BmpImage normal(std::string(QUILLON_BMPSUITE_DIR) + "/g/pal1.bmp");
  BmpImage swapped(std::string(QUILLON_BMPSUITE_DIR) + "/g/pal1wb.bmp");
  ASSERT_TRUE(normal.Load() && swapped.Load());
  int black = 0;
  for (int r = 0; r < normal.Height(); ++r) {
    for (int c = 0; c < normal.Width(); ++c) {
      ASSERT_NE(normal.GetPixel(r, c), swapped.GetPixel(r, c));
      black += normal.GetPixel(r, c) == 'b';
    }
  }
  EXPECT_GT(black, 0);
  EXPECT_LT(black, 127 * 64);
}

// Every file of the suite, good, questionable or bad, ends in a loaded image or in a message
// with the image left empty; never in a crash, an overrun or a huge allocation.
TEST(BmpImage, EverySuiteFileLoadsOrIsRefusedCleanly) {
  int loaded = 0, refused = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(QUILLON_BMPSUITE_DIR)) {
    if (entry.path().extension() != ".bmp")
      continue;
    MessageLog log;
    BmpImage image(entry.path().string());
    if (image.Load()) {
      ++loaded;
      ASSERT_EQ(static_cast<int64_t>(image.Pixels().size()), image.Stride() * image.Height());
    } else {
      ++refused;
      ASSERT_FALSE(log.Texts().empty()) << entry.path();
      EXPECT_FALSE(image.HasPixels());
      EXPECT_EQ(image.Width(), 0);
      EXPECT_EQ(image.Height(), 0);
    }
  }
  EXPECT_EQ(loaded, 24);  // the 18 above and six bad files whose oddities the reader never uses
  EXPECT_EQ(refused, 89 - 24);
}

TEST(BmpImage, HostileHeadersAreRefusedWithAMessage) {
  ScratchDir dir;
  const std::string unsupported = "ERROR: Unsupported bitmap file " + dir.File("in.bmp");
  struct Case {
    const char* what;
    size_t offset;
    uint32_t value;
    int width;
  };
  const Case cases[] = {
      {"bit count 0", 28, 0, 2},        {"bit count 17", 28, 17, 2},
      {"bit count 32", 28, 32, 2},      {"bit count 16", 28, 16, 2},
      {"compressed", 30, 1, 4},         {"colours used 2^31", 46, 0x80000000u, 4},
      {"colours used 257", 46, 257, 4}, {"negative width", 18, 0xFFFFFF81u, 4},
      {"top-down", 22, 0xFFFFFFF0u, 4}, {"width overflows the stride", 18, 0x7FFFFFFF, 4},
      {"long info header", 14, 108, 4}, {"gap before the pixels", 10, 100, 4},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> bytes = MakeFile(16, 16, 8, 0, 7);
    Put(bytes, c.offset, c.value, c.width);
    Loaded loaded = LoadBytes(dir, bytes);
    EXPECT_FALSE(loaded.ok) << c.what;
    EXPECT_EQ(loaded.messages, std::vector<std::string>{unsupported}) << c.what;
    EXPECT_FALSE(loaded.image.HasPixels()) << c.what;
    EXPECT_EQ(loaded.image.Width(), 0) << c.what;
    EXPECT_EQ(loaded.image.Height(), 0) << c.what;
  }

  // Width times height beyond 2^31 bytes, each one fitting on its own.
  std::vector<uint8_t> huge = MakeFile(4, 4, 24, 0, 8);
  Put(huge, 18, 3000000, 4);
  Put(huge, 22, 2000000, 4);
  EXPECT_EQ(LoadBytes(dir, huge).messages, std::vector<std::string>{unsupported});

  for (size_t length : {0, 1, 14, 53}) {
    std::vector<uint8_t> cut = MakeFile(4, 4, 1, 0, 9);
    cut.resize(length);
    Loaded loaded = LoadBytes(dir, cut);
    EXPECT_FALSE(loaded.ok) << length;
    EXPECT_EQ(loaded.messages, std::vector<std::string>{unsupported}) << length;
  }
}

TEST(BmpImage, ShortPixelDataLeavesNoPixels) {
  ScratchDir dir;
  std::vector<uint8_t> bytes = MakeFile(30, 20, 24, 0, 11);
  bytes.pop_back();
  Loaded shortData = LoadBytes(dir, bytes);
  EXPECT_FALSE(shortData.ok);
  EXPECT_EQ(shortData.messages, std::vector<std::string>{"ERROR: Can't read in image!"});
  EXPECT_FALSE(shortData.image.HasPixels());
  EXPECT_EQ(shortData.image.Width(), 0);

  // A declared size of gigabytes in a small file is never allocated.
  std::vector<uint8_t> big = MakeFile(4, 4, 24, 0, 12);
  Put(big, 18, 20000, 4);
  Put(big, 22, 20000, 4);
  EXPECT_EQ(LoadBytes(dir, big).messages, std::vector<std::string>{"ERROR: Can't read in image!"});

  std::vector<uint8_t> cutTable = MakeFile(4, 4, 8, 0, 13);
  cutTable.resize(54 + 100);
  Loaded noTable = LoadBytes(dir, cutTable);
  EXPECT_FALSE(noTable.ok);
  EXPECT_EQ(noTable.messages, (std::vector<std::string>{"ERROR: Can't read bitmap's color palette!",
                                                        "ERROR: Can't read in image!"}));
}

TEST(BmpImage, MissingFileLeavesTheImageAsItWas) {
  ScratchDir dir;
  MessageLog log;
  BmpImage image(dir.File("nothing.bmp"));
  EXPECT_FALSE(image.Load());
  EXPECT_EQ(log.Texts(), std::vector<std::string>{"ERROR: Cannot open " + dir.File("nothing.bmp")});
  EXPECT_FALSE(image.HasPixels());
  EXPECT_EQ(image.Header().bfSize, 40u);
  EXPECT_EQ(image.FileName(), dir.File("nothing.bmp"));
  EXPECT_EQ(BmpImage().FileName(), "test.bmp");
}

TEST(BmpImage, FailedSaveKeepsTheOldFile) {
  ScratchDir dir;
  std::string path = dir.File("keep.bmp");
  WriteFileBytes(path, {'o', 'l', 'd'});

  // An image that claims a size but holds no pixels cannot be written.
  BmpImage empty(path);
  empty.MutableHeader().biWidth = 8;
  empty.MutableHeader().biHeight = 8;
  empty.MutableHeader().biBitCount = 1;
  MessageLog log;
  EXPECT_FALSE(empty.Save());
  EXPECT_EQ(log.Texts(), std::vector<std::string>{"ERROR: Can't write image!"});
  EXPECT_EQ(ReadFileBytes(path), (std::vector<uint8_t>{'o', 'l', 'd'}));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);

  log.Clear();
  BmpImage nowhere(dir.File("no/such/folder/x.bmp"), 2, 2);
  EXPECT_FALSE(nowhere.Save());
  EXPECT_EQ(log.Texts(), std::vector<std::string>{"ERROR: Can't open " + nowhere.FileName()});

  // A good save replaces the old file and gets ordinary permissions.
  BmpImage good(path, 2, 2);
  ASSERT_TRUE(good.Save());
  EXPECT_EQ(ReadFileBytes(path).size(), 70u);
  struct stat info;
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_NE(info.st_mode & S_IRUSR, 0u);
  EXPECT_NE(info.st_mode & S_IWUSR, 0u);
}

}  // namespace
}  // namespace quillon
